// The cost of reading ssh's log, as a ratio to merely splitting the same bytes into lines.
//
// The log is what a busy SOCKS tunnel prints at debug level 1: the connection's preamble, then three
// lines per proxied connection, in the shapes the real client (OpenSSH 9.2) writes, CR LF included.
// The second argument of the parse benchmark mixes in, once per that many connections, the line ssh
// prints when a SOCKS target refuses ("channel N: open failed: ..."), which runs the whole failure
// table; 0 leaves it out.

#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SessionInfo.h"

#include <benchmark/benchmark.h>
#include <string>
#include <string_view>

using namespace tunnelkit;

namespace {

constexpr int connectionsInLog = 50'000;

const char* const preamble[] = {
    "debug1: Reading configuration data /etc/ssh/ssh_config",
    "debug1: Connecting to 127.0.0.1 [127.0.0.1] port 2222.",
    "debug1: Connection established.",
    "debug1: Local version string SSH-2.0-OpenSSH_9.2p1 Debian-2+deb12u10",
    "debug1: Remote protocol version 2.0, remote software version OpenSSH_9.2p1 Debian-2+deb12u10",
    "debug1: Authenticating to 127.0.0.1:2222 as 'root'",
    "debug1: SSH2_MSG_KEXINIT sent",
    "debug1: kex: algorithm: sntrup761x25519-sha512",
    "debug1: kex: host key algorithm: ssh-ed25519",
    "debug1: kex: server->client cipher: chacha20-poly1305@openssh.com MAC: <implicit> compression: none",
    "debug1: kex: client->server cipher: chacha20-poly1305@openssh.com MAC: <implicit> compression: none",
    "debug1: Server host key: ssh-ed25519 SHA256:U7kxWvw+V1PiSJaicGa0sjw8OOw/k69K5R8RniGiVz8",
    "debug1: Host '[127.0.0.1]:2222' is known and matches the ED25519 host key.",
    "debug1: Server accepts key: /home/alice/.ssh/id_test ED25519 "
    "SHA256:YQ0mrOo/e/hMy8fHZYJ45fFqrruY6tm7xD0aMXS4ur8 explicit",
    "Authenticated to 127.0.0.1 ([127.0.0.1]:2222) using \"publickey\".",
    "debug1: Local connections to 127.0.0.1:11080 forwarded to remote address socks:0",
    "debug1: Local forwarding listening on 127.0.0.1 port 11080.",
    "debug1: channel 0: new port-listener [port listener] (inactive timeout: 0)",
    "debug1: Requesting no-more-sessions@openssh.com",
    "debug1: Entering interactive session.",
    "debug1: pledge: network",
    "debug1: client_input_global_request: rtype hostkeys-00@openssh.com want_reply 0",
};

std::string busySocksLog(int refusedEvery) {
    std::string log;
    auto line = [&log](std::string_view text) {
        log += text;
        log += "\r\n";
    };
    for (const char* text : preamble) {
        line(text);
    }
    for (int i = 0; i < connectionsInLog; ++i) {
        const std::string channel = std::to_string(1 + i % 40);
        const std::string sourcePort = std::to_string(32768 + i % 28000);
        const std::string targetPort = std::to_string(i % 3 == 0 ? 443 : 8080);
        line("debug1: Connection to port 11080 forwarding to socks port 0 requested.");
        line("debug1: channel " + channel + ": new dynamic-tcpip [dynamic-tcpip] (inactive timeout: 0)");
        if (refusedEvery > 0 && i % refusedEvery == 0) {
            line("channel " + channel + ": open failed: connect failed: Connection refused");
        }
        line("debug1: channel " + channel + ": free: direct-tcpip: listening port 11080 for 10.0." +
             std::to_string(i % 250) + ".7 port " + targetPort + ", connect from 127.0.0.1 port " +
             sourcePort + " to 127.0.0.1 port 11080, nchannels " + std::to_string(2 + i % 40));
    }
    return log;
}

// The process reader's split: at every line feed, a trailing carriage return dropped.
template <class PerLine> size_t forEachLine(std::string_view bytes, PerLine&& perLine) {
    size_t count = 0;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        perLine(line);
        ++count;
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return count;
}

void BM_SplitLines(benchmark::State& state) {
    const std::string log = busySocksLog(static_cast<int>(state.range(0)));
    size_t lines = 0;
    for (auto _ : state) {
        lines = forEachLine(log, [](std::string_view line) { benchmark::DoNotOptimize(line); });
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
    state.counters["lines"] = static_cast<double>(lines);
}

// What the connection does with every line: its level, the session facts, the signal and the held
// failure.
void BM_ParseLines(benchmark::State& state) {
    const std::string log = busySocksLog(static_cast<int>(state.range(0)));
    size_t lines = 0;
    for (auto _ : state) {
        SessionInfo session;
        SSHAttemptProgress progress;
        bool connected = false;
        lines = forEachLine(log, [&](std::string_view line) {
            auto level = SSHLogParser::level(line);
            benchmark::DoNotOptimize(level);
            session.update(line);
            if (auto signal = SSHLogParser::signal(line)) {
                progress.apply(*signal, line, connected);
            }
            connected = connected || progress.isConfirmed();
        });
        benchmark::DoNotOptimize(session);
        benchmark::DoNotOptimize(progress);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * log.size()));
    state.counters["lines"] = static_cast<double>(lines);
}

} // namespace

BENCHMARK(BM_SplitLines)->ArgName("refusedEvery")->Arg(0)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseLines)->ArgName("refusedEvery")->Arg(0)->Arg(16)->Unit(benchmark::kMillisecond);
