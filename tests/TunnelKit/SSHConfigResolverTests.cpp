#include "ForwardPrinting.h"
#include "SSHHome.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHConfigReader.h"
#include "TunnelKit/SSHConfigResolver.h"

#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <pwd.h>
#include <string>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;

namespace {

Forward forwardOf(std::string_view line, Forward::Kind kind, Endpoint listen,
                  std::optional<Endpoint> target) {
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
    EXPECT_EQ(
        host,
        (ResolvedHost{
            .alias = "web", .hostname = "web", .user = "", .port = 22, .proxyJump = {}, .forwards = {}}));
}

TEST(SSHConfigResolverParse, SingleValuesWithLaterLinesWinning) {
    const auto host =
        SSHConfigResolver::parse("host web\nhostname one.example\r\nHostName two.example\n"
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
    ResolvedHost host{
        .alias = "db", .hostname = "db", .user = "bob", .port = 22, .proxyJump = {}, .forwards = {}};
    EXPECT_EQ(host.destination(), "bob@db");
    host.port = 2222;
    EXPECT_EQ(host.destination(), "bob@db:2222");
    host.user = "";
    EXPECT_EQ(host.destination(), "db:2222");
}

// Runs against the real /usr/bin/ssh -G on configuration trees in a throwaway home, and against
// small shell scripts standing in for ssh where ssh itself cannot be made to fail that way.
namespace {

using testing_support::SSHHome;
using testing_support::TempDir;
using namespace std::chrono_literals;

SSHCommandBuilder builderWithConfig(const SSHHome& home) {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, home.path());
    builder.configFile = home.configFile();
    return builder;
}

// A stand-in for ssh that records its arguments, one a line, then runs `body`.
class FakeSSH {
  public:
    explicit FakeSSH(const std::string& body) {
        const auto script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + argumentsFile() + "'\n" + body + "\n";
        std::ofstream(executable()) << script;
        std::filesystem::permissions(executable(), std::filesystem::perms::owner_all);
    }
    std::string executable() const { return dir_.file("ssh"); }
    std::string argumentsFile() const { return dir_.file("arguments"); }
    bool ran() const { return std::filesystem::exists(argumentsFile()); }
    std::string arguments() const {
        std::ifstream in(argumentsFile());
        return {std::istreambuf_iterator<char>(in), {}};
    }
    SSHCommandBuilder builder(bool usesConfigFiles = false) const {
        return SSHCommandBuilder(executable(), usesConfigFiles, dir_.path());
    }

  private:
    TempDir dir_;
};

std::string currentUserName() {
    const auto* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_name : "";
}

} // namespace

TEST(SSHConfigResolverArguments, ConfigChoiceOfTheBuilder) {
    SSHCommandBuilder builder("/usr/bin/ssh", true, "/home/u");
    EXPECT_EQ(SSHConfigResolver::arguments("web", builder), (std::vector<std::string>{"-G", "web"}));
    builder.usesConfigFiles = false;
    EXPECT_EQ(SSHConfigResolver::arguments("web", builder),
              (std::vector<std::string>{"-G", "-F", "/dev/null", "web"}));
    builder.configFile = "/etc/other config";
    builder.wrapperURL = "/run/user/0/wrapper";
    EXPECT_EQ(SSHConfigResolver::arguments("web", builder),
              (std::vector<std::string>{"-G", "-F", "/etc/other config", "web"}));
}

TEST(SSHConfigResolverRealSSH, ReadsUserPortJumpAndEveryForwardKind) {
    SSHHome home;
    home.writeConfig("Host web\n"
                     "  HostName web.example\n"
                     "  User alice\n"
                     "  Port 2222\n"
                     "  ProxyJump j1,bob@j2:2200\n"
                     "  LocalForward 8080 db.internal:80\n"
                     "  RemoteForward 9000 localhost:3000\n"
                     "  RemoteForward 9001 /run/app.sock\n"
                     "  RemoteForward 1080\n"
                     "  DynamicForward 127.0.0.1:1081\n");
    const auto host = SSHConfigResolver::resolveBlocking("web", builderWithConfig(home));
    ASSERT_TRUE(host);
    EXPECT_EQ(host->alias, "web");
    EXPECT_EQ(host->hostname, "web.example");
    EXPECT_EQ(host->user, "alice");
    EXPECT_EQ(host->port, 2222);
    EXPECT_EQ(host->proxyJump, "j1,bob@j2:2200");
    EXPECT_EQ(host->destination(), "alice@web.example:2222");
    // ssh prints the forwards grouped by kind, host names in brackets.
    const std::vector<Forward> expected{
        forwardOf("dynamicforward [127.0.0.1]:1081", Forward::Kind::dynamic, Endpoint::tcp("127.0.0.1", 1081),
                  std::nullopt),
        forwardOf("localforward 8080 [db.internal]:80", Forward::Kind::local, Endpoint::tcp("", 8080),
                  Endpoint::tcp("db.internal", 80)),
        forwardOf("remoteforward 9000 [localhost]:3000", Forward::Kind::remote, Endpoint::tcp("", 9000),
                  Endpoint::tcp("localhost", 3000)),
        forwardOf("remoteforward 9001 /run/app.sock", Forward::Kind::remote, Endpoint::tcp("", 9001),
                  Endpoint::socket("/run/app.sock")),
        forwardOf("remoteforward 1080 [socks]:0", Forward::Kind::remoteDynamic, Endpoint::tcp("", 1080),
                  std::nullopt),
    };
    EXPECT_EQ(host->forwards, expected);
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", builderWithConfig(home)), host) << "ids are stable";
}

TEST(SSHConfigResolverRealSSH, AliasesListedFromAnIncludeTreeResolve) {
    SSHHome home;
    home.write("conf.d/10-db", "Host db\n  HostName db.example\n  User dba\n");
    home.write("conf.d/20-cache", "Host cache\n  Port 6380\n");
    home.writeConfig("Include " + home.sshFolder() + "/conf.d/*\nHost *\n  User everyone\n");
    const auto aliases = SSHConfigReader::hostAliases(home.configFile(), home.path());
    ASSERT_EQ(aliases, (std::vector<std::string>{"db", "cache"}));
    const auto db = SSHConfigResolver::resolveBlocking("db", builderWithConfig(home));
    const auto cache = SSHConfigResolver::resolveBlocking("cache", builderWithConfig(home));
    ASSERT_TRUE(db && cache);
    EXPECT_EQ(db->destination(), "dba@db.example");
    EXPECT_EQ(cache->destination(), "everyone@cache:6380");
    EXPECT_EQ(cache->proxyJump, std::nullopt);
}

TEST(SSHConfigResolverRealSSH, WithoutConfigFilesTheAliasIsTheHost) {
    SSHHome home;
    home.writeConfig("Host web\n  HostName elsewhere.example\n");
    const auto host =
        SSHConfigResolver::resolveBlocking("web", SSHCommandBuilder("/usr/bin/ssh", false, home.path()));
    ASSERT_TRUE(host);
    EXPECT_EQ(host->hostname, "web");
    EXPECT_EQ(host->port, 22);
    EXPECT_EQ(host->user, currentUserName());
    EXPECT_TRUE(host->forwards.empty());
}

TEST(SSHConfigResolverRealSSH, ConfigurationSSHRefusesGivesNothing) {
    SSHHome home;
    home.writeConfig("Host web\n  Port notaport\n");
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", builderWithConfig(home)), std::nullopt);
}

TEST(SSHConfigResolverRealSSH, ResolveHandsTheResultToTheCompletion) {
    SSHHome home;
    home.writeConfig("Host web\n  User carol\n");
    // Shared with the worker, which may still be inside set_value when the answer is read.
    auto answer = std::make_shared<std::promise<std::pair<std::optional<ResolvedHost>, std::thread::id>>>();
    SSHConfigResolver::resolve("web", builderWithConfig(home), SSHConfigResolver::defaultTimeout,
                               [answer](std::optional<ResolvedHost> host) {
                                   answer->set_value({std::move(host), std::this_thread::get_id()});
                               });
    const auto [host, thread] = answer->get_future().get();
    ASSERT_TRUE(host);
    EXPECT_EQ(host->user, "carol");
    EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(SSHConfigResolverFakeSSH, RefusedAliasesStartNoProcess) {
    FakeSSH ssh("echo 'user bob'");
    for (const std::string alias :
         {"", "-oProxyCommand=touch /tmp/x", "a b", "a\nb", "a\tb", "a\u00A0b", "web\x01"}) {
        EXPECT_EQ(SSHConfigResolver::resolveBlocking(alias, ssh.builder()), std::nullopt) << alias;
    }
    EXPECT_FALSE(ssh.ran());
}

TEST(SSHConfigResolverFakeSSH, RunsWithDevNullConfigWhenConfigFilesAreOff) {
    FakeSSH ssh("exit 0");
    const auto host = SSHConfigResolver::resolveBlocking("web", ssh.builder(false));
    EXPECT_EQ(ssh.arguments(), "-G\n-F\n/dev/null\nweb\n");
    EXPECT_EQ(host, SSHConfigResolver::parse("", "web"));
}

TEST(SSHConfigResolverFakeSSH, HangingSSHGivesNothingAfterTheTimeOut) {
    FakeSSH ssh("echo 'user bob'; exec sleep 60");
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", ssh.builder(), 200ms), std::nullopt);
}

TEST(SSHConfigResolverFakeSSH, AStopGivesNothingAndBeforeTheCallStartsNothing) {
    FakeSSH hanging("echo 'user bob'; exec sleep 600");
    std::stop_source stop;
    std::thread stopper([&] {
        while (!hanging.ran()) {
            std::this_thread::sleep_for(10ms);
        }
        stop.request_stop();
    });
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", hanging.builder(), 600s, stop.get_token()),
              std::nullopt);
    stopper.join();

    FakeSSH ssh("echo 'user bob'");
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", ssh.builder(), 5s, stop.get_token()), std::nullopt);
    EXPECT_FALSE(ssh.ran());
}

TEST(SSHConfigResolverFakeSSH, NonZeroExitOrSignalGivesNothing) {
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", FakeSSH("echo 'user bob'; exit 1").builder()),
              std::nullopt);
    EXPECT_EQ(SSHConfigResolver::resolveBlocking("web", FakeSSH("echo 'user bob'; kill -9 $$").builder()),
              std::nullopt);
}

TEST(SSHConfigResolverFakeSSH, ProgramThatCannotStartGivesNothing) {
    TempDir dir;
    EXPECT_EQ(
        SSHConfigResolver::resolveBlocking("web", SSHCommandBuilder(dir.file("missing"), true, dir.path())),
        std::nullopt);
}

TEST(SSHConfigResolverFakeSSH, IllFormedOutputIsReadWithReplacementCharacters) {
    FakeSSH ssh(R"(printf 'hostname caf\351\nuser bob\n')");
    const auto host = SSHConfigResolver::resolveBlocking("web", ssh.builder());
    ASSERT_TRUE(host);
    EXPECT_EQ(host->hostname, "caf\uFFFD");
    EXPECT_EQ(host->user, "bob");
}

TEST(SSHConfigResolverFakeSSH, OutputLargerThanThePipeIsReadToItsEnd) {
    FakeSSH ssh(
        "i=0; while [ $i -lt 20000 ]; do echo 'sendenv LANG LC_ALL'; i=$((i+1)); done; echo 'port 2200'");
    const auto host = SSHConfigResolver::resolveBlocking("web", ssh.builder());
    ASSERT_TRUE(host);
    EXPECT_EQ(host->port, 2200);
}
