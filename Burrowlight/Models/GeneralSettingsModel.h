#pragma once

#include "Burrowlight/Core/AppLanguage.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace burrowlight {

class AppModel;
class AppTermination;

// What decides whether a language choice needs a relaunch: the localization this run speaks and
// the system's languages.
struct LanguageFacts {
    QString running;
    QStringList system;

    static LanguageFacts ofThisRun();
};

// The General pane: language with its relaunch offer, opening at login, the taskbar entry,
// notifications, updates where configured, and the version. Made afresh each time the pane is
// shown, so the login item and the language are read again then. Every setter stores at once.
class GeneralSettingsModel : public QObject {
    Q_OBJECT

  public:
    GeneralSettingsModel(AppModel& model, AppTermination& termination,
                         LanguageFacts languages = LanguageFacts::ofThisRun());

    // "Same as the system", "English", "Italiano".
    static QString title(AppLanguage language);
    AppLanguage language() const;
    void setLanguage(AppLanguage language);
    // The chosen language is not the one this run speaks.
    bool needsRelaunch() const;
    // Why to relaunch and what it does to the tunnels; empty when no relaunch is needed.
    QString relaunchExplanation() const;
    void relaunchNow();

    bool opensAtLogin() const { return opensAtLogin_; }
    // Shows the real state afterwards; a failure is kept to be shown until the next success.
    void setOpensAtLogin(bool opens);
    // "Couldn't change the login item: …", or none.
    const std::optional<QString>& loginItemError() const { return loginItemError_; }

    bool showsInTaskbar() const;
    void setShowsInTaskbar(bool shows);
    bool notifies() const;
    void setNotifies(bool notifies);

    bool showsUpdates() const;
    // Whether the desktop shows the tray icon: without it, the window opens at launch.
    bool hasTray() const;
    bool automaticallyChecks() const;
    void setAutomaticallyChecks(bool checks);
    void checkForUpdates();

    QString version() const;
    // The tip page in the browser; recorded for this version once it opened.
    void openTipPage();

  signals:
    // Anything shown may have changed.
    void changed();

  private:
    AppModel& model_;
    AppTermination& termination_;
    LanguageFacts languages_;
    bool opensAtLogin_;
    std::optional<QString> loginItemError_;
};

} // namespace burrowlight
