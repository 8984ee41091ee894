#pragma once

#include "ConnectionHarness.h"
#include "Platform/LinuxProcessTable.h"
#include "SSHServerFixture.h"
#include "SSHTranscripts.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelManager.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A network monitor the test drives: it reports what the test says, on the test's thread.
class FakeNetworkMonitor final : public tunnelkit::NetworkMonitor {
  public:
    struct Shared {
        UpdateHandler onUpdate;
        bool started = false;
        bool cancelled = false;

        void report(bool available) const {
            if (onUpdate && !cancelled) {
                onUpdate(available);
            }
        }
    };

    explicit FakeNetworkMonitor(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    void start(UpdateHandler onUpdate) override {
        shared_->onUpdate = std::move(onUpdate);
        shared_->started = true;
    }
    void cancel() override { shared_->cancelled = true; }

  private:
    std::shared_ptr<Shared> shared_;
};

// The secret service reduced to a map, for tests of what the engine asks of it.
class FakeSecretBackend final : public tunnelkit::SecretBackend {
  public:
    using Items = std::map<std::pair<std::string, std::string>, std::string>;

    tunnelkit::Result<void, tunnelkit::SecretError> store(std::string_view service, std::string_view account,
                                                          std::string_view,
                                                          std::string_view secret) override {
        items[{std::string(service), std::string(account)}] = secret;
        return {};
    }
    tunnelkit::Result<std::optional<std::string>, tunnelkit::SecretError>
    lookup(std::string_view service, std::string_view account) override {
        const auto found = items.find({std::string(service), std::string(account)});
        if (found == items.end()) {
            return std::optional<std::string>();
        }
        return std::optional<std::string>(found->second);
    }
    tunnelkit::Result<std::vector<std::string>, tunnelkit::SecretError>
    accounts(std::string_view service) override {
        std::vector<std::string> result;
        for (const auto& [key, secret] : items) {
            if (key.first == service) {
                result.push_back(key.second);
            }
        }
        return result;
    }
    tunnelkit::Result<void, tunnelkit::SecretError> clear(std::string_view service,
                                                          std::string_view account) override {
        items.erase({std::string(service), std::string(account)});
        return {};
    }

    Items items;
};

// One manager on a run loop of the test's own, with a tunnels file, a registry and an askpass
// folder in a temporary folder, a fake network monitor and a fake secret service. It records every
// state change the manager reports and every ssh it saw, and at the end disconnects everything and
// checks that no process of the test is left.
class ManagerHarness {
  public:
    struct Report {
        tunnelkit::Tunnel tunnel;
        tunnelkit::TunnelState old;
        tunnelkit::TunnelState now;
        std::optional<tunnelkit::TunnelProblem> problem;
    };

    static constexpr auto patience = std::chrono::seconds(60);

    ManagerHarness() = default;
    ManagerHarness(const ManagerHarness&) = delete;
    ManagerHarness& operator=(const ManagerHarness&) = delete;
    ~ManagerHarness() { finish(); }

    std::string tunnelsFile() const { return folder.file("config/tunnels.json"); }

    tunnelkit::ConnectionEnvironment environment(tunnelkit::SSHCommandBuilder builder) const {
        return {std::move(builder),
                "/bin/false",
                folder.file("askpass"),
                registry,
                tunnelkit::RetryPolicy{std::chrono::milliseconds(50), std::chrono::milliseconds(200)},
                {{"PATH", "/usr/bin:/bin"}},
                queue};
    }

    // A stand-in for ssh that runs `body` in a POSIX shell; it ignores its arguments.
    std::string fakeSSH(const std::string& body) {
        const auto path = folder.file("fake-ssh-" + std::to_string(++scripts_));
        EXPECT_TRUE(tunnelkit::writeFileAtomically(path, "#!/bin/sh\n" + body + "\n", 0755));
        return path;
    }
    tunnelkit::SSHCommandBuilder builderRunning(const std::string& executable) const {
        return tunnelkit::SSHCommandBuilder(executable, false, folder.file("home"));
    }

    tunnelkit::TunnelManager& make(tunnelkit::ConnectionEnvironment env) {
        manager = tunnelkit::TunnelManager::make(tunnelkit::TunnelStore(tunnelsFile()), std::move(env),
                                                 secrets, std::make_unique<FakeNetworkMonitor>(network));
        stateChanges =
            manager->observeStateChanges([this](const tunnelkit::TunnelManager::StateChange& change) {
                // Built in place: a temporary Report holding the problem trips g++ 12's
                // maybe-uninitialized warning in optimized builds.
                Report& report = reports.emplace_back(change.tunnel, change.old, change.now);
                if (change.problem) {
                    report.problem.emplace(*change.problem);
                }
                if (!manager->hasConnection(change.tunnel.id)) {
                    return;
                }
                if (const auto pid = manager->connection(change.tunnel.id)->processID()) {
                    processes.track(*pid);
                }
            });
        return *manager;
    }
    // A manager whose ssh is a shell script running `body`.
    tunnelkit::TunnelManager& makeRunning(const std::string& body) {
        return make(environment(builderRunning(fakeSSH(body))));
    }

    // The file as a test writes it before the start.
    void writeTunnels(const std::vector<tunnelkit::Tunnel>& tunnels) const {
        ASSERT_TRUE(tunnelkit::TunnelStore(tunnelsFile()).save(tunnels));
    }
    std::vector<tunnelkit::Tunnel> storedTunnels() const {
        auto loaded = tunnelkit::TunnelStore(tunnelsFile()).load();
        EXPECT_TRUE(loaded);
        return loaded ? *loaded : std::vector<tunnelkit::Tunnel>{};
    }
    std::string fileBytes() const { return readWholeFile(tunnelsFile()); }

    bool runUntil(const std::function<bool()>& done, std::chrono::seconds limit = patience) {
        return queue->runUntil(done, limit);
    }
    // Runs what the current turn of the queue left for its end (the registry's write among it).
    void endTurn() {
        bool ended = false;
        queue->post([&ended] { ended = true; });
        EXPECT_TRUE(queue->runUntil([&ended] { return ended; }, patience));
    }
    template <class Case> bool runUntilState(tunnelkit::Uuid id, std::chrono::seconds limit = patience) {
        return runUntil([&] { return manager->state(id).is<Case>(); }, limit);
    }

    // The state names reported for one tunnel, in order.
    std::vector<std::string> stateNames(tunnelkit::Uuid id) const {
        std::vector<tunnelkit::TunnelState> states;
        for (const auto& report : reports) {
            if (report.tunnel.id == id) {
                states.push_back(report.now);
            }
        }
        return testing_support::stateNames(states);
    }
    // The tunnels' names in the order they first reported `connecting`.
    std::vector<std::string> connectingOrder() const {
        std::vector<std::string> names;
        for (const auto& report : reports) {
            if (report.now.is<tunnelkit::TunnelState::Connecting>()) {
                names.push_back(report.tunnel.name);
            }
        }
        return names;
    }

    void finish() {
        if (!manager || finished_) {
            return;
        }
        finished_ = true;
        manager->disconnectAll();
        EXPECT_TRUE(runUntil([&] {
            for (const auto& tunnel : manager->tunnels()) {
                if (manager->hasConnection(tunnel.id) && manager->connection(tunnel.id)->processID()) {
                    return false;
                }
            }
            return true;
        })) << "a connection did not settle";
        processes.expectAllEnded();
    }

    std::shared_ptr<tunnelkit::RunLoopQueue> queue = std::make_shared<tunnelkit::RunLoopQueue>();
    TempDir folder;
    std::shared_ptr<tunnelkit::ProcessRegistry> registry = std::make_shared<tunnelkit::ProcessRegistry>(
        folder.file("ssh-processes.json"), tunnelkit::SSHCommandBuilder::defaultExecutable,
        std::make_shared<platform::LinuxProcessTable>(), queue);
    std::shared_ptr<FakeNetworkMonitor::Shared> network = std::make_shared<FakeNetworkMonitor::Shared>();
    std::shared_ptr<FakeSecretBackend> secretBackend = std::make_shared<FakeSecretBackend>();
    std::shared_ptr<tunnelkit::SecretStore> secrets =
        std::make_shared<tunnelkit::SecretStore>(tunnelkit::SecretStore::defaultService, secretBackend);
    ProcessGroupWatch processes;
    std::vector<Report> reports;
    std::shared_ptr<tunnelkit::TunnelManager> manager;
    tunnelkit::ObserverList<tunnelkit::TunnelManager::StateChange>::Subscription stateChanges;

  private:
    bool finished_ = false;
    int scripts_ = 0;
};

// A live tunnel with a name and a host; the rest as the system creates it.
inline tunnelkit::Tunnel namedTunnel(const std::string& name, const std::string& host = "example.test") {
    auto tunnel = tunnelkit::Tunnel::created();
    tunnel.name = name;
    tunnel.host = host;
    return tunnel;
}

} // namespace testing_support
