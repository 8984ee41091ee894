#pragma once

#include <QObject>
#include <functional>

namespace burrowlight {

class AppModel;
class AppTermination;

// What the menu commands do. "New Tunnel", "Import from SSH Config…" and "Connect All" need the
// terms of use accepted: before that they only bring up the terms window, and the user repeats the
// command afterwards.
class AppCommands : public QObject {
    Q_OBJECT

  public:
    struct Windows {
        // Opens the window "main", or brings it forward.
        std::function<void()> openMain;
        std::function<void()> showAbout;
    };

    AppCommands(AppModel& model, AppTermination& termination, Windows windows);

    bool showsCheckForUpdates() const;

    void about();
    void checkForUpdates();
    // False when the quit was cancelled.
    bool quit();
    void help();
    void privacy();
    void termsOfUse();
    void newTunnel();
    void importFromSSHConfig();
    void connectAll();
    void disconnectAll();

  private:
    // True when the terms are accepted; otherwise asks for the terms window.
    bool passesTermsGate();

    AppModel& model_;
    AppTermination& termination_;
    Windows windows_;
};

} // namespace burrowlight
