#include "Burrowlight/Core/TipPage.h"

#include "Burrowlight/Core/AppSettings.h"

namespace burrowlight {

QUrl tipPageURL() {
    static const QUrl url(QString::fromLatin1(tipPageAddress));
    return url;
}

bool openTipPage(AppSettings& settings, const UrlOpener& open, const QString& version) {
    if (!open(tipPageURL())) {
        return false;
    }
    settings.setTipPageOpenedVersion(version);
    return true;
}

bool tipOfferDue(const AppSettings& settings, bool quitRequestedFromMenu, const QString& version) {
    return quitRequestedFromMenu && settings.tipPageOpenedVersion() != version;
}

void offerTipOnQuit(AppSettings& settings, TipPrompt& prompt, bool quitRequestedFromMenu,
                    const UrlOpener& open, const QString& version) {
    if (tipOfferDue(settings, quitRequestedFromMenu, version) && prompt.run()) {
        openTipPage(settings, open, version);
    }
}

} // namespace burrowlight
