#pragma once

#include <QString>
#include <QUrl>

namespace burrowlight {

// The project's web site; its pages keep their paths wherever it lives.
inline constexpr const char* siteAddress = "https://burrowlight.tolvan.com";

QUrl siteURL();
// The page in the application's language: the Italian path when it speaks Italian, else the
// English one.
QUrl sitePage(const QString& italianPath, const QString& englishPath, const QString& localization);
// Opens that page, for the running localization, in the user's browser.
void openSite(const QString& italianPath, const QString& englishPath);

} // namespace burrowlight
