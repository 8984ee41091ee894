#include "TunnelKit/SessionInfo.h"

namespace tunnelkit {

namespace {

// "NAME [ADDRESS] port PORT." gives ADDRESS:PORT, or [ADDRESS]:PORT for IPv6.
std::optional<std::string> connectedAddress(std::string_view rest) {
    constexpr std::string_view portMarker = " port ";
    auto open = rest.find('[');
    auto close = rest.find(']');
    auto portAt = rest.find(portMarker);
    if (open == std::string_view::npos || close == std::string_view::npos || open > close ||
        portAt == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view port = rest.substr(portAt + portMarker.size());
    while (port.starts_with('.')) {
        port.remove_prefix(1);
    }
    while (port.ends_with('.')) {
        port.remove_suffix(1);
    }
    std::string_view host = rest.substr(open + 1, close - open - 1);
    std::string address =
        host.find(':') == std::string_view::npos ? std::string(host) : "[" + std::string(host) + "]";
    return address + ":" + std::string(port);
}

// "CIPHER MAC: MAC compression: C" gives "CIPHER + MAC", or CIPHER alone for "<implicit>".
std::string cipherText(std::string_view rest) {
    constexpr std::string_view macMarker = " MAC: ";
    auto macAt = rest.find(macMarker);
    if (macAt == std::string_view::npos) {
        return std::string(rest);
    }
    std::string_view cipher = rest.substr(0, macAt);
    std::string_view mac = rest.substr(macAt + macMarker.size());
    mac = mac.substr(0, mac.find(" compression:"));
    if (mac == "<implicit>") {
        return std::string(cipher);
    }
    return std::string(cipher) + " + " + std::string(mac);
}

std::optional<std::string> textAfter(std::string_view rest, std::string_view marker) {
    auto at = rest.find(marker);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(rest.substr(at + marker.size()));
}

// 'Authenticated to HOST ([ADDRESS]:PORT) using "METHOD".' gives METHOD.
std::optional<std::string> quotedMethod(std::string_view rest) {
    constexpr std::string_view marker = "using \"";
    auto at = rest.find(marker);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view method = rest.substr(at + marker.size());
    auto closing = method.find('"');
    if (closing == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(method.substr(0, closing));
}

} // namespace

void SessionInfo::update(std::string_view line) {
    using Reader = std::optional<std::string> (*)(std::string_view rest);
    struct Rule {
        std::string_view prefix;
        std::optional<std::string> SessionInfo::*field;
        Reader read;
    };
    static constexpr Rule rules[] = {
        {"debug1: Connecting to ", &SessionInfo::address, connectedAddress},
        {"debug1: Remote protocol version ", &SessionInfo::serverSoftware,
         [](std::string_view rest) { return textAfter(rest, "remote software version "); }},
        {"debug1: kex: algorithm: ", &SessionInfo::keyExchange,
         [](std::string_view rest) { return std::optional(std::string(rest)); }},
        {"debug1: kex: host key algorithm: ", &SessionInfo::hostKeyAlgorithm,
         [](std::string_view rest) { return std::optional(std::string(rest)); }},
        {"debug1: kex: client->server cipher: ", &SessionInfo::cipherToServer,
         [](std::string_view rest) { return std::optional(cipherText(rest)); }},
        {"debug1: kex: server->client cipher: ", &SessionInfo::cipherFromServer,
         [](std::string_view rest) { return std::optional(cipherText(rest)); }},
        {"debug1: Server host key: ", &SessionInfo::hostKey,
         [](std::string_view rest) { return std::optional(std::string(rest)); }},
        {"Authenticated to ", &SessionInfo::authentication, quotedMethod},
    };
    for (const auto& rule : rules) {
        if (line.starts_with(rule.prefix)) {
            if (auto value = rule.read(line.substr(rule.prefix.size()))) {
                this->*rule.field = std::move(*value);
            }
            return;
        }
    }
}

bool SessionInfo::isEmpty() const {
    return !address && !serverSoftware && !authentication && !keyExchange && !hostKeyAlgorithm && !hostKey &&
           !cipherToServer && !cipherFromServer;
}

bool SessionInfo::isPostQuantum() const {
    return keyExchange && (keyExchange->find("mlkem") != std::string::npos ||
                           keyExchange->find("sntrup") != std::string::npos);
}

} // namespace tunnelkit
