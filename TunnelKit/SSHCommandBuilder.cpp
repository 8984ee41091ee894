#include "TunnelKit/SSHCommandBuilder.h"

#include "TunnelKit/SSHOption.h"
#include "TunnelKit/Text.h"

#include <algorithm>

namespace tunnelkit {

namespace ShellQuoting {

const std::set<char32_t>& shellSafeCharacters() {
    static const std::set<char32_t> safe = [] {
        std::set<char32_t> characters;
        for (char32_t c = U'a'; c <= U'z'; ++c) {
            characters.insert(c);
        }
        for (char32_t c = U'A'; c <= U'Z'; ++c) {
            characters.insert(c);
        }
        for (char32_t c = U'0'; c <= U'9'; ++c) {
            characters.insert(c);
        }
        for (char32_t c : std::u32string_view(U"_@%+=:,./-")) {
            characters.insert(c);
        }
        return characters;
    }();
    return safe;
}

bool needsQuoting(std::string_view word) {
    if (word.empty()) {
        return true;
    }
    const auto& safe = shellSafeCharacters();
    const auto points = text::toCodePoints(word);
    return std::any_of(points.begin(), points.end(), [&](char32_t c) { return !safe.contains(c); });
}

std::string quote(std::string_view word) {
    if (!needsQuoting(word)) {
        return std::string(word);
    }
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

} // namespace ShellQuoting

std::string homeExpanded(std::string_view path, const std::string& homeDirectory) {
    if (path == "~") {
        return homeDirectory;
    }
    if (text::startsWith(path, "~/")) {
        return homeDirectory + std::string(path.substr(1));
    }
    return std::string(path);
}

namespace {

void appendOption(std::vector<std::string>& words, std::string setting) {
    words.emplace_back("-o");
    words.push_back(std::move(setting));
}

void appendFixedOptions(std::vector<std::string>& words) {
    for (auto setting : SSHCommandBuilder::fixedOptions) {
        appendOption(words, std::string(setting));
    }
}

bool hasOptionNamed(const std::set<std::string>& lowercasedNames, std::string_view name) {
    return lowercasedNames.contains(text::lowercased(name));
}

} // namespace

SSHCommandBuilder::SSHCommandBuilder(std::string executable, bool usesConfigFiles, std::string homeDirectory)
    : executable(std::move(executable)), usesConfigFiles(usesConfigFiles),
      homeDirectory(std::move(homeDirectory)) {}

std::string SSHCommandBuilder::normalizedJumpHosts(std::string_view jumpHosts) {
    std::string joined;
    for (const auto& entry : text::split(jumpHosts, ',')) {
        auto host = text::trimBlanks(entry);
        if (host.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += ',';
        }
        joined += host;
    }
    return joined;
}

std::string SSHCommandBuilder::endpointArgument(const Endpoint& endpoint, bool expandingTilde) const {
    if (const auto* socket = endpoint.asSocket()) {
        return expandingTilde ? homeExpanded(socket->path, homeDirectory) : socket->path;
    }
    const auto& tcp = *endpoint.asTcp();
    const auto port = std::to_string(tcp.port);
    if (tcp.host.empty()) {
        return port;
    }
    if (tcp.host.find(':') != std::string::npos && !text::startsWith(tcp.host, "[")) {
        return "[" + tcp.host + "]:" + port;
    }
    return tcp.host + ":" + port;
}

std::vector<std::string> SSHCommandBuilder::forwardArguments(const Forward& forward) const {
    // The side that lies on this computer gets home expansion; the server's side is passed as typed.
    const auto pair = [&](bool listenIsLocal) {
        auto words = endpointArgument(forward.listen, listenIsLocal);
        if (forward.target) {
            words += ":" + endpointArgument(*forward.target, !listenIsLocal);
        }
        return words;
    };
    switch (forward.kind) {
    case Forward::Kind::local:
        return {"-L", pair(true)};
    case Forward::Kind::remote:
        return {"-R", pair(false)};
    case Forward::Kind::dynamic:
        return {"-D", endpointArgument(forward.listen, true)};
    case Forward::Kind::remoteDynamic:
        return {"-R", endpointArgument(forward.listen, false)};
    }
    return {};
}

namespace {

// The words after the configuration choice, shared by the arguments and the display command.
std::vector<std::string> tunnelWords(const SSHCommandBuilder& builder, const Tunnel& tunnel) {
    std::vector<std::string> words;
    std::set<std::string> ownOptions;
    for (const auto& option : tunnel.options) {
        ownOptions.insert(text::lowercased(option.name));
    }
    if (!hasOptionNamed(ownOptions, "ServerAliveInterval")) {
        appendOption(words, "ServerAliveInterval=" + std::to_string(SSHCommandBuilder::keepAliveInterval));
    }
    if (!hasOptionNamed(ownOptions, "ConnectTimeout")) {
        appendOption(words, "ConnectTimeout=" + std::to_string(SSHCommandBuilder::connectTimeout));
    }
    if (tunnel.port) {
        words.insert(words.end(), {"-p", std::to_string(*tunnel.port)});
    }
    if (!tunnel.user.empty()) {
        words.insert(words.end(), {"-l", tunnel.user});
    }
    if (tunnel.identityFile) {
        words.insert(words.end(), {"-i", homeExpanded(*tunnel.identityFile, builder.homeDirectory)});
    }
    if (tunnel.certificateFile) {
        appendOption(words, "CertificateFile=\"" +
                                homeExpanded(*tunnel.certificateFile, builder.homeDirectory) + "\"");
    }
    if (auto jumps = SSHCommandBuilder::normalizedJumpHosts(tunnel.jumpHosts); !jumps.empty()) {
        words.insert(words.end(), {"-J", std::move(jumps)});
    }
    for (const auto& option : tunnel.options) {
        const auto* known = SSHOptionCatalog::option(option.name);
        appendOption(words, (known ? known->name : option.name) + "=" + text::trimBlanks(option.value));
    }
    for (const auto& forward : tunnel.enabledForwards()) {
        auto pair = builder.forwardArguments(forward);
        words.insert(words.end(), pair.begin(), pair.end());
    }
    words.push_back(tunnel.host);
    return words;
}

std::vector<std::string> usersConfigurationChoice(const SSHCommandBuilder& builder) {
    if (builder.configFile) {
        return {"-F", *builder.configFile};
    }
    if (builder.usesConfigFiles) {
        return {};
    }
    return {"-F", "/dev/null"};
}

std::string joinedQuoted(const std::vector<std::string>& words) {
    std::string line;
    for (const auto& word : words) {
        if (!line.empty()) {
            line += ' ';
        }
        line += ShellQuoting::quote(word);
    }
    return line;
}

} // namespace

Result<SSHInvocation, SSHCommandError> SSHCommandBuilder::invocation(const Tunnel& tunnel) const {
    if (auto valid = validate(tunnel); !valid) {
        return Failure(valid.error());
    }
    const auto common = tunnelWords(*this, tunnel);
    const auto choice = usersConfigurationChoice(*this);

    std::vector<std::string> arguments{"-N", "-o", "LogLevel=DEBUG1"};
    appendFixedOptions(arguments);
    if (wrapperURL) {
        arguments.insert(arguments.end(), {"-F", *wrapperURL});
    } else {
        arguments.insert(arguments.end(), choice.begin(), choice.end());
    }
    arguments.insert(arguments.end(), common.begin(), common.end());

    // What the user copies runs on its own: it names the user's configuration, not the wrapper,
    // and leaves out the debug level that only the connection's log parser needs.
    std::vector<std::string> shown{executable, "-N"};
    appendFixedOptions(shown);
    shown.insert(shown.end(), choice.begin(), choice.end());
    shown.insert(shown.end(), common.begin(), common.end());

    return SSHInvocation{executable, std::move(arguments), joinedQuoted(shown)};
}

} // namespace tunnelkit
