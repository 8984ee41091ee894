#include "SSHCommandErrorPrinting.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/Text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tunnelkit;

namespace {

using Words = std::vector<std::string>;

const Words fixedWords{
    "-o", "ExitOnForwardFailure=yes", "-o", "ControlMaster=no",           "-o", "ControlPath=none",
    "-o", "ControlPersist=no",        "-o", "ForkAfterAuthentication=no", "-o", "BatchMode=no",
    "-o", "ClearAllForwardings=no",   "-o", "RemoteCommand=none",         "-o", "RequestTTY=no"};
const Words defaultWords{"-o", "ServerAliveInterval=30", "-o", "ConnectTimeout=15"};

Words concat(std::initializer_list<Words> parts) {
    Words all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::string joined(const Words& words) {
    std::string line;
    for (const auto& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

SSHCommandBuilder builder(bool usesConfigFiles = true) {
    return SSHCommandBuilder(SSHCommandBuilder::defaultExecutable, usesConfigFiles, "/home/me");
}

Tunnel tunnelTo(std::string host) {
    Tunnel tunnel = Tunnel::created();
    tunnel.host = std::move(host);
    return tunnel;
}

SSHInvocation invocationOf(const SSHCommandBuilder& b, const Tunnel& tunnel) {
    auto built = b.invocation(tunnel);
    EXPECT_TRUE(built) << describe(built.error());
    return built.value_or(SSHInvocation{});
}

Forward forward(Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt) {
    return Forward{Uuid::random(), kind, true, std::move(listen), std::move(target), ""};
}

// The words between the fixed options and the host, for one tunnel under the default builder.
Words wordsAfterDefaults(const Tunnel& tunnel) {
    const auto arguments = invocationOf(builder(), tunnel).arguments;
    const auto head = 3 + fixedWords.size() + defaultWords.size();
    if (arguments.size() < head + 1) {
        return {};
    }
    return Words(arguments.begin() + static_cast<long>(head), arguments.end() - 1);
}

} // namespace

TEST(SSHInvocation, MinimalTunnelGivesTwentySixWords) {
    const auto invocation = invocationOf(builder(), tunnelTo("bastion"));
    EXPECT_EQ(invocation.executable, "/usr/bin/ssh");
    EXPECT_EQ(invocation.arguments,
              concat({{"-N", "-o", "LogLevel=DEBUG1"}, fixedWords, defaultWords, {"bastion"}}));
    EXPECT_EQ(invocation.arguments.size(), 26u);
    EXPECT_EQ(invocation.displayCommand,
              joined(concat({{"/usr/bin/ssh", "-N"}, fixedWords, defaultWords, {"bastion"}})));
}

TEST(SSHInvocation, ConfigurationChoiceAndTheWrapper) {
    const auto tunnel = tunnelTo("bastion");
    const auto expect = [&](const SSHCommandBuilder& b, const Words& argumentChoice,
                            const Words& shownChoice) {
        const auto invocation = invocationOf(b, tunnel);
        EXPECT_EQ(
            invocation.arguments,
            concat({{"-N", "-o", "LogLevel=DEBUG1"}, fixedWords, argumentChoice, defaultWords, {"bastion"}}));
        EXPECT_EQ(
            invocation.displayCommand,
            joined(concat({{"/usr/bin/ssh", "-N"}, fixedWords, shownChoice, defaultWords, {"bastion"}})));
    };
    expect(builder(false), {"-F", "/dev/null"}, {"-F", "/dev/null"});

    auto withFile = builder(false);
    withFile.configFile = "/etc/burrow/ssh.conf";
    expect(withFile, {"-F", "/etc/burrow/ssh.conf"}, {"-F", "/etc/burrow/ssh.conf"});

    auto wrapped = builder(true);
    wrapped.wrapperURL = "/run/user/1000/com.tolvan.burrowlight.ssh_config";
    expect(wrapped, {"-F", "/run/user/1000/com.tolvan.burrowlight.ssh_config"}, {});
    wrapped.usesConfigFiles = false;
    expect(wrapped, {"-F", "/run/user/1000/com.tolvan.burrowlight.ssh_config"}, {"-F", "/dev/null"});
    wrapped.configFile = "/etc/burrow/ssh.conf";
    expect(wrapped, {"-F", "/run/user/1000/com.tolvan.burrowlight.ssh_config"},
           {"-F", "/etc/burrow/ssh.conf"});
}

TEST(SSHInvocation, TunnelsOwnKeepAliveAndTimeoutReplaceTheDefaults) {
    auto tunnel = tunnelTo("bastion");
    tunnel.options = {{Uuid::random(), "serveraliveinterval", " 60\t"}};
    EXPECT_EQ(invocationOf(builder(), tunnel).arguments,
              concat({{"-N", "-o", "LogLevel=DEBUG1"},
                      fixedWords,
                      {"-o", "ConnectTimeout=15", "-o", "ServerAliveInterval=60", "bastion"}}));

    tunnel.options = {{Uuid::random(), "CONNECTTIMEOUT", "5"}, {Uuid::random(), "Compression", "yes"}};
    EXPECT_EQ(invocationOf(builder(), tunnel).arguments,
              concat({{"-N", "-o", "LogLevel=DEBUG1"},
                      fixedWords,
                      {"-o", "ServerAliveInterval=30", "-o", "ConnectTimeout=5", "-o", "Compression=yes",
                       "bastion"}}));
}

TEST(SSHInvocation, EveryFieldInItsPlace) {
    auto tunnel = tunnelTo("db.example.org");
    tunnel.port = 2222;
    tunnel.user = "alice";
    tunnel.identityFile = "~/.ssh/id_ed25519";
    tunnel.certificateFile = "/k/c.pub";
    tunnel.jumpHosts = " jump1 , ,jump2:2200 ";
    tunnel.options = {{Uuid::random(), "compression", "yes"}, {Uuid::random(), "SendEnv", "LANG"}};
    tunnel.forwards = {forward(Forward::Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("localhost", 80)),
                       forward(Forward::Kind::dynamic, Endpoint::tcp("", 1080))};
    tunnel.forwards.push_back(forward(Forward::Kind::remote, Endpoint::tcp("", 9000), Endpoint::tcp("", 1)));
    tunnel.forwards.back().isEnabled = false;

    EXPECT_EQ(invocationOf(builder(), tunnel).arguments,
              concat({{"-N", "-o", "LogLevel=DEBUG1"},
                      fixedWords,
                      defaultWords,
                      {"-p", "2222", "-l", "alice", "-i", "/home/me/.ssh/id_ed25519", "-o",
                       "CertificateFile=\"/k/c.pub\"", "-J", "jump1,jump2:2200", "-o", "Compression=yes",
                       "-o", "SendEnv=LANG", "-L", "8080:localhost:80", "-D", "1080", "db.example.org"}}))
        << "a disabled forward adds nothing";
    EXPECT_EQ(invocationOf(builder(), tunnel).displayCommand,
              "/usr/bin/ssh -N " + joined(fixedWords) + " " + joined(defaultWords) +
                  " -p 2222 -l alice -i /home/me/.ssh/id_ed25519 -o 'CertificateFile=\"/k/c.pub\"' -J "
                  "jump1,jump2:2200"
                  " -o Compression=yes -o SendEnv=LANG -L 8080:localhost:80 -D 1080 db.example.org");
}

TEST(SSHInvocation, HomeExpansionOfKeyAndCertificate) {
    const auto keyWords = [](std::string path) {
        auto tunnel = tunnelTo("bastion");
        tunnel.identityFile = path;
        tunnel.certificateFile = path;
        return wordsAfterDefaults(tunnel);
    };
    EXPECT_EQ(keyWords("~"), (Words{"-i", "/home/me", "-o", "CertificateFile=\"/home/me\""}));
    EXPECT_EQ(keyWords("~/k"), (Words{"-i", "/home/me/k", "-o", "CertificateFile=\"/home/me/k\""}));
    EXPECT_EQ(keyWords("~other/k"), (Words{"-i", "~other/k", "-o", "CertificateFile=\"~other/k\""}));
    EXPECT_EQ(keyWords("k/~/x"), (Words{"-i", "k/~/x", "-o", "CertificateFile=\"k/~/x\""}));
}

TEST(SSHInvocation, InvalidTunnelGivesTheValidationError) {
    auto tunnel = tunnelTo("bastion");
    tunnel.options = {{Uuid::random(), "loglevel", "QUIET"}};
    const auto built = builder().invocation(tunnel);
    ASSERT_FALSE(built);
    EXPECT_EQ(built.error(),
              SSHCommandError::invalidOption("LogLevel", SSHCommandError::OptionProblem::setByApp));
    EXPECT_EQ(builder().invocation(tunnelTo("")).error(), SSHCommandError::missingHost());
}

TEST(SSHInvocation, EqualTunnelsGiveEqualInvocations) {
    auto tunnel = tunnelTo("bastion");
    tunnel.forwards = {forward(Forward::Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("db", 80))};
    auto renamed = tunnel;
    renamed.name = "another name";
    renamed.note = "notes do not reach ssh";
    EXPECT_EQ(invocationOf(builder(), tunnel), invocationOf(builder(), renamed));
    renamed.forwards.front().listen = Endpoint::tcp("", 8081);
    EXPECT_NE(invocationOf(builder(), tunnel), invocationOf(builder(), renamed));
}

TEST(JumpHosts, Normalized) {
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts("a, b,,c "), "a,b,c");
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts(""), "");
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts(" \t, \u3000"), "");
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts("\u00A0me@a:22\t,b"), "me@a:22,b");
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts("a b"), "a b")
        << "only the ends of each host are trimmed";
    EXPECT_EQ(SSHCommandBuilder::normalizedJumpHosts("a\n,b"), "a\n,b") << "line breaks stay";
}

TEST(ForwardArguments, EveryKind) {
    const auto b = builder();
    EXPECT_EQ(b.forwardArguments(
                  forward(Forward::Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("db.internal", 80))),
              (Words{"-L", "8080:db.internal:80"}));
    EXPECT_EQ(b.forwardArguments(forward(Forward::Kind::local, Endpoint::tcp("::1", 8080),
                                         Endpoint::tcp("db.internal", 80))),
              (Words{"-L", "[::1]:8080:db.internal:80"}));
    EXPECT_EQ(b.forwardArguments(forward(Forward::Kind::local, Endpoint::socket("~/run/db.sock"),
                                         Endpoint::socket("~/var/run/db.sock"))),
              (Words{"-L", "/home/me/run/db.sock:~/var/run/db.sock"}))
        << "only this computer's side is expanded";
    EXPECT_EQ(b.forwardArguments(
                  forward(Forward::Kind::remote, Endpoint::socket("~/r.sock"), Endpoint::socket("~/l.sock"))),
              (Words{"-R", "~/r.sock:/home/me/l.sock"}));
    EXPECT_EQ(b.forwardArguments(forward(Forward::Kind::remote, Endpoint::tcp("0.0.0.0", 9000),
                                         Endpoint::tcp("fe80::1", 3000))),
              (Words{"-R", "0.0.0.0:9000:[fe80::1]:3000"}));
    EXPECT_EQ(b.forwardArguments(forward(Forward::Kind::dynamic, Endpoint::tcp("localhost", 1080),
                                         Endpoint::tcp("ignored", 1))),
              (Words{"-D", "localhost:1080"}));
    EXPECT_EQ(b.forwardArguments(forward(Forward::Kind::remoteDynamic, Endpoint::tcp("", 1081))),
              (Words{"-R", "1081"}));
}

TEST(ForwardArguments, EndpointForms) {
    const auto b = builder();
    EXPECT_EQ(b.endpointArgument(Endpoint::tcp("", 80), true), "80");
    EXPECT_EQ(b.endpointArgument(Endpoint::tcp("db", 80), true), "db:80");
    EXPECT_EQ(b.endpointArgument(Endpoint::tcp("::1", 80), true), "[::1]:80");
    EXPECT_EQ(b.endpointArgument(Endpoint::tcp("[::1]", 80), true), "[::1]:80") << "already bracketed";
    EXPECT_EQ(b.endpointArgument(Endpoint::tcp("~/db", 80), true), "~/db:80")
        << "tcp hosts are never expanded";
    EXPECT_EQ(b.endpointArgument(Endpoint::socket("~"), true), "/home/me");
    EXPECT_EQ(b.endpointArgument(Endpoint::socket("~/s"), false), "~/s");
    EXPECT_EQ(b.endpointArgument(Endpoint::socket("~u/s"), true), "~u/s");
}

TEST(ShellQuoting, SafeWordsStayAndOthersAreSingleQuoted) {
    EXPECT_EQ(ShellQuoting::shellSafeCharacters().size(), 72u);
    for (const char* word :
         {"-L", "/dev/null", "8080:localhost:80", "a_b@c%d+e=f,g.h", "ServerAliveInterval=30"}) {
        EXPECT_EQ(ShellQuoting::quote(word), word);
    }
    EXPECT_EQ(ShellQuoting::quote(""), "''");
    EXPECT_EQ(ShellQuoting::quote("it's"), "'it'\\''s'");
    EXPECT_EQ(ShellQuoting::quote("''"), "''\\'''\\'''");
    EXPECT_EQ(ShellQuoting::quote("caf\u00E9"), "'caf\u00E9'");
    EXPECT_EQ(ShellQuoting::quote("a b"), "'a b'");
    EXPECT_EQ(ShellQuoting::quote("~/k"), "'~/k'");
    EXPECT_EQ(ShellQuoting::quote("*"), "'*'");
    EXPECT_EQ(ShellQuoting::quote("$HOME"), "'$HOME'");
    EXPECT_EQ(ShellQuoting::quote("a\nb"), "'a\nb'");
    EXPECT_EQ(ShellQuoting::quote("\\"), "'\\'");
}

TEST(ShellQuoting, DisplayCommandQuotesWhatNeedsIt) {
    auto tunnel = tunnelTo("bastion");
    tunnel.user = "Alice Smith";
    tunnel.options = {{Uuid::random(), "SetEnv", "GREETING=it's"}};
    tunnel.forwards = {
        forward(Forward::Kind::local, Endpoint::socket("/run/caf\u00E9.sock"), Endpoint::tcp("db", 80))};
    auto b = builder();
    b.configFile = "/home/me/my config";
    EXPECT_EQ(invocationOf(b, tunnel).displayCommand,
              "/usr/bin/ssh -N " + joined(fixedWords) + " -F '/home/me/my config' " + joined(defaultWords) +
                  " -l 'Alice Smith' -o 'SetEnv=GREETING=it'\\''s' -L '/run/caf\u00E9.sock:db:80' bastion");
}

TEST(ShellQuoting, DisplayCommandReadsBackThroughAShell) {
    testing_support::TempDir folder;
    const auto echoArguments = folder.file("echo-arguments");
    ASSERT_TRUE(writeFileAtomically(echoArguments, "#!/bin/sh\nprintf '%s\\n' \"$@\"\n", 0700));
    auto tunnel = tunnelTo("bastion");
    tunnel.user = "O'Brien $USER";
    tunnel.identityFile = "/k/*";
    tunnel.options = {{Uuid::random(), "SetEnv", "A=\"b c\" D=`e`"}};
    auto b = builder();
    b.executable = echoArguments;
    const auto invocation = invocationOf(b, tunnel);

    FILE* shell = ::popen((invocation.displayCommand + " </dev/null").c_str(), "r");
    ASSERT_NE(shell, nullptr);
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, shell)) > 0;) {
        output.append(buffer, n);
    }
    EXPECT_EQ(::pclose(shell), 0);

    std::string expected = "-N\n";
    for (auto word = invocation.arguments.begin() + 3; word != invocation.arguments.end(); ++word) {
        expected += *word + "\n";
    }
    EXPECT_EQ(output, expected) << "every word arrives as built, the debug pair left out";
}

namespace {

struct Captured {
    int status = -1;
    std::string output;
};

// Runs a program with the given environment, stdin from /dev/null and stderr dropped, and
// returns its exit status and standard output.
Captured runCapturingOutput(const std::string& program, const Words& arguments, const Words& environment) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return {};
    }
    UniqueFd readEnd(pipeEnds[0]);
    UniqueFd writeEnd(pipeEnds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& word : arguments) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& entry : environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    writeEnd.reset();
    if (spawned != 0) {
        return {};
    }
    Captured captured;
    char buffer[4096];
    for (ssize_t n; (n = ::read(readEnd.get(), buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        captured.output.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    captured.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return captured;
}

Words lines(const std::string& text) {
    Words all;
    for (auto& line : text::split(text, '\n')) {
        if (!line.empty()) {
            all.push_back(std::move(line));
        }
    }
    return all;
}

} // namespace

TEST(SSHInvocation, RealSshAcceptsTheArgumentsAndTheWrapper) {
    testing_support::TempDir home;
    const auto& h = home.path();
    ASSERT_TRUE(writeFileAtomically(h + "/.ssh/id_test", "not read by ssh -G\n"));
    // The user's own file tries to turn connection sharing on: the wrapper's values come first and win.
    ASSERT_TRUE(writeFileAtomically(h + "/.ssh/config",
                                    "Host db.example.org\n  HostKeyAlias from-home-config\n"
                                    "  ControlMaster auto\n  BatchMode yes\n"));
    ASSERT_TRUE(writeFileAtomically(h + "/system_config", "Host *\n  TCPKeepAlive no\n"));

    SSHCommandBuilder b(SSHCommandBuilder::defaultExecutable, true, h);
    b.systemConfigFile = h + "/system_config";
    b.wrapperURL = h + "/runtime/com.tolvan.burrowlight.ssh_config";
    ASSERT_TRUE(b.writeWrapperConfig());

    auto tunnel = tunnelTo("db.example.org");
    tunnel.port = 2222;
    tunnel.user = "alice";
    tunnel.identityFile = "~/.ssh/id_test";
    tunnel.certificateFile = "~/.ssh/id_test-cert.pub";
    tunnel.jumpHosts = "jump1, me@jump2:2200";
    tunnel.options = {{Uuid::random(), "compression", "yes"}};
    tunnel.forwards = {
        forward(Forward::Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("db.internal", 80)),
        forward(Forward::Kind::local, Endpoint::tcp("::1", 8081), Endpoint::socket("/var/run/db.sock")),
        forward(Forward::Kind::local, Endpoint::socket("~/run/db.sock"), Endpoint::tcp("localhost", 5432)),
        forward(Forward::Kind::remote, Endpoint::tcp("", 9000), Endpoint::tcp("localhost", 3000)),
        forward(Forward::Kind::remote, Endpoint::socket("~/r.sock"), Endpoint::socket("~/l.sock")),
        forward(Forward::Kind::dynamic, Endpoint::tcp("localhost", 1080)),
        forward(Forward::Kind::remoteDynamic, Endpoint::tcp("", 1082)),
    };
    const auto invocation = invocationOf(b, tunnel);

    Words arguments{"-G"};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    const auto result =
        runCapturingOutput(invocation.executable, arguments, {"HOME=" + h, "PATH=/usr/bin:/bin"});
    ASSERT_EQ(result.status, 0) << result.output;

    const Words expected{"user alice",
                         "hostname db.example.org",
                         "port 2222",
                         "proxyjump jump1,me@jump2:2200",
                         "identityfile " + h + "/.ssh/id_test",
                         "certificatefile " + h + "/.ssh/id_test-cert.pub",
                         "compression yes",
                         "localforward 8080 [db.internal]:80",
                         "localforward [::1]:8081 /var/run/db.sock",
                         "localforward " + h + "/run/db.sock [localhost]:5432",
                         "remoteforward 9000 [localhost]:3000",
                         "remoteforward ~/r.sock " + h + "/l.sock",
                         "dynamicforward [localhost]:1080",
                         "remoteforward 1082 [socks]:0",
                         "serveraliveinterval 30",
                         "connecttimeout 15",
                         "exitonforwardfailure yes",
                         "loglevel DEBUG",
                         "controlmaster false",
                         "controlpersist no",
                         "batchmode no",
                         "clearallforwardings no",
                         "requesttty false",
                         "forkafterauthentication no",
                         "hostkeyalias from-home-config",
                         "tcpkeepalive no"};
    const auto seen = lines(result.output);
    const std::set<std::string> read(seen.begin(), seen.end());
    for (const auto& line : expected) {
        EXPECT_TRUE(read.contains(line)) << "ssh -G did not report: " << line << "\n" << result.output;
    }
}
