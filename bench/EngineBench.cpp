// What the engine's bookkeeping costs beside the plain system work it wraps:
// - quitting with 50 running ssh (stand-ins that end on SIGTERM), against a bare SIGTERM and reap;
// - 50 registry registrations in one turn of the main queue, against the same rewrites unsynced;
// - 150,000 lines of ssh output through a connection, against a bare read and split of the pipe.

#include "Platform/LinuxProcessTable.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/MainQueue.h"
#include "TunnelKit/ProcessRegistry.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/TunnelConnection.h"
#include "TunnelKit/TunnelManager.h"
#include "bench/BenchFolder.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tunnelkit;
using namespace std::chrono_literals;

namespace {

constexpr int tunnelCount = 50;
constexpr int logLines = 150'000;

using bench::Folder;

std::string script(const Folder& folder, const std::string& name, const std::string& body) {
    const auto path = folder.file(name);
    (void)writeFileAtomically(path, "#!/bin/sh\n" + body + "\n", 0755);
    return path;
}

ConnectionEnvironment environmentRunning(const Folder& folder, const std::string& executable,
                                         std::shared_ptr<MainQueue> queue) {
    return {SSHCommandBuilder(executable, false, folder.file("home")),
            "/bin/false",
            folder.file("askpass"),
            std::make_shared<ProcessRegistry>(folder.file("ssh-processes.json"), executable,
                                              std::make_shared<platform::LinuxProcessTable>(), queue),
            RetryPolicy{},
            {{"PATH", "/usr/bin:/bin"}},
            std::move(queue)};
}

Tunnel benchTunnel(int number) {
    auto tunnel = Tunnel::created();
    tunnel.name = "tunnel " + std::to_string(number);
    tunnel.host = "example.test";
    tunnel.retryLimit = 0;
    return tunnel;
}

std::shared_ptr<Child> spawnSleeper() {
    auto spawned = spawnChild(SpawnRequest{"/bin/sleep", {"1000"}, {}, true, ErrorOutput::discarded});
    if (!spawned) {
        std::abort();
    }
    return spawned->child;
}

void BM_SigtermAndReap50(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::shared_ptr<Child>> children;
        for (int i = 0; i < tunnelCount; ++i) {
            children.push_back(spawnSleeper());
        }
        state.ResumeTiming();
        for (const auto& child : children) {
            child->signalGroup(SIGTERM);
        }
        for (const auto& child : children) {
            child->waitForExit();
        }
    }
}

void BM_Shutdown50(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Folder folder;
        auto queue = std::make_shared<RunLoopQueue>();
        const auto ssh = script(folder, "ssh", "exec sleep 1000");
        auto manager = TunnelManager::make(TunnelStore(folder.file("tunnels.json")),
                                           environmentRunning(folder, ssh, queue), nullptr, nullptr);
        manager->start(false);
        for (int i = 0; i < tunnelCount; ++i) {
            manager->save(benchTunnel(i));
        }
        manager->connectAll();
        queue->runFor(300ms);
        state.ResumeTiming();
        manager->shutdown();
        state.PauseTiming();
        queue->runUntil([&] { return false; }, 100ms);
        manager.reset();
        state.ResumeTiming();
    }
}

void BM_Register50(benchmark::State& state) {
    Folder folder;
    std::vector<std::shared_ptr<Child>> children;
    for (int i = 0; i < tunnelCount; ++i) {
        children.push_back(spawnSleeper());
    }
    auto queue = std::make_shared<RunLoopQueue>();
    const auto registry =
        std::make_shared<ProcessRegistry>(folder.file("ssh-processes.json"), "/bin/sleep",
                                          std::make_shared<platform::LinuxProcessTable>(), queue);
    for (auto _ : state) {
        for (const auto& child : children) {
            registry->registerProcess(child->pid());
        }
        bool turnEnded = false; // where the registry writes
        queue->post([&] { turnEnded = true; });
        queue->runUntil([&] { return turnEnded; }, 10s);
        state.PauseTiming();
        registry->save({});
        state.ResumeTiming();
    }
    for (const auto& child : children) {
        child->signalGroup(SIGKILL);
        child->waitForExit();
    }
}

// The same 50 whole rewrites of a growing list, each to a new file renamed into place, unsynced.
void BM_RegistryRewritesWithoutSync50(benchmark::State& state) {
    Folder folder;
    const auto path = folder.file("ssh-processes.json");
    for (auto _ : state) {
        std::string text = "[";
        for (int i = 0; i < tunnelCount; ++i) {
            text += (i ? "," : "") + std::string("{\"pid\":") + std::to_string(100000 + i) +
                    ",\"start\":1733700000000000}";
            const auto temporary = path + ".new";
            const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            benchmark::DoNotOptimize(::write(fd, text.data(), text.size()));
            ::close(fd);
            ::rename(temporary.c_str(), path.c_str());
        }
    }
}

std::string sshLikeLog() {
    std::string log;
    for (int i = 0; i < logLines; ++i) {
        log +=
            "debug1: channel " + std::to_string(1 + i % 40) +
            ": free: direct-tcpip: listening port 11080 for 10.0.0.7 port 443, connect from 127.0.0.1 port " +
            std::to_string(32768 + i % 28000) + " to 127.0.0.1 port 11080, nchannels 3\r\n";
    }
    return log;
}

void BM_PipeSplit150k(benchmark::State& state) {
    Folder folder;
    const auto logPath = folder.file("ssh.log");
    (void)writeFileAtomically(logPath, sshLikeLog());
    for (auto _ : state) {
        auto spawned = spawnChild(SpawnRequest{"/bin/cat", {logPath}, {}, true, ErrorOutput::joined});
        std::string pending;
        size_t lines = 0;
        char buffer[16384];
        for (ssize_t n; (n = ::read(spawned->output.get(), buffer, sizeof buffer)) > 0;) {
            pending.append(buffer, static_cast<size_t>(n));
            size_t start = 0;
            for (size_t feed; (feed = pending.find('\n', start)) != std::string::npos; start = feed + 1) {
                std::string line = pending.substr(start, feed - start);
                benchmark::DoNotOptimize(line);
                ++lines;
            }
            pending.erase(0, start);
        }
        spawned->child->waitForExit();
        if (lines != logLines) {
            state.SkipWithError("lines lost");
        }
    }
}

void BM_ConnectionLog150k(benchmark::State& state) {
    Folder folder;
    const auto logPath = folder.file("ssh.log");
    (void)writeFileAtomically(logPath, sshLikeLog());
    const auto ssh = script(folder, "ssh", "exec cat " + logPath);
    auto queue = std::make_shared<RunLoopQueue>();
    for (auto _ : state) {
        auto connection = TunnelConnection::make(benchTunnel(0), environmentRunning(folder, ssh, queue));
        connection->connect();
        if (!queue->runUntil([&] { return connection->state().is<TunnelState::Failed>(); }, 60s)) {
            state.SkipWithError("the connection did not end");
        }
    }
}

} // namespace

BENCHMARK(BM_SigtermAndReap50)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Shutdown50)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RegistryRewritesWithoutSync50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Register50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipeSplit150k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConnectionLog150k)->Unit(benchmark::kMillisecond);
