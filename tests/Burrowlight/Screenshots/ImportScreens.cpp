// The ssh-config import sheet (its hosts, an alias and a server longer than the sheet is wide, the
// offer to read ~/.ssh/config, reading, no hosts), the progress of an archive's read and the About
// window.
#include "Burrowlight/Widgets/MainWindow/AboutWindow.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"
#include "Burrowlight/Widgets/Shell/ImportProgressWindow.h"
#include "Screenshots.h"
#include "TunnelKit/FileIO.h"

#include <QDir>
#include <QEventLoop>

using namespace burrowlight;
using tunnelkit::SSHCommandBuilder;

namespace {

// nas.home.arpa is already a tunnel of the stage; legacy is one ssh refuses.
constexpr const char* configuration = "Host web-prod\n  HostName web1.example.com\n  User deploy\n"
                                      "  LocalForward 8080 localhost:80\n  LocalForward 8443 localhost:443\n"
                                      "Host db-replica\n  HostName 10.0.4.12\n  User postgres\n  Port 2200\n"
                                      "  LocalForward 5433 localhost:5432\n"
                                      "Host nas.home.arpa\n  User anna\n  DynamicForward 1080\n"
                                      "Host build\n  HostName build.example.com\n  User ci\n"
                                      "Host legacy\n  HostName %z\n"
                                      "Host *\n  ServerAliveInterval 30\n";

// An alias and a server longer than the sheet is wide.
constexpr const char* longConfiguration =
    "Host customer-production-environment-eu-west-1-reporting-replica\n"
    "  HostName replica-01.customer-production.eu-west-1.rds.internal.example.com\n  User reporting\n"
    "  LocalForward 5433 localhost:5432\n"
    "Host build\n  HostName build.example.com\n  User ci\n";

// Every host resolves at once, except those a Match exec holds.
constexpr const char* holdingConfiguration = "Match exec \"sleep 600\"\nHost web-prod\nHost build\n";

SSHConfigImportSheet& sheet(screenshots::Stage& stage, const char* config, bool waits = true) {
    const std::string folder =
        QDir(screenshots::Stage::home()).filePath(QStringLiteral(".ssh")).toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    if (config) {
        (void)tunnelkit::writeFileAtomically(folder + "/config", config);
    } else {
        QFile::remove(QString::fromStdString(folder + "/config"));
    }
    auto& view = stage.own(std::make_unique<MainWindowView>(stage.model()));
    // The stage's home is not the user's: ssh is told where its configuration is.
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true,
                              stage.model().parts().homeDirectory);
    builder.configFile = folder + "/config";
    auto& sheet = stage.own(std::make_unique<SSHConfigImportSheet>(
        view.model(), view,
        SSHConfigImportModel::Resolution{.builder = builder, .timeout = std::chrono::hours(1)}));
    sheet.show();
    if (waits && sheet.model().loading()) {
        QEventLoop loop;
        QObject::connect(&sheet.model(), &SSHConfigImportModel::loadingChanged, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return sheet;
}

} // namespace

BURROWLIGHT_RESIZABLE_SCREENSHOT("import", "hosts") {
    stage.model().settings().setUsesSSHConfig(true);
    return sheet(stage, configuration);
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("import", "long-hosts") {
    stage.model().settings().setUsesSSHConfig(true);
    return sheet(stage, longConfiguration);
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("import", "turn-on") {
    return sheet(stage, configuration);
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("import", "reading") {
    stage.model().settings().setUsesSSHConfig(true);
    return sheet(stage, holdingConfiguration, false);
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("import", "no-hosts") {
    stage.model().settings().setUsesSSHConfig(true);
    return sheet(stage, nullptr);
}

// The read may end before the picture is taken: the window keeps its words all the same.
BURROWLIGHT_SCREENSHOT("import-archive", "reading") {
    const QString archive =
        QDir(screenshots::Stage::home()).filePath(QStringLiteral("Team tunnels.burrowlight"));
    (void)tunnelkit::writeFileAtomically(
        archive.toStdString(),
        tunnelkit::TunnelArchive::make(screenshots::Stage::tunnels(), screenshots::Stage::nowDate())
            .encoded());
    stage.model().setTermsAccepted(true);
    auto& window = stage.own(std::make_unique<ImportProgressWindow>(stage.model().archiveImports()));
    stage.model().importTunnels(archive);
    window.showNow();
    return window;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("about", "window") {
    return stage.own(std::make_unique<AboutWindow>());
}
