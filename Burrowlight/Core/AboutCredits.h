#pragma once

#include <QCoreApplication>
#include <QString>

namespace burrowlight {

// The notices of the libraries the application carries, compiled into its resources.
inline constexpr const char* thirdPartyNoticesResource = ":/ThirdPartyNotices.txt";

// The About window's credits: the warranty disclaimer and, when the notices file can be read as
// UTF-8, an introduction and the file as it stands.
QString aboutCredits(const QString& noticesPath = QString::fromLatin1(thirdPartyNoticesResource));

class AboutTexts {
    Q_DECLARE_TR_FUNCTIONS(About)

  public:
    static QString disclaimer();
    static QString noticesIntroduction();
    static QString version(const QString& version);
};

} // namespace burrowlight
