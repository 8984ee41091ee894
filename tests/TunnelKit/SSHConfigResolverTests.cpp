#include "TunnelKit/SSHConfigResolver.h"

#include <gtest/gtest.h>

#include <string>

using namespace tunnelkit;

namespace {

Forward forwardOf(std::string_view line, Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target) {
    return Forward::make(stableUUID(line), kind, true, std::move(listen), std::move(target), "");
}

} // namespace

TEST(StableUUID, FoldsBytesIntoSixteenBuckets) {
    EXPECT_EQ(stableUUID(""), Uuid());
    EXPECT_EQ(stableUUID("a").toString(), "61000000-0000-0000-0000-000000000000");
    // The seventeenth byte lands in bucket 0 again.
    EXPECT_EQ(stableUUID("aaaaaaaaaaaaaaaab").bytes()[0], static_cast<uint8_t>((97 * 31 + 98) % 256));
    EXPECT_EQ(stableUUID("localforward 8080 db:80"), stableUUID("localforward 8080 db:80"));
    EXPECT_NE(stableUUID("localforward 8080 db:80"), stableUUID("localforward 8081 db:80"));
}

TEST(SSHConfigResolverParse, EmptyOutputGivesTheDefaults) {
    const auto host = SSHConfigResolver::parse("", "web");
    EXPECT_EQ(host, (ResolvedHost{.alias = "web", .hostname = "web", .user = "", .port = 22, .proxyJump = {},
                                  .forwards = {}}));
}

TEST(SSHConfigResolverParse, SingleValuesWithLaterLinesWinning) {
    const auto host = SSHConfigResolver::parse("host web\nhostname one.example\r\nHostName two.example\n"
                                               "user alice\nport 2222\nproxyjump a,b\nidentityfile ~/.ssh/id\n"
                                               "lonely\n",
                                               "web");
    EXPECT_EQ(host.hostname, "two.example");
    EXPECT_EQ(host.user, "alice");
    EXPECT_EQ(host.port, 2222);
    EXPECT_EQ(host.proxyJump, "a,b");
}

TEST(SSHConfigResolverParse, PortThatIsNotADecimalIntegerIsTwentyTwo) {
    EXPECT_EQ(SSHConfigResolver::parse("port abc", "h").port, 22);
    EXPECT_EQ(SSHConfigResolver::parse("port 22x", "h").port, 22);
    EXPECT_EQ(SSHConfigResolver::parse("port +2200", "h").port, 2200);
    EXPECT_EQ(SSHConfigResolver::parse("port 99999999999", "h").port, 22);
}

TEST(SSHConfigResolverParse, ProxyJumpNoneIsNoJump) {
    EXPECT_EQ(SSHConfigResolver::parse("proxyjump a\nproxyjump none", "h").proxyJump, std::nullopt);
}

TEST(SSHConfigResolverParse, EachForwardKindInOrderWithStableIds) {
    const std::string output = "localforward 8080 db.internal:80\n"
                               "remoteforward 9000 /run/app.sock\n"
                               "remoteforward 1080 [socks]:0\n"
                               "dynamicforward 127.0.0.1:1081\n"
                               "localforward [::1]:5432 [fd00::5]:5432\n";
    const auto host = SSHConfigResolver::parse(output, "h");
    const std::vector<Forward> expected{
        forwardOf("localforward 8080 db.internal:80", Forward::Kind::local, Endpoint::tcp("", 8080),
                  Endpoint::tcp("db.internal", 80)),
        forwardOf("remoteforward 9000 /run/app.sock", Forward::Kind::remote, Endpoint::tcp("", 9000),
                  Endpoint::socket("/run/app.sock")),
        forwardOf("remoteforward 1080 [socks]:0", Forward::Kind::remoteDynamic, Endpoint::tcp("", 1080),
                  std::nullopt),
        forwardOf("dynamicforward 127.0.0.1:1081", Forward::Kind::dynamic, Endpoint::tcp("127.0.0.1", 1081),
                  std::nullopt),
        forwardOf("localforward [::1]:5432 [fd00::5]:5432", Forward::Kind::local, Endpoint::tcp("::1", 5432),
                  Endpoint::tcp("fd00::5", 5432)),
    };
    EXPECT_EQ(host.forwards, expected);
    EXPECT_EQ(SSHConfigResolver::parse(output, "h"), host);
}

TEST(SSHConfigResolverParse, UnreadableForwardLinesAreSkippedOneByOne) {
    const auto host = SSHConfigResolver::parse("localforward 8080\n"
                                               "localforward notaport db:80\n"
                                               "remoteforward 9000 db:notaport\n"
                                               "dynamicforward /tmp/socks.sock\n"
                                               "dynamicforward 1080\n"
                                               "user bob\n",
                                               "h");
    ASSERT_EQ(host.forwards.size(), 1u);
    EXPECT_EQ(host.forwards[0].kind, Forward::Kind::dynamic);
    EXPECT_EQ(host.user, "bob");
}

TEST(SSHConfigResolverParse, RestOfTheLineKeepsItsInnerBlanks) {
    // The third piece is the rest of the line, so a socket path with a blank stays whole.
    const auto host = SSHConfigResolver::parse("localforward 8080 /run/my app.sock", "h");
    ASSERT_EQ(host.forwards.size(), 1u);
    EXPECT_EQ(host.forwards[0].target, Endpoint::socket("/run/my app.sock"));
}

TEST(ResolvedHost, DestinationShowsUserAndPortOnlyWhereTheySay) {
    ResolvedHost host{.alias = "db", .hostname = "db", .user = "bob", .port = 22, .proxyJump = {}, .forwards = {}};
    EXPECT_EQ(host.destination(), "bob@db");
    host.port = 2222;
    EXPECT_EQ(host.destination(), "bob@db:2222");
    host.user = "";
    EXPECT_EQ(host.destination(), "db:2222");
}
