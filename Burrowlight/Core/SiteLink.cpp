#include "Burrowlight/Core/SiteLink.h"

#include "Burrowlight/Core/AppLanguage.h"

#include <QDesktopServices>

namespace burrowlight {

QUrl siteURL() {
    static const QUrl url(QString::fromLatin1(siteAddress));
    return url;
}

QUrl sitePage(const QString& italianPath, const QString& englishPath, const QString& localization) {
    QUrl page = siteURL();
    const QString& path = localization == QLatin1String("it") ? italianPath : englishPath;
    page.setPath(page.path() + path);
    return page;
}

void openSite(const QString& italianPath, const QString& englishPath) {
    openWithDesktop(sitePage(italianPath, englishPath, runningLocalization()));
}

bool openWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace burrowlight
