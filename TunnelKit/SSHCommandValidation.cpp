#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHOption.h"
#include "TunnelKit/Text.h"

#include <charconv>
#include <cstdint>

namespace tunnelkit {

using ForwardProblem = SSHCommandError::ForwardProblem;
using OptionProblem = SSHCommandError::OptionProblem;

static_assert(std::variant_size_v<decltype(SSHCommandError::value)> == 8,
              "one alternative per SSHCommandError::Case");

namespace {

bool isPortInRange(int port) {
    return port >= 1 && port <= 65535;
}

bool containsWhitespace(std::string_view text) {
    return text::containsAny(text, text::isWhitespace);
}

// An optional sign, then at least one digit, within a signed 64-bit integer.
bool isDecimalInteger(std::string_view value) {
    std::string_view digits = value;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto number = value.front() == '+' ? digits : value;
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    return error == std::errc() && end == number.data() + number.size();
}

std::optional<SSHCommandError> fileProblem(const Tunnel& tunnel) {
    for (const auto* path : {&tunnel.identityFile, &tunnel.certificateFile}) {
        if (*path && containsControlCharacters(**path)) {
            return SSHCommandError::invalidFile(**path);
        }
    }
    // The certificate travels inside double quotes in one "-o" word, where ssh reads a backslash
    // as an escape: a path ending in one would leave the quote open.
    if (const auto& certificate = tunnel.certificateFile;
        certificate && certificate->find_first_of("\"\\") != std::string::npos) {
        return SSHCommandError::invalidFile(*certificate);
    }
    return std::nullopt;
}

std::optional<OptionProblem> ownershipProblem(SSHOption::Ownership ownership) {
    switch (ownership) {
    case SSHOption::Ownership::field:
        return OptionProblem::setByField;
    case SSHOption::Ownership::app:
        return OptionProblem::setByApp;
    case SSHOption::Ownership::user:
        break;
    }
    return std::nullopt;
}

std::optional<OptionProblem> valueProblem(const SSHOption& option, std::string_view typedValue) {
    const auto value = text::trimBlanks(typedValue);
    if (value.empty()) {
        return OptionProblem::emptyValue;
    }
    if (containsControlCharacters(value)) {
        return OptionProblem::invalidCharacters;
    }
    if (std::holds_alternative<SSHOption::Integer>(option.kind) && !isDecimalInteger(value)) {
        return OptionProblem::notAnInteger;
    }
    return std::nullopt;
}

std::optional<SSHCommandError> optionProblem(const Tunnel& tunnel) {
    std::set<std::string> seen;
    for (const auto& typed : tunnel.options) {
        const auto* option = SSHOptionCatalog::option(typed.name);
        if (!option) {
            return SSHCommandError::invalidOption(typed.name, OptionProblem::unknown);
        }
        auto problem = ownershipProblem(option->ownership);
        if (!problem) {
            problem = valueProblem(*option, typed.value);
        }
        if (!problem) {
            auto name = text::lowercased(typed.name);
            if (!SSHOptionCatalog::repeatableOptions().contains(name) &&
                !seen.insert(std::move(name)).second) {
                problem = OptionProblem::duplicate;
            }
        }
        if (problem) {
            return SSHCommandError::invalidOption(option->name, *problem);
        }
    }
    return std::nullopt;
}

std::optional<SSHCommandError> firstProblem(const Tunnel& tunnel) {
    if (tunnel.host.empty()) {
        return SSHCommandError::missingHost();
    }
    if (!SSHCommandBuilder::isValidHostToken(tunnel.host)) {
        return SSHCommandError::invalidHost();
    }
    if (!tunnel.user.empty() && (tunnel.user.front() == '-' || containsControlCharacters(tunnel.user))) {
        return SSHCommandError::invalidUser();
    }
    if (tunnel.port && !isPortInRange(*tunnel.port)) {
        return SSHCommandError::invalidPort(*tunnel.port);
    }
    if (const auto jumps = SSHCommandBuilder::normalizedJumpHosts(tunnel.jumpHosts);
        !jumps.empty() && !SSHCommandBuilder::isValidHostToken(jumps)) {
        return SSHCommandError::invalidJumpHosts();
    }
    if (auto problem = fileProblem(tunnel)) {
        return problem;
    }
    for (const auto& forward : tunnel.enabledForwards()) {
        if (auto problem = SSHCommandBuilder::forwardProblem(forward)) {
            return SSHCommandError::invalidForward(forward.id, *problem);
        }
    }
    return optionProblem(tunnel);
}

} // namespace

bool containsControlCharacters(std::string_view text) {
    return text::containsAny(text, text::isControl);
}

bool SSHCommandBuilder::isValidHostToken(std::string_view text) {
    return !text.empty() && text.front() != '-' && !containsWhitespace(text) &&
           !containsControlCharacters(text);
}

bool isValidHostName(std::string_view text) {
    if (text::startsWith(text, "[") && text::endsWith(text, "]")) {
        text = text.substr(1, text.size() - 2);
    }
    return SSHCommandBuilder::isValidHostToken(text) && text.find('/') == std::string_view::npos;
}

namespace {

// A bracket or a leading "~" in a TCP host would not come back from the endpoint's text: the host
// "::1]" prints as "[::1]]:542", which no longer reads, and "~@" as "~@:6", which reads as a socket.
bool readsBackFromItsText(std::string_view host) {
    return host.find_first_of("[]") == std::string_view::npos && !text::startsWith(host, "~");
}

} // namespace

std::optional<ForwardProblem> SSHCommandBuilder::endpointProblem(const Endpoint& endpoint,
                                                                 bool onListenSide) {
    if (const auto* socket = endpoint.asSocket()) {
        const auto& path = socket->path;
        const bool isAnchored = text::startsWith(path, "/") || text::startsWith(path, "~/");
        if (!isAnchored || path.find(':') != std::string::npos || containsWhitespace(path) ||
            containsControlCharacters(path)) {
            return ForwardProblem::socketPath;
        }
        return std::nullopt;
    }
    const auto& tcp = *endpoint.asTcp();
    if (!isPortInRange(tcp.port)) {
        return ForwardProblem::port;
    }
    if (tcp.host.empty() ? !onListenSide : !isValidHostName(tcp.host) || !readsBackFromItsText(tcp.host)) {
        return ForwardProblem::host;
    }
    return std::nullopt;
}

std::optional<ForwardProblem> SSHCommandBuilder::forwardProblem(const Forward& forward) {
    if (!hasTarget(forward.kind)) {
        // A SOCKS proxy listens on a port; what it reaches is chosen per connection.
        if (forward.listen.asSocket()) {
            return ForwardProblem::socketNotAllowed;
        }
        return endpointProblem(forward.listen, true);
    }
    if (auto problem = endpointProblem(forward.listen, true)) {
        return problem;
    }
    if (!forward.target) {
        return ForwardProblem::missingTarget;
    }
    return endpointProblem(*forward.target, false);
}

Result<void, SSHCommandError> SSHCommandBuilder::validate(const Tunnel& tunnel) {
    if (auto problem = firstProblem(tunnel)) {
        return Failure(std::move(*problem));
    }
    return {};
}

std::string_view rawValue(SSHCommandError::Case kind) {
    using C = SSHCommandError::Case;
    switch (kind) {
    case C::invalidPort:
        return "invalidPort";
    case C::invalidFile:
        return "invalidFile";
    case C::invalidForward:
        return "invalidForward";
    case C::invalidOption:
        return "invalidOption";
    case C::missingHost:
        return "missingHost";
    case C::invalidHost:
        return "invalidHost";
    case C::invalidUser:
        return "invalidUser";
    case C::invalidJumpHosts:
        return "invalidJumpHosts";
    }
    return "";
}

std::string_view rawValue(ForwardProblem problem) {
    switch (problem) {
    case ForwardProblem::port:
        return "port";
    case ForwardProblem::host:
        return "host";
    case ForwardProblem::socketPath:
        return "socketPath";
    case ForwardProblem::missingTarget:
        return "missingTarget";
    case ForwardProblem::socketNotAllowed:
        return "socketNotAllowed";
    }
    return "";
}

std::string_view rawValue(OptionProblem problem) {
    switch (problem) {
    case OptionProblem::unknown:
        return "unknown";
    case OptionProblem::setByApp:
        return "setByApp";
    case OptionProblem::setByField:
        return "setByField";
    case OptionProblem::emptyValue:
        return "emptyValue";
    case OptionProblem::invalidCharacters:
        return "invalidCharacters";
    case OptionProblem::notAnInteger:
        return "notAnInteger";
    case OptionProblem::duplicate:
        return "duplicate";
    }
    return "";
}

std::string describe(const SSHCommandError& error) {
    std::string text(rawValue(error.kind()));
    if (const auto* port = error.as<SSHCommandError::InvalidPort>()) {
        text += "(" + std::to_string(port->port) + ")";
    } else if (const auto* file = error.as<SSHCommandError::InvalidFile>()) {
        text += "(" + file->path + ")";
    } else if (const auto* forward = error.as<SSHCommandError::InvalidForward>()) {
        text += "(" + forward->id.toString() + ", " + std::string(rawValue(forward->problem)) + ")";
    } else if (const auto* option = error.as<SSHCommandError::InvalidOption>()) {
        text += "(" + option->name + ", " + std::string(rawValue(option->problem)) + ")";
    }
    return text;
}

} // namespace tunnelkit
