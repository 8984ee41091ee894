// What writing the tunnels file costs beside the JSON library writing the same document:
// - the anchor: the library's pretty dump of the document, already built, with the same atomic write;
// - the store's save of the list;
// - one edit through the manager (one tunnel changed, the whole file rewritten).
// Run at 1,000 and 10,000 tunnels; compare within one run.

#include "TunnelKit/FileIO.h"
#include "TunnelKit/MainQueue.h"
#include "TunnelKit/TunnelManager.h"
#include "TunnelKit/TunnelStore.h"
#include "bench/BenchFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

using namespace tunnelkit;

namespace {

using bench::Folder;

// A tunnel as users keep them: a couple of forwards, an option, tags, a note, some paths.
Tunnel typicalTunnel(int number) {
    auto tunnel = Tunnel::created(*parseIsoDate("2026-02-03T04:05:06Z"));
    const auto n = std::to_string(number);
    tunnel.name = "service " + n;
    tunnel.host = "host" + n + ".example.com";
    tunnel.user = "deploy";
    if (number % 3 == 0) {
        tunnel.port = 2200 + number % 100;
    }
    tunnel.identityFile = "~/.ssh/id_ed25519";
    tunnel.jumpHosts = "bastion.example.com";
    tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::local, true,
                                            Endpoint::tcp("127.0.0.1", 10000 + number % 50000),
                                            Endpoint::tcp("db.internal", 5432), "database"));
    tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::dynamic, number % 2 == 0,
                                            Endpoint::tcp("", 1080 + number % 1000), std::nullopt, ""));
    tunnel.options.push_back(SSHOptionValue{Uuid::random(), "ServerAliveInterval", "30"});
    tunnel.tags = {"prod", "team-" + std::to_string(number % 7)};
    tunnel.note = "Reports/dashboards for the café team \"north\"";
    tunnel.isPinned = number % 10 == 0;
    if (number % 20 == 0) {
        tunnel.deletedAt = tunnel.createdAt;
    }
    return tunnel;
}

std::vector<Tunnel> typicalTunnels(int count) {
    std::vector<Tunnel> tunnels;
    tunnels.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        tunnels.push_back(typicalTunnel(i));
    }
    return tunnels;
}

void BM_AnchorLibraryDumpAndWrite(benchmark::State& state) {
    Folder folder;
    const auto path = folder.file("tunnels.json");
    const auto document =
        nlohmann::json::parse(TunnelStore::encode(typicalTunnels(static_cast<int>(state.range(0)))));
    for (auto _ : state) {
        if (!writeFileAtomically(path, document.dump(2))) {
            state.SkipWithError("write failed");
        }
    }
}

void BM_StoreSave(benchmark::State& state) {
    Folder folder;
    const TunnelStore store(folder.file("tunnels.json"));
    const auto tunnels = typicalTunnels(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!store.save(tunnels)) {
            state.SkipWithError("save failed");
        }
    }
}

void BM_ManagerEdit(benchmark::State& state) {
    Folder folder;
    const TunnelStore store(folder.file("tunnels.json"));
    const auto tunnels = typicalTunnels(static_cast<int>(state.range(0)));
    (void)store.save(tunnels);
    auto manager = TunnelManager::make(store,
                                       {SSHCommandBuilder("/bin/false", false, folder.file("home")),
                                        "/bin/false",
                                        folder.file("askpass"),
                                        nullptr,
                                        RetryPolicy{},
                                        {},
                                        std::make_shared<RunLoopQueue>()},
                                       nullptr, nullptr);
    manager->start(false);
    auto edited = manager->tunnels()[tunnels.size() / 2];
    int round = 0;
    for (auto _ : state) {
        edited.note = "edit " + std::to_string(++round);
        manager->save(edited);
    }
    if (manager->storageError()) {
        state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(BM_AnchorLibraryDumpAndWrite)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoreSave)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManagerEdit)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
