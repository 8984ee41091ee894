#include "TunnelKit/SSHOption.h"

#include "TunnelKit/Text.h"

#include <cstdlib>
#include <unordered_map>

namespace tunnelkit {

namespace {

using G = SSHOption::Group;
using O = SSHOption::Ownership;

const SSHOption::Kind yesNo = SSHOption::Choice{{"yes", "no"}};
const SSHOption::Kind integer = SSHOption::Integer{};
const SSHOption::Kind text = SSHOption::Text{};

SSHOption row(const char* name, G group, SSHOption::Kind kind = text, O owner = O::user, bool runs = false) {
    return SSHOption{name, group, std::move(kind), owner, runs};
}

SSHOption choice(const char* name, G group, std::vector<std::string> words, O owner = O::user) {
    return SSHOption{name, group, SSHOption::Choice{std::move(words)}, owner, false};
}

std::vector<SSHOption> makeTable() {
    return {
        // connection
        choice("AddressFamily", G::connection, {"any", "inet", "inet6"}),
        row("BindAddress", G::connection),
        row("BindInterface", G::connection),
        row("Compression", G::connection, yesNo),
        row("ConnectTimeout", G::connection, integer),
        row("ConnectionAttempts", G::connection, integer),
        row("IPQoS", G::connection),
        row("RekeyLimit", G::connection),
        row("SendEnv", G::connection),
        row("SetEnv", G::connection),
        row("VersionAddendum", G::connection),
        row("WarnWeakCrypto", G::connection),
        row("Tag", G::connection),
        row("Hostname", G::connection, text, O::field),
        row("Port", G::connection, integer, O::field),
        row("User", G::connection, text, O::field),
        row("LogLevel", G::connection, text, O::app),
        row("LogVerbose", G::connection),
        row("BatchMode", G::connection, yesNo, O::app),
        row("SessionType", G::connection, text, O::app),
        row("StdinNull", G::connection, text, O::app),
        row("RequestTTY", G::connection, text, O::app),
        row("ForkAfterAuthentication", G::connection, text, O::app),
        row("ControlMaster", G::connection, text, O::app),
        row("ControlPath", G::connection, text, O::app),
        row("ControlPersist", G::connection, text, O::app),
        row("EscapeChar", G::connection, text, O::app),
        row("EnableEscapeCommandline", G::connection, yesNo, O::app),
        // keepAlive
        row("ServerAliveInterval", G::keepAlive, integer),
        row("ServerAliveCountMax", G::keepAlive, integer),
        row("TCPKeepAlive", G::keepAlive, yesNo),
        row("ChannelTimeout", G::keepAlive),
        row("ObscureKeystrokeTiming", G::keepAlive),
        // forwarding
        row("GatewayPorts", G::forwarding, yesNo),
        row("PermitRemoteOpen", G::forwarding),
        row("StreamLocalBindMask", G::forwarding),
        row("StreamLocalBindUnlink", G::forwarding, yesNo),
        row("ForwardAgent", G::forwarding),
        row("ForwardX11", G::forwarding, yesNo, O::user, true),
        row("ForwardX11Timeout", G::forwarding),
        row("ForwardX11Trusted", G::forwarding, yesNo),
        row("XAuthLocation", G::forwarding, text, O::user, true),
        choice("Tunnel", G::forwarding, {"no", "yes", "point-to-point", "ethernet"}),
        row("TunnelDevice", G::forwarding),
        row("ExitOnForwardFailure", G::forwarding, yesNo, O::app),
        row("ClearAllForwardings", G::forwarding, yesNo, O::app),
        row("LocalForward", G::forwarding, text, O::app),
        row("RemoteForward", G::forwarding, text, O::app),
        row("DynamicForward", G::forwarding, text, O::app),
        // proxy
        row("ProxyJump", G::proxy, text, O::field),
        row("ProxyCommand", G::proxy, text, O::user, true),
        row("ProxyUseFdpass", G::proxy, yesNo),
        // hostKeys
        choice("StrictHostKeyChecking", G::hostKeys, {"ask", "accept-new", "yes", "no"}),
        row("UserKnownHostsFile", G::hostKeys),
        row("GlobalKnownHostsFile", G::hostKeys),
        row("KnownHostsCommand", G::hostKeys, text, O::user, true),
        row("HostKeyAlias", G::hostKeys),
        row("HashKnownHosts", G::hostKeys, yesNo),
        row("CheckHostIP", G::hostKeys, yesNo),
        choice("UpdateHostKeys", G::hostKeys, {"yes", "no", "ask"}),
        choice("VerifyHostKeyDNS", G::hostKeys, {"yes", "no", "ask"}),
        choice("FingerprintHash", G::hostKeys, {"sha256", "md5"}),
        row("VisualHostKey", G::hostKeys, yesNo),
        row("RevokedHostKeys", G::hostKeys),
        row("NoHostAuthenticationForLocalhost", G::hostKeys, yesNo),
        row("NoHostAuthenticationForProxyCommand", G::hostKeys, yesNo),
        // authentication
        row("IdentityFile", G::authentication),
        row("CertificateFile", G::authentication),
        row("IdentitiesOnly", G::authentication, yesNo),
        row("IdentityAgent", G::authentication),
        choice("AddKeysToAgent", G::authentication, {"no", "yes", "confirm", "ask"}),
        row("UseKeychain", G::authentication, yesNo),
        row("PreferredAuthentications", G::authentication),
        choice("PubkeyAuthentication", G::authentication, {"yes", "no", "unbound", "host-bound"}),
        row("PasswordAuthentication", G::authentication, yesNo),
        row("KbdInteractiveAuthentication", G::authentication, yesNo),
        row("KbdInteractiveDevices", G::authentication),
        row("NumberOfPasswordPrompts", G::authentication, integer),
        row("HostbasedAuthentication", G::authentication, yesNo),
        row("EnableSSHKeysign", G::authentication, yesNo),
        row("GSSAPIAuthentication", G::authentication, yesNo),
        row("GSSAPIDelegateCredentials", G::authentication, yesNo),
        row("PKCS11Provider", G::authentication, text, O::user, true),
        row("SecurityKeyProvider", G::authentication, text, O::user, true),
        row("RequiredRSASize", G::authentication, integer),
        // algorithms
        row("Ciphers", G::algorithms),
        row("MACs", G::algorithms),
        row("KexAlgorithms", G::algorithms),
        row("HostKeyAlgorithms", G::algorithms),
        row("PubkeyAcceptedAlgorithms", G::algorithms),
        row("HostbasedAcceptedAlgorithms", G::algorithms),
        row("CASignatureAlgorithms", G::algorithms),
        // canonicalization
        choice("CanonicalizeHostname", G::canonicalization, {"no", "yes", "always", "none"}),
        row("CanonicalDomains", G::canonicalization),
        row("CanonicalizeFallbackLocal", G::canonicalization, yesNo),
        row("CanonicalizeMaxDots", G::canonicalization, integer),
        row("CanonicalizePermittedCNAMEs", G::canonicalization),
        // commands
        row("LocalCommand", G::commands, text, O::user, true),
        row("PermitLocalCommand", G::commands, yesNo, O::user, true),
        row("RemoteCommand", G::commands, text, O::app),
        row("RefuseConnection", G::commands),
    };
}

const std::unordered_map<std::string, const SSHOption*>& optionsByName() {
    static const auto byName = [] {
        std::unordered_map<std::string, const SSHOption*> map;
        for (const auto& option : SSHOptionCatalog::all()) {
            if (!map.emplace(text::lowercased(option.name), &option).second) {
                std::abort(); // two rows with one name: the table itself is wrong
            }
        }
        return map;
    }();
    return byName;
}

constexpr std::array<std::string_view, 9> groupNames{"connection", "keepAlive",        "forwarding",
                                                     "proxy",      "hostKeys",         "authentication",
                                                     "algorithms", "canonicalization", "commands"};

} // namespace

std::string SSHOption::helpURL() const {
    return std::string(SSHOptionCatalog::manualBaseURL) + "ssh_config.5#" + name;
}

std::string_view rawValue(SSHOption::Group group) {
    return groupNames[static_cast<size_t>(group)];
}

std::optional<SSHOption::Group> groupFromRawValue(std::string_view raw) {
    for (size_t i = 0; i < groupNames.size(); ++i) {
        if (groupNames[i] == raw) {
            return static_cast<SSHOption::Group>(i);
        }
    }
    return std::nullopt;
}

namespace SSHOptionCatalog {

const std::vector<SSHOption>& all() {
    static const auto table = makeTable();
    return table;
}

const SSHOption* option(std::string_view name) {
    const auto& byName = optionsByName();
    const auto found = byName.find(text::lowercased(name));
    return found == byName.end() ? nullptr : found->second;
}

const std::vector<SSHOption>& userOptions() {
    static const auto users = [] {
        std::vector<SSHOption> rows;
        for (const auto& option : all()) {
            if (option.ownership == SSHOption::Ownership::user) {
                rows.push_back(option);
            }
        }
        return rows;
    }();
    return users;
}

const std::set<std::string>& repeatableOptions() {
    static const std::set<std::string> names{"identityfile", "certificatefile", "sendenv", "setenv"};
    return names;
}

} // namespace SSHOptionCatalog
} // namespace tunnelkit
