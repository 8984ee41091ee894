#include "ErrorPrinting.h"
#include "StoredJson.h"
#include "TunnelKit/Tunnel.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tunnelkit;
using testing_support::storedJson;

namespace {

std::optional<Endpoint> parsed(std::string_view text) {
    return Endpoint::parse(text);
}

Tunnel sampleTunnel() {
    Tunnel tunnel = Tunnel::created(*parseIsoDate("2026-01-31T09:15:00Z"));
    tunnel.name = "web";
    tunnel.host = "example.org";
    tunnel.user = "alice";
    tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::local, true,
                                            Endpoint::tcp("", 8080), Endpoint::tcp("localhost", 80), "site"));
    tunnel.options.push_back({Uuid::random(), "ServerAliveInterval", "10"});
    return tunnel;
}

} // namespace

TEST(EndpointParsing, PortsAndHosts) {
    EXPECT_EQ(parsed("8080"), Endpoint::tcp("", 8080));
    EXPECT_EQ(parsed(":8080"), Endpoint::tcp("", 8080));
    EXPECT_EQ(parsed("  db.local:5432\t"), Endpoint::tcp("db.local", 5432));
    EXPECT_EQ(parsed("0"), Endpoint::tcp("", 0));
    EXPECT_EQ(parsed("99999"), Endpoint::tcp("", 99999)) << "the range is validation's business";
}

TEST(EndpointParsing, UnusableTextsGiveNothing) {
    EXPECT_FALSE(parsed("host:"));
    EXPECT_FALSE(parsed("host"));
    EXPECT_FALSE(parsed("80a"));
    EXPECT_FALSE(parsed("12345678901234567890"));
    EXPECT_FALSE(parsed("8080\n")) << "a line break is not trimmed";
    EXPECT_FALSE(parsed("[::1]"));
    EXPECT_FALSE(parsed(""));
}

TEST(EndpointParsing, Ipv6FormsAndBrackets) {
    EXPECT_EQ(parsed("[::1]:5432"), Endpoint::tcp("::1", 5432));
    EXPECT_EQ(parsed("[]:80"), Endpoint::tcp("", 80));
    EXPECT_EQ(parsed("[::1:80"), Endpoint::tcp("[::1", 80));
    EXPECT_EQ(parsed("fe80::1:8080"), Endpoint::tcp("fe80::1", 8080));
    EXPECT_EQ(parsed("::1"), Endpoint::tcp(":", 1));
}

TEST(EndpointParsing, SocketPaths) {
    EXPECT_EQ(parsed("  /run/app.sock "), Endpoint::socket("/run/app.sock"));
    EXPECT_EQ(parsed("~/app.sock"), Endpoint::socket("~/app.sock"));
}

TEST(EndpointPrinting, Forms) {
    EXPECT_EQ(Endpoint::tcp("", 1080).displayText(), "1080");
    EXPECT_EQ(Endpoint::tcp("::1", 22).displayText(), "[::1]:22");
    EXPECT_EQ(Endpoint::tcp("db", 5432).displayText(), "db:5432");
    EXPECT_EQ(Endpoint::socket("~/s").displayText(), "~/s");
}

TEST(Forward, OnlyLocalAndRemoteKeepATarget) {
    const auto dynamic = Forward::make(Uuid::random(), Forward::Kind::dynamic, true, Endpoint::tcp("", 1080),
                                       Endpoint::tcp("x", 1), "");
    EXPECT_FALSE(dynamic.target);
    EXPECT_TRUE(hasTarget(Forward::Kind::remote));
    EXPECT_FALSE(hasTarget(Forward::Kind::remoteDynamic));
    EXPECT_TRUE(listensLocally(Forward::Kind::dynamic));
    EXPECT_FALSE(listensLocally(Forward::Kind::remote));
}

TEST(TunnelJson, RoundTripAndShape) {
    auto tunnel = sampleTunnel();
    tunnel.port = 2222;
    tunnel.logFile = "~/t.log";
    const auto object = storedJson(tunnel);
    EXPECT_FALSE(object.contains("identityFile")) << "absent optionals are left out, never null";
    EXPECT_FALSE(object.contains("deletedAt"));
    EXPECT_EQ(object["createdAt"], "2026-01-31T09:15:00Z");
    EXPECT_EQ(object["forwards"][0]["kind"], "local");
    EXPECT_EQ(object["forwards"][0]["listen"], nlohmann::json::parse(R"({"tcp":{"host":"","port":8080}})"));
    EXPECT_EQ(object["id"], tunnel.id.toString());
    const auto decoded = decodeTunnel(object.dump());
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(*decoded, tunnel);
}

TEST(TunnelJson, OptionalKeysMayBeMissingOrNullRequiredOnesMayNot) {
    auto object = storedJson(sampleTunnel());
    object["port"] = nullptr;
    ASSERT_TRUE(decodeTunnel(object.dump()));
    EXPECT_FALSE(decodeTunnel(object.dump())->port);

    auto withoutNote = storedJson(sampleTunnel());
    withoutNote.erase("note");
    const auto failed = decodeTunnel(withoutNote.dump());
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), (DecodingError{DecodingError::Problem::missingKey, "note"}));
    EXPECT_EQ(failed.error().kind(), DecodingError::Kind::keyNotFound);

    auto badKind = storedJson(sampleTunnel());
    badKind["forwards"][0]["kind"] = "sideways";
    ASSERT_FALSE(decodeTunnel(badKind.dump()));
    EXPECT_EQ(decodeTunnel(badKind.dump()).error(),
              (DecodingError{DecodingError::Problem::unknownForwardKind, "forwards[0].kind"}));

    auto lowerId = storedJson(sampleTunnel());
    lowerId["id"] = "6f1e2d3c-4b5a-4968-8776-655443322110";
    ASSERT_TRUE(decodeTunnel(lowerId.dump()));

    auto badPort = storedJson(sampleTunnel());
    badPort["port"] = 22.5;
    EXPECT_FALSE(decodeTunnel(badPort.dump()));
    auto boolRetry = storedJson(sampleTunnel());
    boolRetry["retryLimit"] = true;
    EXPECT_FALSE(decodeTunnel(boolRetry.dump()));
}

TEST(TunnelJson, EndpointNeedsExactlyOneKnownKey) {
    auto both = storedJson(sampleTunnel());
    both["forwards"][0]["listen"]["socket"] = {{"path", "/s"}};
    const auto failed = decodeTunnel(both.dump());
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(),
              (DecodingError{DecodingError::Problem::endpointKeyCount, "forwards[0].listen"}));
    EXPECT_EQ(failed.error().kind(), DecodingError::Kind::typeMismatch);

    auto neither = storedJson(sampleTunnel());
    neither["forwards"][0]["listen"] = {{"udp", 1}};
    EXPECT_EQ(decodeTunnel(neither.dump()).error().problem, DecodingError::Problem::endpointKeyCount);

    auto extra = storedJson(sampleTunnel());
    extra["forwards"][0]["listen"]["other"] = 1;
    EXPECT_TRUE(decodeTunnel(extra.dump()));
}

TEST(TunnelJson, DecodedDynamicForwardKeepsAStoredTarget) {
    auto object = storedJson(sampleTunnel());
    object["forwards"][0]["kind"] = "dynamic";
    const auto decoded = decodeTunnel(object.dump());
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->forwards[0].target);
}

TEST(TunnelDerived, DestinationAndEnabledForwards) {
    auto tunnel = sampleTunnel();
    EXPECT_EQ(tunnel.destination(), "alice@example.org");
    tunnel.user.clear();
    tunnel.host = "::1";
    tunnel.port = 22;
    EXPECT_EQ(tunnel.destination(), "::1:22");
    tunnel.forwards.push_back(
        Forward::make(Uuid::random(), Forward::Kind::dynamic, false, Endpoint::tcp("", 1), {}, ""));
    EXPECT_EQ(tunnel.enabledForwards().size(), 1u);
}

TEST(TunnelDerived, CommandOptionsInOrderWithRepeats) {
    Tunnel tunnel = Tunnel::created();
    for (const char* name : {"proxycommand", "Compression", "NotAnOption", "LocalCommand", "ProxyCommand"}) {
        tunnel.options.push_back({Uuid::random(), name, "x"});
    }
    EXPECT_EQ(tunnel.commandOptions(),
              (std::vector<std::string>{"proxycommand", "LocalCommand", "ProxyCommand"}));
}

TEST(TunnelDerived, NormalizedTrimsPathsAndTags) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "\n web \t";
    tunnel.host = " h ";
    tunnel.tags = {"b, a", "a,,c", " "};
    tunnel.identityFile = "  \n";
    tunnel.certificateFile = " ~/c.pub ";
    tunnel.options.push_back({Uuid::random(), " Port ", " 1 "});
    const auto normal = tunnel.normalized();
    EXPECT_EQ(normal.name, "web");
    EXPECT_EQ(normal.host, "h");
    EXPECT_EQ(normal.tags, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(normal.identityFile);
    EXPECT_EQ(normal.certificateFile, "~/c.pub");
    EXPECT_EQ(normal.options, tunnel.options) << "options are not trimmed here";
}

TEST(TunnelDerived, NormalizedTagsSortByValueAndKeepCaseVariants) {
    Tunnel tunnel = Tunnel::created();
    tunnel.tags = {"tag10", "tag2", "Work", "work"};
    EXPECT_EQ(tunnel.normalized().tags, (std::vector<std::string>{"tag2", "tag10", "Work", "work"}));
}

TEST(RiskySettings, OptionsThenForwards) {
    Tunnel tunnel = Tunnel::created();
    tunnel.options = {{Uuid::random(), "forwardagent", " yes "},
                      {Uuid::random(), "ForwardAgent", "No"},
                      {Uuid::random(), "ForwardAgent", ""},
                      {Uuid::random(), "StrictHostKeyChecking", "off"},
                      {Uuid::random(), "StrictHostKeyChecking", "accept-new"},
                      {Uuid::random(), "UserKnownHostsFile", "/dev/null"},
                      {Uuid::random(), "UserKnownHostsFile", "/DEV/NULL"},
                      {Uuid::random(), "GatewayPorts", "clientspecified"}};
    tunnel.forwards = {
        Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("0.0.0.0", 8080),
                      Endpoint::tcp("h", 1), ""),
        Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("127.0.0.2", 8081),
                      Endpoint::tcp("h", 1), ""),
        Forward::make(Uuid::random(), Forward::Kind::remote, false, Endpoint::tcp("[::1]", 80),
                      Endpoint::tcp("h", 1), ""),
        Forward::make(Uuid::random(), Forward::Kind::dynamic, false, Endpoint::tcp("LocalHost", 1080), {},
                      ""),
        Forward::make(Uuid::random(), Forward::Kind::remoteDynamic, false, Endpoint::tcp("::", 1081), {}, ""),
        Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::socket("/s"),
                      Endpoint::tcp("h", 1), ""),
    };
    EXPECT_EQ(tunnel.riskySettings(), (std::vector<std::string>{
                                          "ForwardAgent yes",
                                          "ForwardAgent ",
                                          "StrictHostKeyChecking off",
                                          "UserKnownHostsFile /dev/null",
                                          "GatewayPorts clientspecified",
                                          "0.0.0.0:8080",
                                          ":::1081",
                                      }));
}

TEST(RiskySettings, BooleanSpellingsSshAlsoAccepts) {
    Tunnel tunnel = Tunnel::created();
    tunnel.options = {{Uuid::random(), "StrictHostKeyChecking", "False"},
                      {Uuid::random(), "gatewayports", "true"}};
    EXPECT_EQ(tunnel.riskySettings(),
              (std::vector<std::string>{"StrictHostKeyChecking False", "GatewayPorts true"}));
}

TEST(ListOrder, PinnedFirstThenTitleByValue) {
    auto make = [](std::string name, std::string host, bool pinned) {
        Tunnel t = Tunnel::created();
        t.name = std::move(name);
        t.host = std::move(host);
        t.isPinned = pinned;
        return t;
    };
    std::vector<Tunnel> tunnels{make("zeta", "", true), make("10", "", false), make("", "beta.host", false),
                                make("2", "", false), make("Alpha", "", false)};
    std::stable_sort(tunnels.begin(), tunnels.end(), compareTunnelsForList);
    std::vector<std::string> titles;
    for (const auto& t : tunnels) {
        titles.push_back(t.name.empty() ? t.host : t.name);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"zeta", "2", "10", "Alpha", "beta.host"}));
}

// The sort of many tunnels by collation keys agrees with the comparison, ties kept in order.
TEST(ListOrder, SortingByKeysAgreesWithTheComparison) {
    std::vector<Tunnel> tunnels;
    for (const char* title : {"web 10", "Web 2", "wéb 3", "web", "", "é", "e", "E", "a\xff", "\xc3", "web 2",
                              "web-01", "web-1", "Ω", "10.0.0.5", "10.0.0.40", "ﬁ", "fi", "web\t2"}) {
        for (const bool pinned : {false, true}) {
            Tunnel tunnel = Tunnel::created();
            (tunnels.size() % 3 == 0 ? tunnel.host : tunnel.name) = title;
            tunnel.isPinned = pinned;
            tunnels.push_back(tunnel);
        }
    }
    std::vector<const Tunnel*> sorted;
    for (const auto& tunnel : tunnels) {
        sorted.push_back(&tunnel);
    }
    std::vector<const Tunnel*> expected = sorted;
    std::ranges::stable_sort(expected,
                             [](const Tunnel* a, const Tunnel* b) { return compareTunnelsForList(*a, *b); });
    sortForList(sorted);
    EXPECT_EQ(sorted, expected);
}
