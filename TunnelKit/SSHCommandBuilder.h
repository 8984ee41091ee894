#pragma once

#include "TunnelKit/FileIO.h"
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Result.h"
#include "TunnelKit/Tunnel.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tunnelkit {

// Why a tunnel can't be turned into an ssh command: the first rule it breaks, with what broke it.
struct SSHCommandError {
    enum class ForwardProblem { port, host, socketPath, missingTarget, socketNotAllowed };
    enum class OptionProblem {
        unknown,
        setByApp,
        setByField,
        emptyValue,
        invalidCharacters,
        notAnInteger,
        duplicate
    };

    struct InvalidPort {
        int port = 0;
        bool operator==(const InvalidPort&) const = default;
    };
    struct InvalidFile {
        std::string path;
        bool operator==(const InvalidFile&) const = default;
    };
    struct InvalidForward {
        Uuid id;
        ForwardProblem problem = ForwardProblem::port;
        bool operator==(const InvalidForward&) const = default;
    };
    struct InvalidOption {
        std::string name;
        OptionProblem problem = OptionProblem::unknown;
        bool operator==(const InvalidOption&) const = default;
    };
    struct MissingHost {
        bool operator==(const MissingHost&) const = default;
    };
    struct InvalidHost {
        bool operator==(const InvalidHost&) const = default;
    };
    struct InvalidUser {
        bool operator==(const InvalidUser&) const = default;
    };
    struct InvalidJumpHosts {
        bool operator==(const InvalidJumpHosts&) const = default;
    };

    // The cases in the order of `value`'s alternatives.
    enum class Case {
        invalidPort,
        invalidFile,
        invalidForward,
        invalidOption,
        missingHost,
        invalidHost,
        invalidUser,
        invalidJumpHosts
    };

    std::variant<InvalidPort, InvalidFile, InvalidForward, InvalidOption, MissingHost, InvalidHost,
                 InvalidUser, InvalidJumpHosts>
        value;

    static SSHCommandError invalidPort(int port) { return {InvalidPort{port}}; }
    static SSHCommandError invalidFile(std::string path) { return {InvalidFile{std::move(path)}}; }
    static SSHCommandError invalidForward(Uuid id, ForwardProblem problem) {
        return {InvalidForward{id, problem}};
    }
    static SSHCommandError invalidOption(std::string name, OptionProblem problem) {
        return {InvalidOption{std::move(name), problem}};
    }
    static SSHCommandError missingHost() { return {MissingHost{}}; }
    static SSHCommandError invalidHost() { return {InvalidHost{}}; }
    static SSHCommandError invalidUser() { return {InvalidUser{}}; }
    static SSHCommandError invalidJumpHosts() { return {InvalidJumpHosts{}}; }

    Case kind() const { return static_cast<Case>(value.index()); }
    template <class Payload> const Payload* as() const { return std::get_if<Payload>(&value); }

    bool operator==(const SSHCommandError&) const = default;
};

// The case names as written in code ("invalidPort", "socketPath", "setByApp"), for logs and tests.
std::string_view rawValue(SSHCommandError::Case kind);
std::string_view rawValue(SSHCommandError::ForwardProblem problem);
std::string_view rawValue(SSHCommandError::OptionProblem problem);
// The case and its payload in one line, e.g. "invalidOption(LogLevel, setByApp)".
std::string describe(const SSHCommandError& error);

// One run of ssh: the program, the words passed to it, and the command line the user can copy.
struct SSHInvocation {
    std::string executable;
    std::vector<std::string> arguments;
    std::string displayCommand;
    bool operator==(const SSHInvocation&) const = default;
};

// Quoting for a POSIX shell.
namespace ShellQuoting {
// a-z, A-Z, 0-9 and _@%+=:,./- : the characters a shell never reads specially.
const std::set<char32_t>& shellSafeCharacters();
// True for the empty word and for any word with a character outside the shell-safe set.
bool needsQuoting(std::string_view word);
std::string quote(std::string_view word);
} // namespace ShellQuoting

// Turns tunnels into ssh invocations under the settings that hold for all tunnels.
struct SSHCommandBuilder {
    static constexpr const char* defaultExecutable = "/usr/bin/ssh";
    static constexpr int keepAliveInterval = 30;
    static constexpr int connectTimeout = 15;
    static constexpr const char* defaultSystemConfigFile = "/etc/ssh/ssh_config";
    // Passed to every ssh, each after "-o": ssh stays in the foreground with a connection of its own
    // and no remote command or terminal.
    static constexpr std::array<std::string_view, 9> fixedOptions{
        "ExitOnForwardFailure=yes", "ControlMaster=no",           "ControlPath=none",
        "ControlPersist=no",        "ForkAfterAuthentication=no", "BatchMode=no",
        "ClearAllForwardings=no",   "RemoteCommand=none",         "RequestTTY=no"};

    std::string executable;
    bool usesConfigFiles = true;
    std::optional<std::string> configFile;
    std::string systemConfigFile = defaultSystemConfigFile;
    // The file-system path of the wrapper configuration written before each connection.
    std::optional<std::string> wrapperURL;
    std::string homeDirectory;

    SSHCommandBuilder(std::string executable, bool usesConfigFiles, std::string homeDirectory);

    // Validates first and hands on the validation error unchanged; the tunnel is used as given.
    Result<SSHInvocation, SSHCommandError> invocation(const Tunnel& tunnel) const;

    // Split at commas, each host trimmed of blanks, empty ones dropped, joined by "," again.
    static std::string normalizedJumpHosts(std::string_view jumpHosts);
    std::vector<std::string> forwardArguments(const Forward& forward) const;
    std::string endpointArgument(const Endpoint& endpoint, bool expandingTilde) const;

    // The first rule the tunnel breaks, in a fixed order; reads none of the builder's fields.
    static Result<void, SSHCommandError> validate(const Tunnel& tunnel);
    // Not empty, no leading "-", no whitespace and no control character: ssh takes it as one word.
    static bool isValidHostToken(std::string_view text);
    static std::optional<SSHCommandError::ForwardProblem> endpointProblem(const Endpoint& endpoint,
                                                                          bool onListenSide);
    static std::optional<SSHCommandError::ForwardProblem> forwardProblem(const Forward& forward);

    // The fixed settings, then the includes of the configuration ssh would read otherwise: the
    // first value ssh obtains wins, so these hold for jump hosts too.
    std::string wrapperConfigText() const;
    // Replaces the file at `wrapperURL` atomically, mode 0600 from the start; nothing without one.
    Result<void, FileError> writeWrapperConfig() const;

    bool operator==(const SSHCommandBuilder&) const = default;
};

// "~" and a leading "~/" name the home folder; "~user/..." and everything else stay as written.
std::string homeExpanded(std::string_view path, const std::string& homeDirectory);

// Any character of Unicode's categories Cc or Cf (line breaks and tab included).
bool containsControlCharacters(std::string_view text);
// A host token, optionally inside "[" and "]", without "/".
bool isValidHostName(std::string_view text);

} // namespace tunnelkit
