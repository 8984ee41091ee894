#include "SSHCommandErrorPrinting.h"
#include "TunnelKit/SSHCommandBuilder.h"

#include <gtest/gtest.h>
#include <random>

using namespace tunnelkit;

namespace {

using FP = SSHCommandError::ForwardProblem;
using OP = SSHCommandError::OptionProblem;

Tunnel tunnelTo(std::string host) {
    Tunnel tunnel = Tunnel::created();
    tunnel.host = std::move(host);
    return tunnel;
}

std::optional<SSHCommandError> problemOf(const Tunnel& tunnel) {
    auto valid = SSHCommandBuilder::validate(tunnel);
    return valid ? std::nullopt : std::optional(valid.error());
}

Forward forward(Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt,
                bool isEnabled = true) {
    return Forward{Uuid::random(), kind, isEnabled, std::move(listen), std::move(target), ""};
}

std::optional<SSHCommandError> problemOf(const Forward& forward) {
    Tunnel tunnel = tunnelTo("bastion");
    tunnel.forwards.push_back(forward);
    return problemOf(tunnel);
}

std::optional<SSHCommandError> problemOfOptions(std::vector<std::pair<std::string, std::string>> options) {
    Tunnel tunnel = tunnelTo("bastion");
    for (auto& [name, value] : options) {
        tunnel.options.push_back({Uuid::random(), name, value});
    }
    return problemOf(tunnel);
}

} // namespace

TEST(TunnelValidation, HostIsOneWordAsStored) {
    EXPECT_EQ(problemOf(tunnelTo("")), SSHCommandError::missingHost());
    EXPECT_EQ(problemOf(tunnelTo("-oProxyCommand=x")), SSHCommandError::invalidHost());
    EXPECT_EQ(problemOf(tunnelTo("web server")), SSHCommandError::invalidHost());
    EXPECT_EQ(problemOf(tunnelTo(" bastion")), SSHCommandError::invalidHost()) << "nothing is trimmed";
    EXPECT_EQ(problemOf(tunnelTo("bastion\n")), SSHCommandError::invalidHost());
    EXPECT_EQ(problemOf(tunnelTo("a\u00A0b")), SSHCommandError::invalidHost())
        << "a no-break space is whitespace";
    EXPECT_EQ(problemOf(tunnelTo("a\u200Bb")), SSHCommandError::invalidHost()) << "a format character";
    EXPECT_EQ(problemOf(tunnelTo("[::1]")), std::nullopt);
    EXPECT_EQ(problemOf(tunnelTo("alice@bastion.example.org")), std::nullopt);
}

TEST(TunnelValidation, UserMayHoldBlanksButNoLeadingDashOrControls) {
    auto tunnel = tunnelTo("bastion");
    tunnel.user = "-oProxyCommand=x";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidUser());
    tunnel.user = "alice\nbob";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidUser());
    tunnel.user = "alice\u200E";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidUser());
    tunnel.user = "Alice Smith";
    EXPECT_EQ(problemOf(tunnel), std::nullopt);
    tunnel.user = "a-lice";
    EXPECT_EQ(problemOf(tunnel), std::nullopt);
}

TEST(TunnelValidation, PortOutsideTheRangeCarriesTheNumber) {
    auto tunnel = tunnelTo("bastion");
    for (int bad : {0, 65536, -22}) {
        tunnel.port = bad;
        EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidPort(bad));
    }
    for (int good : {1, 22, 65535}) {
        tunnel.port = good;
        EXPECT_EQ(problemOf(tunnel), std::nullopt) << good;
    }
    tunnel.port.reset();
    EXPECT_EQ(problemOf(tunnel), std::nullopt);
}

TEST(TunnelValidation, JumpHostsAreCheckedAfterNormalizing) {
    auto withJumps = [](std::string jumps) {
        auto tunnel = tunnelTo("bastion");
        tunnel.jumpHosts = std::move(jumps);
        return problemOf(tunnel);
    };
    EXPECT_EQ(withJumps(" a , b\t"), std::nullopt);
    EXPECT_EQ(withJumps(",, ,"), std::nullopt) << "normalized to nothing";
    EXPECT_EQ(withJumps("jump one,b"), SSHCommandError::invalidJumpHosts());
    EXPECT_EQ(withJumps("a\nb"), SSHCommandError::invalidJumpHosts()) << "line breaks are not trimmed";
    EXPECT_EQ(withJumps(" -a,b"), SSHCommandError::invalidJumpHosts());
    EXPECT_EQ(withJumps("a,-b"), std::nullopt) << "only a dash at the very start of the whole text counts";
}

TEST(TunnelValidation, KeyAndCertificatePaths) {
    auto tunnel = tunnelTo("bastion");
    tunnel.identityFile = "~/.ssh/my\"key";
    tunnel.certificateFile = "~/.ssh/my\\cert";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidFile("~/.ssh/my\\cert"))
        << "a backslash would escape inside the certificate's double quotes";

    tunnel.certificateFile = "/k/c\"ert.pub";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidFile("/k/c\"ert.pub"));

    tunnel.certificateFile = "/k/c.pub\\";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidFile("/k/c.pub\\"));

    tunnel.certificateFile = "/k/c.pub";
    EXPECT_EQ(problemOf(tunnel), std::nullopt) << "a double quote in the key path is fine";
    tunnel.identityFile = "C:\\keys\\id";
    EXPECT_EQ(problemOf(tunnel), std::nullopt) << "so is a backslash";

    tunnel.identityFile = "/k/id\r";
    tunnel.certificateFile = "/k/c\tpub";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidFile("/k/id\r")) << "the key is checked first";
    tunnel.identityFile = "/k/id";
    EXPECT_EQ(problemOf(tunnel), SSHCommandError::invalidFile("/k/c\tpub"));
}

TEST(TunnelValidation, LocalAndRemoteForwardEndpoints) {
    const auto local = [](Endpoint listen, std::optional<Endpoint> target) {
        return forward(Forward::Kind::local, std::move(listen), std::move(target));
    };
    auto f = local(Endpoint::tcp("", 8080), Endpoint::tcp("db.internal", 80));
    EXPECT_EQ(problemOf(f), std::nullopt);

    f = local(Endpoint::tcp("", 8080), Endpoint::tcp("", 80));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host)) << "a target needs a host";

    f = local(Endpoint::tcp("", 0), Endpoint::tcp("db", 80));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::port));
    f = local(Endpoint::tcp("", 80), Endpoint::tcp("db", 65536));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::port));
    f = local(Endpoint::tcp("-b", 80), Endpoint::tcp("db", 80));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host));
    f = local(Endpoint::tcp("", 80), Endpoint::tcp("db/x", 80));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host));
    f = local(Endpoint::tcp("::1", 80), Endpoint::tcp("fe80::1", 80));
    EXPECT_EQ(problemOf(f), std::nullopt) << "addresses are stored bare";
    // Hosts that would not read back from the endpoint's own text.
    for (const char* host : {"[::1]", "::1]", "a[b", "~@", "~"}) {
        f = local(Endpoint::tcp("", 80), Endpoint::tcp(host, 80));
        EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host)) << host;
        f = forward(Forward::Kind::dynamic, Endpoint::tcp(host, 1080));
        EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host)) << host;
    }

    f = forward(Forward::Kind::remote, Endpoint::tcp("", 8080));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::missingTarget));
    f = forward(Forward::Kind::remote, Endpoint::tcp("", 0));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::port))
        << "the listen side is checked first";
    EXPECT_EQ(problemOf(forward(Forward::Kind::remote, Endpoint::tcp("", 8080), std::nullopt, false)),
              std::nullopt)
        << "disabled forwards are not checked";
}

TEST(TunnelValidation, SocketPaths) {
    const auto socketProblem = [](std::string path) {
        return SSHCommandBuilder::endpointProblem(Endpoint::socket(std::move(path)), true);
    };
    EXPECT_EQ(socketProblem("/var/run/db.sock"), std::nullopt);
    EXPECT_EQ(socketProblem("~/run/db.sock"), std::nullopt);
    EXPECT_EQ(socketProblem("run/db.sock"), FP::socketPath);
    EXPECT_EQ(socketProblem("~run/db.sock"), FP::socketPath);
    EXPECT_EQ(socketProblem("/run/db:1.sock"), FP::socketPath);
    EXPECT_EQ(socketProblem("/run/my db.sock"), FP::socketPath);
    EXPECT_EQ(socketProblem("/run/db.sock\x7f"), FP::socketPath);

    auto f = forward(Forward::Kind::local, Endpoint::socket("~/db.sock"), Endpoint::socket("db.sock"));
    EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::socketPath));
}

TEST(TunnelValidation, SocksProxiesListenOnPortsAndIgnoreTheirTarget) {
    for (auto kind : {Forward::Kind::dynamic, Forward::Kind::remoteDynamic}) {
        auto f = forward(kind, Endpoint::socket("/run/socks"));
        EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::socketNotAllowed));
        f = forward(kind, Endpoint::tcp("", 70000));
        EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::port));
        f = forward(kind, Endpoint::tcp("lo cal", 1080));
        EXPECT_EQ(problemOf(f), SSHCommandError::invalidForward(f.id, FP::host));
        EXPECT_EQ(problemOf(forward(kind, Endpoint::tcp("", 1080), Endpoint::socket("bad"))), std::nullopt);
        EXPECT_EQ(problemOf(forward(kind, Endpoint::tcp("127.0.0.1", 1080))), std::nullopt);
    }
}

TEST(TunnelValidation, EndpointRuleDependsOnTheSide) {
    EXPECT_EQ(SSHCommandBuilder::endpointProblem(Endpoint::tcp("", 1), true), std::nullopt);
    EXPECT_EQ(SSHCommandBuilder::endpointProblem(Endpoint::tcp("", 1), false), FP::host);
    EXPECT_EQ(SSHCommandBuilder::endpointProblem(Endpoint::tcp("[]", 1), true), FP::host)
        << "brackets around nothing are not a host";
}

TEST(TunnelValidation, OptionsMustBeKnownAndUserSettable) {
    EXPECT_EQ(problemOfOptions({{"NoSuchThing", "1"}}),
              SSHCommandError::invalidOption("NoSuchThing", OP::unknown));
    EXPECT_EQ(problemOfOptions({{" Compression", "yes"}}),
              SSHCommandError::invalidOption(" Compression", OP::unknown))
        << "the name is not trimmed and is reported as typed";
    EXPECT_EQ(problemOfOptions({{"hostname", "x"}}),
              SSHCommandError::invalidOption("Hostname", OP::setByField));
    EXPECT_EQ(problemOfOptions({{"proxyjump", "x"}}),
              SSHCommandError::invalidOption("ProxyJump", OP::setByField));
    EXPECT_EQ(problemOfOptions({{"LogLevel", "QUIET"}}),
              SSHCommandError::invalidOption("LogLevel", OP::setByApp));
    EXPECT_EQ(problemOfOptions({{"LOGLEVEL", ""}}), SSHCommandError::invalidOption("LogLevel", OP::setByApp))
        << "ownership is checked before the value";
}

TEST(TunnelValidation, OptionValues) {
    const auto keepAlive = [](std::string value) {
        return problemOfOptions({{"serveraliveinterval", value}});
    };
    const auto error = [](OP problem) {
        return SSHCommandError::invalidOption("ServerAliveInterval", problem);
    };
    EXPECT_EQ(keepAlive(" \t\u3000"), error(OP::emptyValue));
    EXPECT_EQ(keepAlive("30s"), error(OP::notAnInteger));
    EXPECT_EQ(keepAlive("+"), error(OP::notAnInteger));
    EXPECT_EQ(keepAlive("3 0"), error(OP::notAnInteger));
    EXPECT_EQ(keepAlive("\u0663\u0660"), error(OP::notAnInteger)) << "only the digits 0 to 9";
    EXPECT_EQ(keepAlive("9223372036854775808"), error(OP::notAnInteger)) << "beyond 64 bits";
    EXPECT_EQ(keepAlive("30\n"), error(OP::invalidCharacters)) << "line breaks are not trimmed";
    EXPECT_EQ(keepAlive("+30"), std::nullopt);
    EXPECT_EQ(keepAlive("\t30 "), std::nullopt);
    EXPECT_EQ(keepAlive("-9223372036854775808"), std::nullopt);
    EXPECT_EQ(keepAlive("+9223372036854775807"), std::nullopt);

    EXPECT_EQ(problemOfOptions({{"SendEnv", "LANG\nLC_ALL"}}),
              SSHCommandError::invalidOption("SendEnv", OP::invalidCharacters));
    EXPECT_EQ(problemOfOptions({{"Compression", "maybe"}}), std::nullopt) << "choices are not checked";
}

TEST(TunnelValidation, OptionsSetOnceUnlessRepeatable) {
    EXPECT_EQ(problemOfOptions({{"IdentityFile", "~/a"}, {"identityfile", "~/b"}}), std::nullopt);
    EXPECT_EQ(problemOfOptions({{"Compression", "yes"}, {"compression", "no"}}),
              SSHCommandError::invalidOption("Compression", OP::duplicate));
    EXPECT_EQ(problemOfOptions({{"Compression", "yes"}, {"Compression", " "}}),
              SSHCommandError::invalidOption("Compression", OP::emptyValue))
        << "a value problem of the second comes before its repetition";
    EXPECT_EQ(problemOfOptions({{"Compression", "yes"}, {"Bogus", "1"}, {"Compression", "no"}}),
              SSHCommandError::invalidOption("Bogus", OP::unknown));
}

TEST(TunnelValidation, ReportsOnlyTheFirstProblemInRuleOrder) {
    auto tunnel = tunnelTo("bad host");
    tunnel.user = "-u";
    tunnel.port = 0;
    tunnel.jumpHosts = "a b";
    tunnel.identityFile = "/k\n";
    auto broken = forward(Forward::Kind::local, Endpoint::tcp("", 8080));
    auto alsoBroken = forward(Forward::Kind::dynamic, Endpoint::socket("/s"));
    tunnel.forwards = {forward(Forward::Kind::remote, Endpoint::tcp("", 1), std::nullopt, false), broken,
                       alsoBroken};
    tunnel.options = {{Uuid::random(), "LogLevel", "INFO"}, {Uuid::random(), "Bogus", "1"}};
    const auto original = tunnel;

    const std::vector<std::pair<SSHCommandError, std::function<void(Tunnel&)>>> steps{
        {SSHCommandError::invalidHost(), [](Tunnel& t) { t.host = "bastion"; }},
        {SSHCommandError::invalidUser(), [](Tunnel& t) { t.user = ""; }},
        {SSHCommandError::invalidPort(0), [](Tunnel& t) { t.port.reset(); }},
        {SSHCommandError::invalidJumpHosts(), [](Tunnel& t) { t.jumpHosts = ""; }},
        {SSHCommandError::invalidFile("/k\n"), [](Tunnel& t) { t.identityFile.reset(); }},
        {SSHCommandError::invalidForward(broken.id, FP::missingTarget),
         [](Tunnel& t) { t.forwards.erase(t.forwards.begin() + 1); }},
        {SSHCommandError::invalidForward(alsoBroken.id, FP::socketNotAllowed),
         [](Tunnel& t) { t.forwards.pop_back(); }},
        {SSHCommandError::invalidOption("LogLevel", OP::setByApp),
         [](Tunnel& t) { t.options.erase(t.options.begin()); }},
        {SSHCommandError::invalidOption("Bogus", OP::unknown), [](Tunnel& t) { t.options.clear(); }},
    };
    for (const auto& [expected, mend] : steps) {
        const auto before = tunnel;
        EXPECT_EQ(problemOf(tunnel), expected);
        EXPECT_EQ(tunnel, before) << "validation changes nothing";
        mend(tunnel);
    }
    EXPECT_EQ(problemOf(tunnel), std::nullopt);
    EXPECT_EQ(problemOf(original), SSHCommandError::invalidHost());
}

TEST(TunnelValidation, ErrorCasesCanBeNamedAndRead) {
    const auto id = Uuid::random();
    const auto error = SSHCommandError::invalidForward(id, FP::socketPath);
    EXPECT_EQ(error.kind(), SSHCommandError::Case::invalidForward);
    EXPECT_EQ(rawValue(error.kind()), "invalidForward");
    ASSERT_NE(error.as<SSHCommandError::InvalidForward>(), nullptr);
    EXPECT_EQ(error.as<SSHCommandError::InvalidForward>()->id, id);
    EXPECT_EQ(error.as<SSHCommandError::InvalidOption>(), nullptr);
    EXPECT_EQ(describe(SSHCommandError::invalidOption("LogLevel", OP::setByApp)),
              "invalidOption(LogLevel, setByApp)");
    EXPECT_EQ(describe(SSHCommandError::invalidPort(0)), "invalidPort(0)");
    EXPECT_EQ(SSHCommandError::missingHost().kind(), SSHCommandError::Case::missingHost);
    EXPECT_EQ(SSHCommandError::invalidJumpHosts().kind(), SSHCommandError::Case::invalidJumpHosts);
    EXPECT_NE(SSHCommandError::invalidPort(0), SSHCommandError::invalidPort(1));
    EXPECT_NE(SSHCommandError::invalidHost(), SSHCommandError::invalidUser());
}

TEST(HostRules, TokensAndNames) {
    EXPECT_TRUE(SSHCommandBuilder::isValidHostToken("a,b"));
    EXPECT_FALSE(SSHCommandBuilder::isValidHostToken(""));
    EXPECT_FALSE(SSHCommandBuilder::isValidHostToken("-"));
    EXPECT_FALSE(SSHCommandBuilder::isValidHostToken("a\u2028b"));
    EXPECT_TRUE(SSHCommandBuilder::isValidHostToken("a/b")) << "a slash is only refused in host names";
    EXPECT_TRUE(isValidHostName("[fe80::1%en0]"));
    EXPECT_FALSE(isValidHostName("[-x]")) << "the rule applies inside the brackets";
    EXPECT_FALSE(isValidHostName("a/b"));
    EXPECT_TRUE(isValidHostName("[::1"));
    EXPECT_TRUE(containsControlCharacters("a\tb"));
    EXPECT_TRUE(containsControlCharacters("\u00AD")) << "soft hyphen, a format character";
    EXPECT_FALSE(containsControlCharacters("caf\u00E9 \u00A0"));
}

// Whatever passes validation is shown as text the user may copy back in: that text must read as the
// same endpoint. Texts of the characters that matter to the reader and the printer, from a fixed seed.
TEST(TunnelValidation, EveryValidEndpointReadsBackFromItsOwnText) {
    const std::vector<std::string> pieces{"[",  "]", ":",     "~", "/",   "@", " ",   "\t",   "\u00A0", "1",
                                          "22", "0", "65535", "a", "b.c", "-", "::1", "fe80", "\u00E9", "%"};
    std::mt19937 random(20241209);
    std::vector<std::string> texts{"::1]:542", "[~@]:6", "[::1]:22", "[]:80", "[a]b]:1", "~:1", "[ ~x]:3"};
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int length = std::uniform_int_distribution(1, 6)(random); length > 0; --length) {
            text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(random)];
        }
        texts.push_back(text);
    }
    int valid = 0;
    for (const auto& text : texts) {
        const auto parsed = Endpoint::parse(text);
        if (!parsed || SSHCommandBuilder::endpointProblem(*parsed, true)) {
            continue;
        }
        ++valid;
        EXPECT_EQ(Endpoint::parse(parsed->displayText()), parsed)
            << "'" << text << "' is shown as '" << parsed->displayText() << "'";
    }
    EXPECT_GT(valid, 500) << "the generated texts exercise valid endpoints too";
}
