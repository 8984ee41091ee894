#include "TunnelKit/SSHLog.h"

#include <charconv>
#include <type_traits>

namespace tunnelkit {

namespace {

bool contains(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

// "bind [HOST]:PORT: Address already in use" gives HOST:PORT; IPv6 colons inside the brackets stay.
// The text after "bind " starts with "[", so what comes before the first ": Address" is never empty.
std::string boundAddress(std::string_view line) {
    std::string_view rest = line.substr(std::string_view("bind ").size());
    std::string_view bracketed = rest.substr(0, rest.find(": Address"));
    std::string address;
    for (char c : bracketed) {
        if (c != '[' && c != ']') {
            address += c;
        }
    }
    return address;
}

std::optional<int> leadingDecimal(std::string_view text) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    int value = 0;
    if (digits == 0 || std::from_chars(text.data(), text.data() + digits, value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::optional<SSHLogSignal> debugSignal(std::string_view line) {
    if (line.starts_with("debug1: Entering interactive session.")) {
        return SSHLogSignal::sessionStarted();
    }
    if (contains(line, "forwarding_success: all expected forwarding replies received")) {
        return SSHLogSignal::remoteForwardsConfirmed();
    }
    constexpr std::string_view expecting = "ssh_init_forwarding: expecting replies for ";
    if (auto at = line.find(expecting); at != std::string_view::npos) {
        if (auto count = leadingDecimal(line.substr(at + expecting.size()))) {
            return SSHLogSignal::expectingRemoteForwards(*count);
        }
    }
    return std::nullopt;
}

} // namespace

bool SSHFailure::isRetryable() const {
    return !(is<LocalPortInUse>() || is<BadConfiguration>() || is<AuthenticationFailed>() ||
             is<HostKeyNotTrusted>() || is<HostKeyChanged>());
}

const SSHFailure* SSHLogSignal::asFailure() const {
    const auto* failure = std::get_if<Failure>(&value);
    return failure ? &failure->failure : nullptr;
}

namespace SSHLogParser {

std::optional<SSHFailure> failure(std::string_view line) {
    if (contains(line, "REMOTE HOST IDENTIFICATION HAS CHANGED")) {
        return SSHFailure::hostKeyChanged();
    }
    if (line.starts_with("Host key verification failed")) {
        return SSHFailure::hostKeyNotTrusted();
    }
    if (contains(line, "Permission denied (") || contains(line, "Too many authentication failures")) {
        return SSHFailure::authenticationFailed();
    }
    if (contains(line, "Could not resolve hostname")) {
        return SSHFailure::hostNotFound();
    }
    if (contains(line, "Connection refused")) {
        return SSHFailure::connectionRefused();
    }
    if (contains(line, "Network is unreachable") || contains(line, "No route to host")) {
        return SSHFailure::networkUnreachable();
    }
    if (contains(line, "Operation timed out") || contains(line, "Connection timed out")) {
        return SSHFailure::timedOut();
    }
    if (line.starts_with("Timeout, server") || line.starts_with("Connection closed by") ||
        contains(line, "closed by remote host") || contains(line, "Connection reset by peer") ||
        contains(line, "Broken pipe") || line.starts_with("kex_exchange_identification")) {
        return SSHFailure::connectionLost();
    }
    if (line.starts_with("bind [") && contains(line, "Address already in use")) {
        return SSHFailure::localPortInUse(boundAddress(line));
    }
    if (line.starts_with("Could not request local forwarding")) {
        return SSHFailure::localPortInUse("");
    }
    constexpr std::string_view rejected = "Error: remote port forwarding failed for listen port ";
    if (line.starts_with(rejected)) {
        return SSHFailure::remoteForwardRejected(std::string(line.substr(rejected.size())));
    }
    // "forwarding spec" is how ssh starts its refusal of an -L, -R or -D argument it can't read.
    if (contains(line, "Bad configuration option") || line.starts_with("command-line line") ||
        contains(line, "forwarding spec") || contains(line, "Unsupported option")) {
        return SSHFailure::badConfiguration(std::string(line));
    }
    constexpr std::string_view sshPrefix = "ssh: ";
    if (line.starts_with(sshPrefix)) {
        return SSHFailure::other(std::string(line.substr(sshPrefix.size())));
    }
    return std::nullopt;
}

std::optional<SSHLogSignal> signal(std::string_view line) {
    if (line.starts_with("debug")) {
        return debugSignal(line);
    }
    if (line.starts_with("Authenticated to ")) {
        return SSHLogSignal::authenticated();
    }
    if (auto found = failure(line)) {
        return SSHLogSignal::failure(std::move(*found));
    }
    return std::nullopt;
}

SSHLogLine::Level level(std::string_view line) {
    if (line.starts_with("debug")) {
        return SSHLogLine::Level::debug;
    }
    auto found = signal(line);
    return found && found->asFailure() ? SSHLogLine::Level::error : SSHLogLine::Level::info;
}

} // namespace SSHLogParser

void SSHAttemptProgress::apply(const SSHLogSignal& signal, std::string_view line, bool isConnected) {
    std::visit(
        [&](const auto& payload) {
            using Case = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Case, SSHLogSignal::ExpectingRemoteForwards>) {
                expectedRemoteForwards = payload.count;
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::SessionStarted>) {
                sessionStarted = true;
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::RemoteForwardsConfirmed>) {
                remoteForwardsConfirmed = true;
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::Failure>) {
                if (isConnected ? !line.starts_with("channel ") : !firstFailure) {
                    firstFailure = payload.failure;
                }
            }
        },
        signal.value);
}

} // namespace tunnelkit

size_t std::hash<tunnelkit::SSHLogLine>::operator()(const tunnelkit::SSHLogLine& line) const noexcept {
    size_t h = std::hash<std::int64_t>{}(line.id);
    auto mix = [&h](size_t value) { h ^= value + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(std::hash<std::int64_t>{}(line.date.time_since_epoch().count()));
    mix(std::hash<std::string>{}(line.text));
    mix(static_cast<size_t>(line.level));
    return h;
}
