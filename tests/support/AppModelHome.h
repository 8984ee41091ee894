#pragma once

// A throwaway home for the application model in Qt tests: its settings, its XDG folders and, when
// asked, the tests' own sshd with ssh pointed at it. Run the test through with-private-buses.sh.
#include "Burrowlight/Core/AppModel.h"
#include "SSHServerFixture.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelStore.h"

#include <QSettings>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace testing_support {

// Answers every alert with the button it was told to choose, and keeps what it was shown.
struct ScriptedAlerts : burrowlight::AlertPresenter {
    std::optional<size_t> answer;
    std::vector<burrowlight::Alert> shown;
    std::optional<size_t> run(const burrowlight::Alert& alert) override {
        shown.push_back(alert);
        return answer;
    }
};

struct ThrowawayHome {
    TempDir folder;
    std::unique_ptr<SSHServer> server;
    std::unique_ptr<SSHClientSetup> client;
    burrowlight::AppSettings settings{std::make_unique<QSettings>(
        QString::fromStdString(folder.file("burrowlight.conf")), QSettings::IniFormat)};
    ScriptedAlerts alerts;

    ThrowawayHome() {
        for (const char* name : {"data", "runtime", "cache", "config"}) {
            std::filesystem::create_directories(folder.file(name));
        }
        std::filesystem::permissions(folder.file("runtime"), std::filesystem::perms::owner_all);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder.file("data")));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.file("runtime")));
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(folder.file("cache")));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.file("config")));
    }

    // The tests' sshd, and ssh's configuration in the model's home pointing at it.
    void startServer() {
        server = std::make_unique<SSHServer>();
        client = std::make_unique<SSHClientSetup>(*server);
        QVERIFY(tunnelkit::writeFileAtomically(client->home() + "/.ssh/config",
                                               "Include " + client->folder() + "/ssh_config\n"));
    }

    burrowlight::AppModel::Parts parts() const {
        auto parts = burrowlight::AppModel::Parts::ofThisSession();
        parts.homeDirectory = client ? client->home() : folder.file("home");
        parts.networkMonitor = {};
        return parts;
    }

    std::string applicationSupport() const { return folder.file("data/com.tolvan.burrowlight"); }

    void storeTunnels(const std::vector<tunnelkit::Tunnel>& tunnels) const {
        QVERIFY(tunnelkit::TunnelStore(applicationSupport() + "/tunnels.json").save(tunnels));
    }

    tunnelkit::Tunnel launchTunnel() const {
        tunnelkit::Tunnel tunnel = client->tunnel({});
        tunnel.connectsAtLaunch = true;
        return tunnel;
    }
};

} // namespace testing_support
