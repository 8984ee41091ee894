#pragma once

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/SiteLink.h"

#include <QString>
#include <QUrl>

namespace burrowlight {

class AppSettings;

// The project's page on the tip service.
QUrl tipPageURL();

// Opens the tip page in the user's browser and, once it did open, records this version as the one
// for which it was opened, so the quit-time prompt stays away until the next version. A page that
// could not be opened is not recorded. True when it opened.
bool openTipPage(AppSettings& settings, const UrlOpener& open = openWithDesktop,
                 const QString& version = appVersion());

// The quit-time panel, shown modally.
class TipPrompt {
  public:
    virtual ~TipPrompt() = default;
    // True when the user chose the tip, false for "Not Now".
    virtual bool run() = 0;
};

// Only a quit through the application's own Quit command offers the tip, and only while the tip
// page was not opened for this version.
bool tipOfferDue(const AppSettings& settings, bool quitRequestedFromMenu,
                 const QString& version = appVersion());

// Runs the panel when the offer is due and opens the tip page when the user takes it. Never
// cancels the quit.
void offerTipOnQuit(AppSettings& settings, TipPrompt& prompt, bool quitRequestedFromMenu,
                    const UrlOpener& open = openWithDesktop, const QString& version = appVersion());

} // namespace burrowlight
