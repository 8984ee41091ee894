#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Tunnel.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace tunnelkit {

struct SSHCommandBuilder;

// What ssh makes of one alias of the user's configuration.
struct ResolvedHost {
    std::string alias;
    std::string hostname;
    std::string user;
    int port = 22;
    std::optional<std::string> proxyJump;
    std::vector<Forward> forwards;

    // user@hostname:port, the user left out when empty and the port when it is 22.
    std::string destination() const;

    bool operator==(const ResolvedHost&) const = default;
};

// Asks ssh itself, with "ssh -G ALIAS", what an alias of the user's configuration stands for.
namespace SSHConfigResolver {

inline constexpr std::chrono::seconds defaultTimeout{5};

// The arguments after the program: "-G", the configuration choice of the builder, the alias.
std::vector<std::string> arguments(std::string_view alias, const SSHCommandBuilder& builder);

// Runs the builder's ssh with "-G" and blocks until it has ended or the time-out has stopped it.
// Nothing when the alias is refused (no process is started), ssh cannot be started, exits with
// a non-zero status or is stopped by the time-out. A stop request ends ssh at once with its
// process group, and one made before the call starts nothing.
std::optional<ResolvedHost> resolveBlocking(const std::string& alias, const SSHCommandBuilder& builder,
                                            std::chrono::milliseconds timeout = defaultTimeout,
                                            std::stop_token stop = {});

using Completion = std::function<void(std::optional<ResolvedHost>)>;

// resolveBlocking() on a thread of its own, so the caller's thread stays free. `completion` is
// called on that thread; a caller that lives on the main queue posts the result there.
void resolve(const std::string& alias, const SSHCommandBuilder& builder, std::chrono::milliseconds timeout,
             Completion completion, std::stop_token stop = {});

// Reads "ssh -G" output; never fails, unreadable forward lines are skipped.
ResolvedHost parse(std::string_view output, const std::string& alias);

} // namespace SSHConfigResolver

// The same text always gives the same identifier, across runs and processes.
Uuid stableUUID(std::string_view text);

} // namespace tunnelkit
