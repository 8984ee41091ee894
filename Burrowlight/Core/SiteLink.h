#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace burrowlight {

// The project's addresses, in one place. The web site's pages keep their paths wherever it lives.
inline constexpr const char* siteAddress = "https://burrowlight.tolvan.com";
// Where "Report a Problem…" writes to and what it copies.
inline constexpr const char* supportEmailAddress = "support@burrowlight.tolvan.com";
// The project's page on Ko-fi, opened by "Buy Me a Coffee" and the tip prompt.
inline constexpr const char* tipPageAddress = "https://ko-fi.com/burrowlight";

QUrl siteURL();
// The page in the application's language: the Italian path when it speaks Italian, else the
// English one.
QUrl sitePage(const QString& italianPath, const QString& englishPath, const QString& localization);
// Opens that page, for the running localization, in the user's browser.
void openSite(const QString& italianPath, const QString& englishPath);

// Hands an address to the program the desktop chooses for it (the browser, the mail program);
// false when none could be started.
using UrlOpener = std::function<bool(const QUrl&)>;
bool openWithDesktop(const QUrl& url);

} // namespace burrowlight
