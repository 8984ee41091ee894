#pragma once

#include "Burrowlight/Desktop/DesktopNotifications.h"

#include <QObject>
#include <QString>
#include <functional>

namespace burrowlight {

class AppModel;

// The first-run window: up to four first steps, and three ways out through its buttons. Each way
// out marks onboarding completed, opens the main window and closes onboarding; closing the window
// itself leaves onboarding to be done at the next launch. Nothing of the notification and login
// steps is stored by the application: their state is the system's.
class OnboardingModel : public QObject {
    Q_OBJECT

  public:
    struct Windows {
        // Opens the window "main", or brings it forward.
        std::function<void()> openMain;
        // Closes the window "onboarding".
        std::function<void()> dismissOnboarding;
    };

    // Notifications are "allowed" once a notification server has answered on the session bus.
    enum class Notifications { unknown, allowed, unavailable };

    OnboardingModel(AppModel& model, Windows windows);

    // Whether the user has a ~/.ssh/config: looked at once, when the window is made.
    bool hasSSHConfig() const { return hasSSHConfig_; }
    // Without a tray, the window promises none.
    bool hasTray() const;

    Notifications notifications() const { return notifications_; }
    // Asks the notification server again; done each time the window is shown.
    void refreshNotifications();
    // "Allow…": there is no permission to grant on this desktop, only a server that answers.
    void requestNotifications();

    bool opensAtLogin() const { return opensAtLogin_; }
    // A failure is not reported: the switch shows the state the system has afterwards.
    void setOpensAtLogin(bool opens);

    // The ways out.
    void importFromSSHConfig();
    void newTunnel();
    void finish();

  signals:
    void changed();

  private:
    void leave(void (AppModel::*request)(bool));

    AppModel& model_;
    Windows windows_;
    bool hasSSHConfig_;
    bool opensAtLogin_;
    Notifications notifications_ = Notifications::unknown;
    DesktopNotifications server_;
};

} // namespace burrowlight
