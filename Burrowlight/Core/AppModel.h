#pragma once

#include "Burrowlight/Core/Alert.h"
#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/ArchiveImports.h"
#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Core/EngineBridge.h"
#include "Burrowlight/Core/StatusNotifier.h"
#include "Burrowlight/Core/TermsWindowOpener.h"
#include "Burrowlight/Core/TunnelController.h"
#include "Burrowlight/Core/TunnelDrafts.h"
#include "Burrowlight/Core/UpdateController.h"
#include "TunnelKit/MainQueue.h"
#include "TunnelKit/NetworkMonitor.h"
#include "TunnelKit/ProcessTable.h"
#include "TunnelKit/SecretStore.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace burrowlight {

// The one application object: builds the engine from the settings and the user's folders, starts
// it, owns the helpers around it (notifier, ssh-config hosts, drafts, updates, terms window opener),
// holds the flags by which menus and windows ask each other for something, and performs the
// operations that need the engine and an alert. Lives on the GUI thread for the life of the process.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool requestsNewTunnel READ requestsNewTunnel WRITE setRequestsNewTunnel NOTIFY
                   requestsNewTunnelChanged)
    Q_PROPERTY(bool requestsConfigImport READ requestsConfigImport WRITE setRequestsConfigImport NOTIFY
                   requestsConfigImportChanged)
    Q_PROPERTY(bool termsAccepted READ termsAccepted WRITE setTermsAccepted NOTIFY termsAcceptedChanged)

  public:
    // What the engine is composed of. The running application takes this session's; a test hands in
    // its own folders and leaves the network unwatched.
    struct Parts {
        // Holds the tunnels file, the process registry and the askpass ledger.
        std::string applicationSupportDirectory;
        // None: ssh gets no wrapper configuration.
        std::optional<std::string> wrapperConfigPath;
        std::string homeDirectory;
        // The program ssh runs to ask its questions: this executable.
        std::string askPassExecutable;
        std::shared_ptr<tunnelkit::SecretBackend> secrets;
        std::shared_ptr<const tunnelkit::ProcessTable> processes;
        // None leaves the network unwatched.
        std::function<std::unique_ptr<tunnelkit::NetworkMonitor>()> networkMonitor;
        QDBusConnection sessionBus = QDBusConnection::sessionBus();
        // Whether the desktop shows a tray icon at launch: without one, texts promise no tray. From
        // then on `hasTray()` follows the tray.
        bool hasTray = true;

        static Parts ofThisSession();
    };

    // Builds and starts everything: ends an earlier run's ssh, reads the tunnels, purges old trash,
    // connects the tunnels marked for launch once the terms are accepted, and resolves the ssh
    // configuration's hosts in the background.
    AppModel(AppSettings& settings, AlertPresenter& alerts, Parts parts = Parts::ofThisSession(),
             QObject* parent = nullptr);
    // Shuts the engine down when nobody did.
    ~AppModel() override;

    // The one door to the tunnels: commands, questions and their changes.
    TunnelController& controller() const { return *controller_; }
    EngineBridge& engine() { return *controller_; }
    tunnelkit::SecretStore& secrets() const { return *secrets_; }
    StatusNotifier& notifier() { return *notifier_; }
    ConfigHosts& configHosts() { return *configHosts_; }
    TunnelDrafts& drafts() { return *drafts_; }
    UpdateController& updates() { return *updates_; }
    TermsWindowOpener& termsWindow() { return termsWindow_; }
    ArchiveImports& archiveImports() { return *archiveImports_; }
    AppSettings& settings() const { return settings_; }
    const Parts& parts() const { return parts_; }
    // The GUI thread's queue, for work that comes back from other threads.
    const std::shared_ptr<tunnelkit::MainQueue>& mainQueue() const { return mainQueue_; }
    std::string tunnelsFilePath() const;

    bool requestsNewTunnel() const { return requestsNewTunnel_; }
    void setRequestsNewTunnel(bool requests);
    bool requestsConfigImport() const { return requestsConfigImport_; }
    void setRequestsConfigImport(bool requests);
    bool termsAccepted() const { return termsAccepted_; }
    void setTermsAccepted(bool accepted);
    // Whether the desktop shows the tray icon now. A tray that comes after launch stays for the run.
    bool hasTray() const { return parts_.hasTray; }
    void setHasTray(bool hasTray);
    // Installed by the window that can open the main window.
    const std::function<void()>& openMainWindow() const { return openMainWindow_; }
    void setOpenMainWindow(std::function<void()> open) { openMainWindow_ = std::move(open); }

    // The builder from the settings as they are now: the user's ssh configuration read or not.
    tunnelkit::SSHCommandBuilder makeBuilder() const;

    // The alert about an unreadable tunnels file; nothing when it was read.
    void reportLoadError();
    // After the ssh-configuration setting changed: the next launches and the hosts use it.
    void applySSHConfigSetting();
    // The tunnel's ssh command line on the clipboard; nothing for a tunnel that can't be one.
    void copyCommand(const tunnelkit::Tunnel& tunnel);
    // After showing what the archive holds and what in it is risky; nothing before the terms are
    // accepted. The file is read off the GUI thread: this returns at once.
    void importTunnels(const QString& path);
    // Whether quitting may go on: asks when drafts are unsaved.
    bool confirmQuit();
    // Stops every ssh, within the engine's deadline. Once.
    void shutdown();
    // The same, with the windows, the tray and the bus hearing nothing of it: at the quit (the main
    // thread waits until the process ends, so nothing would be shown) and when the display went away
    // (Qt ends the process on the spot; they may be gone with it).
    void shutdownUnobserved();

  signals:
    void requestsNewTunnelChanged(bool requests);
    void requestsConfigImportChanged(bool requests);
    void termsAcceptedChanged(bool accepted);
    void hasTrayChanged(bool hasTray);

  private:
    void notifyStateChange(const tunnelkit::Uuid& id, const tunnelkit::TunnelState& old,
                           const tunnelkit::TunnelState& now);
    void resolveConfigHosts();

    AppSettings& settings_;
    AlertPresenter& alerts_;
    Parts parts_;
    std::shared_ptr<tunnelkit::MainQueue> mainQueue_;
    std::unique_ptr<StatusNotifier> notifier_;
    std::unique_ptr<ConfigHosts> configHosts_;
    std::unique_ptr<TunnelDrafts> drafts_;
    std::unique_ptr<UpdateController> updates_;
    bool requestsNewTunnel_ = false;
    bool requestsConfigImport_ = false;
    std::function<void()> openMainWindow_;
    TermsWindowOpener termsWindow_;
    bool termsAccepted_ = false;
    std::shared_ptr<tunnelkit::SecretStore> secrets_;
    std::unique_ptr<TunnelController> controller_;
    std::unique_ptr<ArchiveImports> archiveImports_;
    bool isShutDown_ = false;
};

} // namespace burrowlight
