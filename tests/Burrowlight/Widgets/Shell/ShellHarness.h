#pragma once

// An application model over a throwaway XDG home, with a terminate request that records instead
// of quitting, for the shell's tests. Run them inside with-private-buses.sh.
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "SSHServerFixture.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelStore.h"

#include <QSettings>
#include <QTest>
#include <filesystem>
#include <memory>
#include <vector>

namespace shell_testing {

// Answers every alert with the button it was told to choose, and keeps what it was shown.
struct ScriptedAlerts : burrowlight::AlertPresenter {
    std::optional<size_t> answer;
    std::vector<burrowlight::Alert> shown;
    std::optional<size_t> run(const burrowlight::Alert& alert) override {
        shown.push_back(alert);
        return answer;
    }
};

// Settings, folders and alerts of a user of the test's own.
struct ThrowawayHome {
    testing_support::TempDir folder;
    burrowlight::AppSettings settings{std::make_unique<QSettings>(
        QString::fromStdString(folder.file("burrowlight.conf")), QSettings::IniFormat)};
    ScriptedAlerts alerts;
    std::unique_ptr<testing_support::SSHServer> server;
    std::unique_ptr<testing_support::SSHClientSetup> client;

    ThrowawayHome() {
        for (const char* name : {"data", "runtime", "cache", "config", "home"}) {
            std::filesystem::create_directories(folder.file(name));
        }
        std::filesystem::permissions(folder.file("runtime"), std::filesystem::perms::owner_all);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.file("data")));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.file("runtime")));
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(folder.file("cache")));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.file("config")));
        settings.setUsesSSHConfig(false);
    }

    // The tests' own sshd, which the model's ssh reaches through the user's ssh configuration.
    void startServer() {
        server = std::make_unique<testing_support::SSHServer>();
        client = std::make_unique<testing_support::SSHClientSetup>(*server);
        QVERIFY(server->isRunning());
        QVERIFY(tunnelkit::writeFileAtomically(client->home() + "/.ssh/config",
                                               "Include " + client->folder() + "/ssh_config\n"));
        settings.setUsesSSHConfig(true);
    }

    std::string applicationSupport() const { return folder.file("data/com.tolvan.burrowlight"); }

    void storeTunnels(const std::vector<tunnelkit::Tunnel>& tunnels) const {
        std::filesystem::create_directories(applicationSupport());
        QVERIFY(tunnelkit::TunnelStore(applicationSupport() + "/tunnels.json").save(tunnels));
    }

    burrowlight::AppModel::Parts parts() const {
        auto parts = burrowlight::AppModel::Parts::ofThisSession();
        parts.homeDirectory = client ? client->home() : folder.file("home");
        parts.networkMonitor = {};
        return parts;
    }
};

// A model over a throwaway home, with a terminate request that counts and declines.
struct ShellHarness : ThrowawayHome {
    int terminationRequests = 0;
    burrowlight::AppTermination termination{{.shouldTerminate =
                                                 [this] {
                                                     ++terminationRequests;
                                                     return false;
                                                 },
                                             .willTerminate = {}}};
    std::unique_ptr<burrowlight::AppModel> model;

    burrowlight::AppModel& start() {
        model = std::make_unique<burrowlight::AppModel>(settings, alerts, parts());
        return *model;
    }
};

} // namespace shell_testing
