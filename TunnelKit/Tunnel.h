#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Result.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tunnelkit {

struct TcpEndpoint {
    std::string host;
    int port = 0;
    bool operator==(const TcpEndpoint&) const = default;
};

struct SocketEndpoint {
    std::string path;
    bool operator==(const SocketEndpoint&) const = default;
};

// Where a forward listens or sends: a TCP address (an empty host means no bind address) or a
// Unix socket path.
struct Endpoint {
    using Tcp = TcpEndpoint;
    using Socket = SocketEndpoint;

    std::variant<Tcp, Socket> value;

    static Endpoint tcp(std::string host, int port) { return {Tcp{std::move(host), port}}; }
    static Endpoint socket(std::string path) { return {Socket{std::move(path)}}; }

    // "8080", ":8080", "host:8080", "[::1]:5432", "/path" or "~/path"; nothing when unusable.
    static std::optional<Endpoint> parse(std::string_view text);
    std::string displayText() const;

    const Tcp* asTcp() const { return std::get_if<Tcp>(&value); }
    const Socket* asSocket() const { return std::get_if<Socket>(&value); }

    bool operator==(const Endpoint&) const = default;
};

struct Forward {
    enum class Kind { local, remote, dynamic, remoteDynamic };
    static constexpr std::array<Kind, 4> allKinds{Kind::local, Kind::remote, Kind::dynamic,
                                                  Kind::remoteDynamic};

    Uuid id;
    Kind kind = Kind::local;
    bool isEnabled = true;
    Endpoint listen;
    std::optional<Endpoint> target;
    std::string note;

    // Keeps the target only for kinds that have one; decoding keeps whatever was stored.
    static Forward make(Uuid id, Kind kind, bool isEnabled, Endpoint listen, std::optional<Endpoint> target,
                        std::string note);

    bool operator==(const Forward&) const = default;
};

bool hasTarget(Forward::Kind kind);
bool listensLocally(Forward::Kind kind);
std::string_view rawValue(Forward::Kind kind);
std::optional<Forward::Kind> forwardKindFromRawValue(std::string_view raw);

// One extra ssh option of a tunnel, as the user typed it.
struct SSHOptionValue {
    Uuid id;
    std::string name;
    std::string value;
    bool operator==(const SSHOptionValue&) const = default;
};

// The one stored definition of a tunnel.
struct Tunnel {
    static constexpr int defaultRetryLimit = 999;

    Uuid id;
    std::string name;
    std::string host;
    std::optional<int> port;
    std::string user;
    std::optional<std::string> identityFile;
    std::optional<std::string> certificateFile;
    std::string jumpHosts;
    std::vector<Forward> forwards;
    std::vector<SSHOptionValue> options;
    std::vector<std::string> tags;
    std::string note;
    bool connectsAtLaunch = false;
    int retryLimit = defaultRetryLimit;
    bool isPinned = false;
    std::optional<std::string> logFile;
    Date createdAt;
    std::optional<Date> deletedAt;

    // A tunnel the system creates: a fresh id, empty fields, the default retry limit, created now.
    static Tunnel created(Date now = currentDate());

    std::vector<Forward> enabledForwards() const;
    bool isTrashed() const { return deletedAt.has_value(); }
    // user@host:port, the parts present.
    std::string destination() const;
    // Names, as typed, of the options that can make ssh run a program.
    std::vector<std::string> commandOptions() const;
    // Settings worth a warning before an import: weakened host-key checks, agent forwarding,
    // ports open to other machines.
    std::vector<std::string> riskySettings() const;
    // Texts trimmed, empty paths dropped, tags split at commas, deduplicated and sorted.
    Tunnel normalized() const;

    bool operator==(const Tunnel&) const = default;
};

// The one list order of the system: pinned first, then by name (or host when unnamed) in the
// localized standard order.
bool compareTunnelsForList(const Tunnel& first, const Tunnel& second);
// A stable sort by that order, each text collated once: for lists of many thousand tunnels.
void sortForList(std::vector<const Tunnel*>& tunnels);

namespace json {
// The records' JSON form; absent optional fields are left out.
void write(PrettyWriter& writer, const Endpoint& endpoint);
void write(PrettyWriter& writer, const Forward& forward);
void write(PrettyWriter& writer, const SSHOptionValue& option);
void write(PrettyWriter& writer, const Tunnel& tunnel);
void write(PrettyWriter& writer, const std::vector<Tunnel>& tunnels);

Endpoint decodeEndpoint(const Reader& reader);
Forward decodeForward(const Reader& reader);
SSHOptionValue decodeOption(const Reader& reader);
Tunnel decodeTunnel(const Reader& reader);
std::vector<Tunnel> decodeTunnels(const Reader& reader);
} // namespace json

Result<Tunnel, DecodingError> decodeTunnel(std::string_view bytes);

} // namespace tunnelkit
