// Where the start-up read of a large tunnels file goes: 56,000 tunnels of a team (about 100 MB), read
// as bytes, parsed as JSON, and decoded into tunnels (parse included).

#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelStore.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

using namespace tunnelkit;

namespace {

constexpr int tunnelCount = 56000;

Tunnel teamTunnel(int index) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "web-" + std::to_string(index);
    tunnel.host = "web" + std::to_string(index) + ".internal.example.com";
    tunnel.user = "deploy";
    tunnel.jumpHosts = "bastion.example.com";
    tunnel.identityFile = "~/.ssh/id_ed25519_web";
    tunnel.tags = {"prod", "team-a"};
    tunnel.note = "Owned by the web team. Ask in the team channel before restarting anything behind this "
                  "tunnel; the forwards reach the admin console, the metrics endpoint and the replica.";
    tunnel.options = {{Uuid::random(), "ServerAliveInterval", "30"}, {Uuid::random(), "Compression", "yes"}};
    for (int forward = 0; forward < 3; ++forward) {
        tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::local, true,
                                                Endpoint::tcp("", 8000 + forward),
                                                Endpoint::tcp("web-internal", 80 + forward), "console"));
    }
    return tunnel.normalized();
}

const std::string& fileBytes() {
    static const std::string bytes = [] {
        std::vector<Tunnel> tunnels;
        for (int index = 0; index < tunnelCount; ++index) {
            tunnels.push_back(teamTunnel(index));
        }
        return TunnelStore::encode(tunnels);
    }();
    return bytes;
}

void BM_Load56kParseOnly(benchmark::State& state) {
    const auto& bytes = fileBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(nlohmann::json::parse(bytes));
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_Load56kDecode(benchmark::State& state) {
    const auto& bytes = fileBytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TunnelStore::decode(bytes));
    }
}

} // namespace

BENCHMARK(BM_Load56kParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Load56kDecode)->Unit(benchmark::kMillisecond)->Iterations(3);
