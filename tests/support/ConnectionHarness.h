#pragma once

#include "Platform/LinuxProcessTable.h"
#include "SSHCommandErrorPrinting.h"
#include "SSHServerFixture.h"
#include "SSHTranscripts.h"
#include "TempDir.h"
#include "TunnelKit/TunnelConnection.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tunnelkit {

inline void PrintTo(const TunnelState& state, std::ostream* out) {
    std::visit(
        [out](const auto& payload) {
            using Case = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Case, TunnelState::Connected>) {
                *out << "connected(since: " << formatIsoDate(payload.since) << ")";
            } else if constexpr (std::is_same_v<Case, TunnelState::Retrying>) {
                *out << "retrying(attempt: " << payload.attempt << ", at: " << formatIsoDate(payload.at)
                     << ")";
            } else if constexpr (std::is_same_v<Case, TunnelState::Disconnected>) {
                *out << "disconnected";
            } else if constexpr (std::is_same_v<Case, TunnelState::Connecting>) {
                *out << "connecting";
            } else if constexpr (std::is_same_v<Case, TunnelState::Failed>) {
                *out << "failed";
            } else {
                *out << "disconnecting";
            }
        },
        state.value);
}

inline void PrintTo(const TunnelProblem& problem, std::ostream* out) {
    std::visit(
        [out](const auto& payload) {
            using Case = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Case, TunnelProblem::SSH>) {
                *out << "ssh(";
                PrintTo(payload.failure, out);
                *out << ")";
            } else if constexpr (std::is_same_v<Case, TunnelProblem::InvalidSettings>) {
                *out << "invalidSettings(" << describe(payload.error) << ")";
            } else if constexpr (std::is_same_v<Case, TunnelProblem::LaunchFailed>) {
                if (const auto* file = std::get_if<FileError>(&payload.reason)) {
                    *out << "launchFailed(file " << file->path << ", errno " << file->code << ")";
                } else {
                    *out << "launchFailed(errno " << std::get<LaunchError>(payload.reason).code << ")";
                }
            } else if constexpr (std::is_same_v<Case, TunnelProblem::Exited>) {
                *out << "exited(" << payload.status << ")";
            } else {
                *out << "cancelled";
            }
        },
        problem.value);
}

} // namespace tunnelkit

namespace testing_support {

// The state names of a sequence, payloads left out: "connecting", "retrying", ...
inline std::vector<std::string> stateNames(const std::vector<tunnelkit::TunnelState>& states) {
    static constexpr const char* names[] = {"connected",  "retrying", "disconnected",
                                            "connecting", "failed",   "disconnecting"};
    std::vector<std::string> result;
    for (const auto& state : states) {
        result.emplace_back(names[state.value.index()]);
    }
    return result;
}

// One connection on a run loop of the test's own, with what a test wants to look at afterwards:
// every state it reported (with the problem at that moment) and every ssh it started. At the end
// it disconnects what still runs and checks that no process of the test is left.
class ConnectionHarness {
  public:
    struct Report {
        tunnelkit::TunnelState old;
        tunnelkit::TunnelState now;
        std::optional<tunnelkit::TunnelProblem> problem;
        size_t logSize = 0;
    };

    static constexpr auto patience = std::chrono::seconds(60);

    ConnectionHarness() = default;
    ConnectionHarness(const ConnectionHarness&) = delete;
    ConnectionHarness& operator=(const ConnectionHarness&) = delete;
    ~ConnectionHarness() { finish(); }

    tunnelkit::ConnectionEnvironment environment(tunnelkit::SSHCommandBuilder builder,
                                                 tunnelkit::Environment base = {
                                                     {"PATH", "/usr/bin:/bin"}}) const {
        return {std::move(builder),
                "/bin/false",
                folder.file("askpass"),
                std::make_shared<tunnelkit::ProcessRegistry>(
                    folder.file("ssh-processes.json"), tunnelkit::SSHCommandBuilder::defaultExecutable,
                    std::make_shared<platform::LinuxProcessTable>(), queue),
                tunnelkit::RetryPolicy{std::chrono::milliseconds(50), std::chrono::milliseconds(200)},
                std::move(base),
                queue};
    }

    tunnelkit::TunnelConnection& make(tunnelkit::Tunnel tunnel,
                                      tunnelkit::ConnectionEnvironment environment) {
        connection = tunnelkit::TunnelConnection::make(std::move(tunnel), std::move(environment));
        stateChanges =
            connection->observeStateChanges([this](const tunnelkit::TunnelConnection::StateChange& change) {
                reports.push_back({change.old, change.now, connection->problem(), connection->log().size()});
                if (const auto pid = connection->processID()) {
                    processes.track(*pid);
                }
            });
        return *connection;
    }

    std::vector<tunnelkit::TunnelState> states() const {
        std::vector<tunnelkit::TunnelState> result;
        for (const auto& report : reports) {
            result.push_back(report.now);
        }
        return result;
    }
    std::vector<std::string> stateNames() const { return testing_support::stateNames(states()); }

    template <class Case> bool runUntilState(std::chrono::seconds limit = patience) {
        return queue->runUntil([&] { return connection->state().is<Case>(); }, limit);
    }
    bool runUntil(const std::function<bool()>& done, std::chrono::seconds limit = patience) {
        return queue->runUntil(done, limit);
    }
    // Runs what the current turn of the queue left for its end (the registry's write among it).
    void endTurn() {
        bool ended = false;
        queue->post([&ended] { ended = true; });
        EXPECT_TRUE(queue->runUntil([&ended] { return ended; }, patience));
    }
    // Until the connection has no process and is not waiting for a retry.
    bool runUntilSettled(std::chrono::seconds limit = patience) {
        return queue->runUntil(
            [&] {
                const auto& state = connection->state();
                return !connection->processID() && (state.is<tunnelkit::TunnelState::Disconnected>() ||
                                                    state.is<tunnelkit::TunnelState::Failed>());
            },
            limit);
    }

    std::vector<std::string> logTexts() const {
        std::vector<std::string> texts;
        for (const auto& line : connection->log()) {
            texts.push_back(line.text);
        }
        return texts;
    }
    bool logContains(const std::string& text) const {
        for (const auto& line : connection->log()) {
            if (line.text.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    void finish() {
        if (connection && !finished_) {
            finished_ = true;
            connection->disconnect();
            EXPECT_TRUE(runUntilSettled()) << "the connection did not settle";
            processes.expectAllEnded();
        }
    }

    std::shared_ptr<tunnelkit::RunLoopQueue> queue = std::make_shared<tunnelkit::RunLoopQueue>();
    TempDir folder;
    ProcessGroupWatch processes;
    std::vector<Report> reports;
    std::shared_ptr<tunnelkit::TunnelConnection> connection;
    tunnelkit::ObserverList<tunnelkit::TunnelConnection::StateChange>::Subscription stateChanges;

  private:
    bool finished_ = false;
};

} // namespace testing_support
