#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QObject>

class QMenuBar;

namespace burrowlight {

// The application's menu commands as actions, with their titles and shortcuts. The shell connects
// them to what they do; the main window's menu bar shows them.
class AppActions : public QObject {
    Q_OBJECT

  public:
    AppActions();

    QAction newTunnel{this};
    QAction importFromSSHConfig{this};
    // Shown only once there is a settings window.
    QAction settings{this};
    QAction about{this};
    // Shown only when updates are configured.
    QAction checkForUpdates{this};
    QAction quit{this};

    QAction connectAll{this};
    QAction disconnectAll{this};

    QAction help{this};
    QAction reportProblem{this};
    QAction buyMeACoffee{this};
    QAction privacy{this};
    QAction termsOfUse{this};

    // File, Tunnels and Help. Quit closes the first menu; About, and Check for Updates when shown,
    // close Help after a separator, where Linux desktops keep them. In Help, the problem report and
    // the tip go before `supportAnchor()`, after the guide.
    void fill(QMenuBar& menuBar);
    static QAction* supportAnchor(QMenuBar& menuBar);
};

} // namespace burrowlight
