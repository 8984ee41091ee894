#pragma once

#include "TunnelKit/Identifiers.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// Reading ssh's debug output: one line at a time into a display level, a state signal and a typed
// failure. Matching is case-sensitive on the whole line as the process reader delivers it (no line
// feed, no trailing carriage return).
namespace tunnelkit {

struct SSHLogLine {
    // Declared in ascending order of importance, so levels compare with < and >.
    enum class Level { debug, info, error };

    // Counts up per connection for its whole life, across attempts.
    std::int64_t id = 0;
    Date date;
    std::string text;
    Level level = Level::info;

    bool operator==(const SSHLogLine&) const = default;
};

// Why ssh failed or complains. The cases that carry ssh's own text keep it.
struct SSHFailure {
    // Host, a colon and the port without square brackets; empty when ssh did not name it.
    struct LocalPortInUse {
        std::string address;
        bool operator==(const LocalPortInUse&) const = default;
    };
    // ssh's text after "remote port forwarding failed for listen port ".
    struct RemoteForwardRejected {
        std::string text;
        bool operator==(const RemoteForwardRejected&) const = default;
    };
    // The whole line.
    struct BadConfiguration {
        std::string line;
        bool operator==(const BadConfiguration&) const = default;
    };
    // The text after "ssh: ".
    struct Other {
        std::string text;
        bool operator==(const Other&) const = default;
    };
    struct ConnectionRefused {
        bool operator==(const ConnectionRefused&) const = default;
    };
    struct HostNotFound {
        bool operator==(const HostNotFound&) const = default;
    };
    struct TimedOut {
        bool operator==(const TimedOut&) const = default;
    };
    struct NetworkUnreachable {
        bool operator==(const NetworkUnreachable&) const = default;
    };
    struct ConnectionLost {
        bool operator==(const ConnectionLost&) const = default;
    };
    struct AuthenticationFailed {
        bool operator==(const AuthenticationFailed&) const = default;
    };
    struct HostKeyNotTrusted {
        bool operator==(const HostKeyNotTrusted&) const = default;
    };
    struct HostKeyChanged {
        bool operator==(const HostKeyChanged&) const = default;
    };

    std::variant<LocalPortInUse, RemoteForwardRejected, BadConfiguration, Other, ConnectionRefused,
                 HostNotFound, TimedOut, NetworkUnreachable, ConnectionLost, AuthenticationFailed,
                 HostKeyNotTrusted, HostKeyChanged>
        value;

    static SSHFailure localPortInUse(std::string address) { return {LocalPortInUse{std::move(address)}}; }
    static SSHFailure remoteForwardRejected(std::string text) {
        return {RemoteForwardRejected{std::move(text)}};
    }
    static SSHFailure badConfiguration(std::string line) { return {BadConfiguration{std::move(line)}}; }
    static SSHFailure other(std::string text) { return {Other{std::move(text)}}; }
    static SSHFailure connectionRefused() { return {ConnectionRefused{}}; }
    static SSHFailure hostNotFound() { return {HostNotFound{}}; }
    static SSHFailure timedOut() { return {TimedOut{}}; }
    static SSHFailure networkUnreachable() { return {NetworkUnreachable{}}; }
    static SSHFailure connectionLost() { return {ConnectionLost{}}; }
    static SSHFailure authenticationFailed() { return {AuthenticationFailed{}}; }
    static SSHFailure hostKeyNotTrusted() { return {HostKeyNotTrusted{}}; }
    static SSHFailure hostKeyChanged() { return {HostKeyChanged{}}; }

    template <class Case> bool is() const { return std::holds_alternative<Case>(value); }

    // Whether a new attempt may succeed where this one failed: not for a refused login, a distrusted
    // or changed host key, a busy local port or a configuration ssh rejects.
    bool isRetryable() const;

    bool operator==(const SSHFailure&) const = default;
};

// What one line means for the connection's state.
struct SSHLogSignal {
    // ssh waits for the server's replies to this many remote forward requests.
    struct ExpectingRemoteForwards {
        int count = 0;
        bool operator==(const ExpectingRemoteForwards&) const = default;
    };
    struct Failure {
        SSHFailure failure;
        bool operator==(const Failure&) const = default;
    };
    struct Authenticated {
        bool operator==(const Authenticated&) const = default;
    };
    struct SessionStarted {
        bool operator==(const SessionStarted&) const = default;
    };
    // The server accepted every requested remote forward.
    struct RemoteForwardsConfirmed {
        bool operator==(const RemoteForwardsConfirmed&) const = default;
    };

    std::variant<ExpectingRemoteForwards, Failure, Authenticated, SessionStarted, RemoteForwardsConfirmed>
        value;

    static SSHLogSignal expectingRemoteForwards(int count) { return {ExpectingRemoteForwards{count}}; }
    static SSHLogSignal failure(SSHFailure failure) { return {Failure{std::move(failure)}}; }
    static SSHLogSignal authenticated() { return {Authenticated{}}; }
    static SSHLogSignal sessionStarted() { return {SessionStarted{}}; }
    static SSHLogSignal remoteForwardsConfirmed() { return {RemoteForwardsConfirmed{}}; }

    const SSHFailure* asFailure() const;

    bool operator==(const SSHLogSignal&) const = default;
};

namespace SSHLogParser {

// The first matching rule of a fixed precedence decides, so a line naming several problems gets
// the most telling one (an unresolvable host before ssh's generic "ssh: " prefix).
std::optional<SSHFailure> failure(std::string_view line);
// Debug lines only ever give state signals, never failures.
std::optional<SSHLogSignal> signal(std::string_view line);
SSHLogLine::Level level(std::string_view line);

} // namespace SSHLogParser

// What one attempt's ssh has reported so far, folded line by line as the connection does.
struct SSHAttemptProgress {
    bool sessionStarted = false;
    bool remoteForwardsConfirmed = false;
    int expectedRemoteForwards = 0;
    // The failure kept for the end of the attempt.
    std::optional<SSHFailure> firstFailure;

    // isConnected: whether the attempt already counts as connected when the line arrives. Before
    // that the first failure wins; afterwards the latest does, except failures of single channels
    // (lines beginning "channel "), which do not bring the tunnel down.
    void apply(const SSHLogSignal& signal, std::string_view line, bool isConnected);

    // The session is up and every requested remote forward has been accepted.
    bool isConfirmed() const {
        return sessionStarted && (expectedRemoteForwards == 0 || remoteForwardsConfirmed);
    }

    bool operator==(const SSHAttemptProgress&) const = default;
};

} // namespace tunnelkit

template <> struct std::hash<tunnelkit::SSHLogLine> {
    size_t operator()(const tunnelkit::SSHLogLine& line) const noexcept;
};
