#include "Burrowlight/Core/AppModel.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/QtMainQueue.h"
#include "Burrowlight/Core/Texts/AlertTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"
#include "Burrowlight/Desktop/FileManager.h"
#include "Platform/Folders.h"
#include "Platform/LibsecretBackend.h"
#include "Platform/LinuxProcessTable.h"
#include "Platform/NetlinkNetworkMonitor.h"
#include "TunnelKit/Spawn.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>

namespace burrowlight {

using namespace std::chrono_literals;
using tunnelkit::SSHCommandBuilder;

namespace {

// The retry policy of every tunnel: 3 s after the first failure, doubling up to a minute.
constexpr tunnelkit::RetryPolicy retryPolicy{3s, 60s};

std::string inFolder(const std::string& folder, const char* name) {
    return folder + "/" + name;
}

} // namespace

AppModel::Parts AppModel::Parts::ofThisSession() {
    Parts parts;
    parts.applicationSupportDirectory =
        platform::folders::applicationSupportDirectory(bundleIdentifier)
            .value_or(QDir::homePath().toStdString() + "/.local/share/" + bundleIdentifier);
    parts.wrapperConfigPath = platform::folders::wrapperConfigLocation(bundleIdentifier);
    parts.homeDirectory = platform::folders::homeDirectory();
    parts.askPassExecutable = platform::processes::ownExecutablePath().value_or("/usr/bin/false");
    parts.secrets = std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier);
    parts.processes = std::make_shared<platform::LinuxProcessTable>();
    parts.networkMonitor = [] { return std::make_unique<platform::NetlinkNetworkMonitor>(); };
    return parts;
}

AppModel::AppModel(AppSettings& settings, AlertPresenter& alerts, Parts parts, QObject* parent)
    : QObject(parent), settings_(settings), alerts_(alerts), parts_(std::move(parts)),
      mainQueue_(std::make_shared<QtMainQueue>()) {
    notifier_ = std::make_unique<StatusNotifier>(parts_.sessionBus);
    configHosts_ = std::make_unique<ConfigHosts>(
        [this]() -> std::optional<SSHCommandBuilder> {
            if (!settings_.usesSSHConfig()) {
                return std::nullopt;
            }
            return SSHCommandBuilder(SSHCommandBuilder::defaultExecutable, true, parts_.homeDirectory);
        },
        mainQueue_);
    drafts_ = std::make_unique<TunnelDrafts>();
    updates_ = std::make_unique<UpdateController>();
    termsAccepted_ = settings_.currentTermsAccepted();

    const std::string& folder = parts_.applicationSupportDirectory;
    platform::folders::createPrivateFolders(folder);
    tunnelkit::ConnectionEnvironment environment{
        .builder = makeBuilder(),
        .askPassExecutable = parts_.askPassExecutable,
        .stateDirectory = inFolder(folder, "askpass"),
        .registry = std::make_shared<tunnelkit::ProcessRegistry>(inFolder(folder, "ssh-processes.json"),
                                                                 SSHCommandBuilder::defaultExecutable,
                                                                 parts_.processes, mainQueue_),
        .retryPolicy = retryPolicy,
        .baseEnvironment = tunnelkit::currentEnvironment(),
        .mainQueue = mainQueue_,
    };
    secrets_ = std::make_shared<tunnelkit::SecretStore>(bundleIdentifier, parts_.secrets);
    controller_ = std::make_unique<TunnelController>(
        tunnelkit::TunnelManager::make(tunnelkit::TunnelStore(tunnelsFilePath()), std::move(environment),
                                       secrets_, parts_.networkMonitor ? parts_.networkMonitor() : nullptr),
        TunnelController::TermsGate{.accepted = [this] { return termsAccepted_; },
                                    .request = [this] { termsWindow_.request(); }});
    archiveImports_ =
        std::make_unique<ArchiveImports>(alerts_, [this](const std::vector<tunnelkit::Tunnel>& tunnels) {
            controller_->importTunnels(tunnels);
        });
    connect(controller_.get(), &EngineBridge::stateChanged, this, &AppModel::notifyStateChange);
    connect(&settings_, &AppSettings::usesSSHConfigChanged, this, &AppModel::applySSHConfigSetting);

    controller_->start(termsAccepted_);
    resolveConfigHosts();
}

AppModel::~AppModel() {
    shutdown();
}

std::string AppModel::tunnelsFilePath() const {
    return inFolder(parts_.applicationSupportDirectory, "tunnels.json");
}

void AppModel::setRequestsNewTunnel(bool requests) {
    if (requests != requestsNewTunnel_) {
        requestsNewTunnel_ = requests;
        emit requestsNewTunnelChanged(requests);
    }
}

void AppModel::setRequestsConfigImport(bool requests) {
    if (requests != requestsConfigImport_) {
        requestsConfigImport_ = requests;
        emit requestsConfigImportChanged(requests);
    }
}

void AppModel::setHasTray(bool hasTray) {
    if (hasTray != parts_.hasTray) {
        parts_.hasTray = hasTray;
        emit hasTrayChanged(hasTray);
    }
}

void AppModel::setTermsAccepted(bool accepted) {
    if (accepted != termsAccepted_) {
        termsAccepted_ = accepted;
        emit termsAcceptedChanged(accepted);
    }
}

SSHCommandBuilder AppModel::makeBuilder() const {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, settings_.usesSSHConfig(),
                              parts_.homeDirectory);
    builder.wrapperURL = parts_.wrapperConfigPath;
    return builder;
}

void AppModel::notifyStateChange(const tunnelkit::Uuid& id, const tunnelkit::TunnelState& old,
                                 const tunnelkit::TunnelState& now) {
    if (!settings_.notifiesStatusChanges()) {
        return;
    }
    const auto connection = controller_->connection(id);
    notifier_->tunnelStateChanged(old, now, connection->tunnel(), connection->problem());
}

void AppModel::resolveConfigHosts() {
    configHosts_->resolveAll(controller_->tunnels());
}

void AppModel::reportLoadError() {
    const auto& error = controller_->loadError();
    if (!error) {
        return;
    }
    if (alerts_.run(texts::loadErrorAlert(texts::message(*error))) == 1) {
        revealInFileManager(QString::fromStdString(tunnelsFilePath()));
    }
}

void AppModel::applySSHConfigSetting() {
    controller_->setBuilder(makeBuilder());
    configHosts_->reset();
    resolveConfigHosts();
}

void AppModel::copyCommand(const tunnelkit::Tunnel& tunnel) {
    const auto invocation = makeBuilder().invocation(tunnel);
    if (!invocation || !qGuiApp) {
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(invocation->displayCommand),
                                          QClipboard::Clipboard);
}

void AppModel::importTunnels(const QString& path) {
    if (!termsAccepted_) {
        return;
    }
    archiveImports_->add(path);
}

bool AppModel::confirmQuit() {
    return confirmQuitWithUnsavedChanges(*drafts_, alerts_, openMainWindow_);
}

void AppModel::shutdown() {
    if (isShutDown_) {
        return;
    }
    isShutDown_ = true;
    controller_->shutdown();
}

void AppModel::shutdownUnobserved() {
    controller_->detach();
    shutdown();
}

} // namespace burrowlight
