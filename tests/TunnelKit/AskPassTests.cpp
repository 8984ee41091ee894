#include "Platform/LinuxProcessTable.h"
#include "TempDir.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/Tunnel.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_set>

using namespace tunnelkit;
using Kind = AskPassRequest::Kind;

namespace {

// Prompts as the system's ssh writes them.
const std::string hostKeyPrompt =
    "The authenticity of host '[127.0.0.1]:22987 ([127.0.0.1]:22987)' can't be established.\n"
    "ED25519 key fingerprint is SHA256:SRQMV0GeevtCJ93aa1F7/zYEIguIru5uUKBv+qvzzl0.\n"
    "This key is not known by any other names.\n"
    "Are you sure you want to continue connecting (yes/no/[fingerprint])? ";
const std::string passphrasePrompt = "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ";
const std::string passwordPrompt = "alice@db.example.com's password: ";

Kind kindOf(const std::string& prompt, std::optional<std::string_view> hint = std::nullopt) {
    return AskPassRequest(prompt, hint).kind;
}

std::optional<SecretKey> keyOf(const std::string& prompt,
                               std::optional<std::string_view> hint = std::nullopt) {
    return AskPassRequest(prompt, hint).secretKey();
}

mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(AskPassRequest, ClassifiesTheSystemSshPrompts) {
    EXPECT_EQ(kindOf(hostKeyPrompt), Kind::hostKey);
    EXPECT_EQ(kindOf(passphrasePrompt), Kind::passphrase);
    EXPECT_EQ(kindOf(passwordPrompt), Kind::password);
    EXPECT_EQ(kindOf("(alice@db.example.com) Password: "), Kind::password);
    EXPECT_EQ(kindOf("(alice@db.example.com) Verification code: "), Kind::text);
    EXPECT_EQ(kindOf("Enter PIN for ED25519-SK key /home/alice/.ssh/id_ed25519_sk: "), Kind::text);
    EXPECT_EQ(kindOf("Allow use of key /home/alice/.ssh/id_ed25519?", "confirm"), Kind::confirmation);
}

TEST(AskPassRequest, RuleOrder) {
    EXPECT_EQ(kindOf("(alice@host) continue connecting (yes/no)? "), Kind::text)
        << "a parenthesis first wins over the host-key words";
    EXPECT_EQ(kindOf("(alice@host) PASSWORD for the host key (yes/no)?"), Kind::password);
    EXPECT_EQ(kindOf(hostKeyPrompt, "confirm"), Kind::hostKey) << "the host-key words win over the hint";
    EXPECT_EQ(kindOf("Are you sure (YES/NO)? "), Kind::hostKey) << "compared in lower case";
    EXPECT_EQ(kindOf(passphrasePrompt, "confirm"), Kind::confirmation);
    EXPECT_EQ(kindOf("Type the password to confirm", "confirm"), Kind::confirmation);
    EXPECT_EQ(kindOf("Type the password to confirm"), Kind::password);
    EXPECT_EQ(kindOf("Allow use of key?", "none"), Kind::text) << "only the hint \"confirm\" counts";
    EXPECT_EQ(kindOf("Allow use of key?", "Confirm"), Kind::text);
    EXPECT_EQ(kindOf("enter passphrase for key '/k': "), Kind::text)
        << "the passphrase prefix keeps its case";
    EXPECT_EQ(kindOf("Enter passphrase for key '/home/alice/password.key': "), Kind::passphrase);
    EXPECT_EQ(kindOf("Password:"), Kind::password);
    EXPECT_EQ(kindOf("PÄSSWORD? nein, Password bitte"), Kind::password);
    EXPECT_EQ(kindOf(""), Kind::text);
    EXPECT_EQ(kindOf("", "confirm"), Kind::confirmation);
}

TEST(AskPassRequest, KeepsThePromptUnchanged) {
    const AskPassRequest request("  " + passwordPrompt, std::nullopt);
    EXPECT_EQ(request, AskPassRequest::of(Kind::password, "  " + passwordPrompt));
    EXPECT_NE(request, AskPassRequest::of(Kind::text, "  " + passwordPrompt));
    EXPECT_NE(request, AskPassRequest::of(Kind::password, passwordPrompt));
}

TEST(AskPassRequest, PasswordKeys) {
    EXPECT_EQ(keyOf(passwordPrompt), (SecretKey{SecretKind::password, "alice@db.example.com"}));
    EXPECT_EQ(keyOf("(alice@db.example.com) Password: "),
              (SecretKey{SecretKind::password, "alice@db.example.com"}));
    EXPECT_EQ(keyOf(" \t(bob@h) Password (twice) "), (SecretKey{SecretKind::password, "bob@h"}))
        << "blanks trimmed, the first closing parenthesis ends the identity";
    EXPECT_EQ(keyOf("alice@h's password for alice@h's password: "),
              (SecretKey{SecretKind::password, "alice@h"}));
    EXPECT_EQ(keyOf("(no closing parenthesis's password: "),
              (SecretKey{SecretKind::password, "(no closing parenthesis"}));
    EXPECT_EQ(keyOf("Password:"), std::nullopt) << "never answered from a remembered secret";
    EXPECT_EQ(keyOf("() Password: "), std::nullopt) << "an empty identity is no key";
    EXPECT_EQ(keyOf("'s password: "), std::nullopt);
    EXPECT_EQ(keyOf("\nalice@h's password: "), (SecretKey{SecretKind::password, "\nalice@h"}))
        << "line breaks are not trimmed";
}

TEST(AskPassRequest, PassphraseKeysAndKeyPaths) {
    EXPECT_EQ(keyOf(passphrasePrompt), (SecretKey{SecretKind::passphrase, "/home/alice/.ssh/id_ed25519"}));
    EXPECT_EQ(keyOf("Enter passphrase for key '/home/alice/it's mine': "),
              (SecretKey{SecretKind::passphrase, "/home/alice/it's mine"}))
        << "the last quote closes the path";
    EXPECT_EQ(keyOf("Enter passphrase for key '/home/alice/.ssh/id_rsa"), std::nullopt)
        << "without a closing quote there is no key";
    EXPECT_EQ(keyOf("Enter passphrase for key '': "), std::nullopt);

    EXPECT_EQ(AskPassRequest::keyPath(passphrasePrompt), "/home/alice/.ssh/id_ed25519");
    EXPECT_EQ(AskPassRequest::keyPath("Enter passphrase for key '/k"), "");
    EXPECT_EQ(AskPassRequest::keyPath("Enter passphrase for '/k': "), "");
}

TEST(AskPassRequest, OtherQuestionsHaveNoKey) {
    EXPECT_EQ(keyOf(hostKeyPrompt), std::nullopt);
    EXPECT_EQ(keyOf("(alice@host) Verification code: "), std::nullopt);
    EXPECT_EQ(keyOf("alice@h's password: ", "confirm"), std::nullopt)
        << "a confirmation, even naming a password";
    EXPECT_EQ(keyOf(""), std::nullopt);
}

TEST(SecretKey, RawValuesAndListOrder) {
    EXPECT_EQ(rawValue(SecretKind::password), "password");
    EXPECT_EQ(rawValue(SecretKind::passphrase), "passphrase");
    EXPECT_EQ(secretKindFromRawValue("passphrase"), SecretKind::passphrase);
    EXPECT_EQ(secretKindFromRawValue("Password"), std::nullopt);
    EXPECT_EQ(secretKindFromRawValue("password "), std::nullopt);

    const SecretKey passwordA{SecretKind::password, "a@h"};
    const SecretKey passphraseZ{SecretKind::passphrase, "/z"};
    const SecretKey passphraseUpper{SecretKind::passphrase, "/Z"};
    EXPECT_LT(passphraseZ, passwordA) << "\"passphrase\" sorts before \"password\"";
    EXPECT_LT(passphraseUpper, passphraseZ) << "plain text comparison of identities";

    std::unordered_set<SecretKey> keys{passwordA, passphraseZ, SecretKey{SecretKind::password, "a@h"}};
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_NE((SecretKey{SecretKind::password, "x"}), (SecretKey{SecretKind::passphrase, "x"}));
}

TEST(AskPassEnvironment, SevenVariablesForAnAttempt) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "db über ssh";
    const auto attempt = Uuid::random();
    const auto variables = AskPassEnvironment::variables("/usr/bin/burrowlight", tunnel, attempt,
                                                         "/home/me/.local/share/x/askpass");
    const std::map<std::string, std::string> expected{
        {"SSH_ASKPASS", "/usr/bin/burrowlight"},
        {"SSH_ASKPASS_REQUIRE", "force"},
        {"BURROWLIGHT_ASKPASS", "1"},
        {"BURROWLIGHT_TUNNEL_ID", tunnel.id.toString()},
        {"BURROWLIGHT_TUNNEL_NAME", "db über ssh"},
        {"BURROWLIGHT_ATTEMPT", attempt.toString()},
        {"BURROWLIGHT_STATE_DIR", "/home/me/.local/share/x/askpass"},
    };
    EXPECT_EQ(variables, expected);
    EXPECT_EQ(variables.at("BURROWLIGHT_ATTEMPT").size(), 36u);
    EXPECT_EQ(variables.at("BURROWLIGHT_TUNNEL_ID"), tunnel.id.toString()) << "upper-case UUID text";

    tunnel.name.clear();
    tunnel.host = "db.example.com";
    EXPECT_EQ(AskPassEnvironment::variables("/a", tunnel, attempt, "/s").at("BURROWLIGHT_TUNNEL_NAME"),
              "db.example.com")
        << "an unnamed tunnel goes by its host";
    EXPECT_EQ(AskPassEnvironment::variables("/a", tunnel, attempt, "/s", ":1").at("BURROWLIGHT_DISPLAY"),
              ":1");
}

TEST(AskPassEnvironment, SshGetsNoDisplayButTheHelperCanRestoreIt) {
    const Tunnel tunnel = Tunnel::created();
    const auto attempt = Uuid::random();
    const std::map<std::string, std::string> base{
        {"DISPLAY", ":0"},
        {"WAYLAND_DISPLAY", "wayland-0"},
        {"XAUTHORITY", "/run/user/1000/xauth"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus"},
        {"SSH_ASKPASS", "/usr/lib/ssh/x11-ssh-askpass"},
        {"PATH", "/usr/bin:/bin"},
    };
    const auto environment =
        AskPassEnvironment::sshEnvironment(base, "/opt/burrowlight", tunnel, attempt, "/state");
    EXPECT_FALSE(environment.contains("DISPLAY"));
    EXPECT_EQ(environment.at("BURROWLIGHT_DISPLAY"), ":0");
    EXPECT_EQ(environment.at("WAYLAND_DISPLAY"), "wayland-0");
    EXPECT_EQ(environment.at("XAUTHORITY"), "/run/user/1000/xauth");
    EXPECT_EQ(environment.at("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/run/user/1000/bus");
    EXPECT_EQ(environment.at("PATH"), "/usr/bin:/bin");
    EXPECT_EQ(environment.at("SSH_ASKPASS"), "/opt/burrowlight") << "replaces an entry of the same name";
    EXPECT_EQ(environment.at("BURROWLIGHT_ATTEMPT"), attempt.toString());
    EXPECT_EQ(environment.size(), 12u) << "five kept, six added, SSH_ASKPASS replaced, the display carried";

    const auto withoutDisplay = AskPassEnvironment::sshEnvironment(
        {{"BURROWLIGHT_DISPLAY", ":7"}, {"HOME", "/home/me"}}, "/opt/burrowlight", tunnel, attempt, "/state");
    EXPECT_FALSE(withoutDisplay.contains("BURROWLIGHT_DISPLAY")) << "a stale value never reaches the helper";
    EXPECT_FALSE(withoutDisplay.contains("DISPLAY"));
}

namespace {

// A made-up process table: pid -> (parent, executable).
struct FakeProcesses final : ProcessTable {
    using Table = std::map<pid_t, std::pair<std::optional<pid_t>, std::optional<std::string>>>;
    FakeProcesses() = default;
    explicit FakeProcesses(Table table) : table(std::move(table)) {}

    Table table;
    mutable int pathLookups = 0;

    std::optional<pid_t> parentOf(pid_t pid) const override {
        auto found = table.find(pid);
        return found == table.end() ? std::nullopt : found->second.first;
    }
    std::optional<std::string> executablePath(pid_t pid) const override {
        ++pathLookups;
        auto found = table.find(pid);
        return found == table.end() ? std::nullopt : found->second.second;
    }
    std::vector<pid_t> processIDs() const override { return {}; }
    std::optional<uint64_t> startTime(pid_t) const override { return std::nullopt; }
    std::optional<std::vector<std::string>> commandLine(pid_t) const override { return std::nullopt; }
};

const std::string app = "/usr/bin/burrowlight";
constexpr int probeFoundTheApp = 42;
constexpr int probeFoundNothing = 43;
constexpr const char* probeVariable = "BURROWLIGHT_ORIGIN_PROBE";

// Started as the probe of AskPassOrigin.RealProcessTable, this binary reports and leaves before
// any test runs.
[[maybe_unused]] const bool probeReported = [] {
    if (std::getenv(probeVariable)) {
        std::_Exit(AskPassOrigin::isStartedByApp(platform::LinuxProcessTable()) ? probeFoundTheApp
                                                                                : probeFoundNothing);
    }
    return false;
}();

} // namespace

TEST(AskPassOrigin, AcceptsTheAppAsGrandparent) {
    FakeProcesses processes{{{500, {400, app}}, {400, {300, "/usr/bin/ssh"}}, {300, {1, app}}}};
    EXPECT_TRUE(AskPassOrigin::isStartedByApp(500, processes));
}

TEST(AskPassOrigin, RefusesWithoutTheSameExecutableAbove) {
    FakeProcesses terminal{
        {{500, {400, app}}, {400, {300, "/usr/bin/bash"}}, {300, {1, "/usr/bin/gnome-terminal"}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, terminal));

    FakeProcesses otherCopy{{{500, {400, app}}, {400, {300, "/usr/bin/ssh"}}, {300, {1, app + "-old"}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, otherCopy)) << "exact path equality";

    FakeProcesses unknownSelf{{{500, {400, std::nullopt}}, {400, {1, std::nullopt}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, unknownSelf))
        << "two unknown paths are not the same file";

    FakeProcesses initIsTheApp{{{500, {1, app}}, {1, {0, app}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, initIsTheApp)) << "pid 1 is never asked";
}

TEST(AskPassOrigin, UnreadableAncestorsAreWalkedPast) {
    FakeProcesses processes{{{500, {400, app}}, {400, {300, std::nullopt}}, {300, {1, app}}}};
    EXPECT_TRUE(AskPassOrigin::isStartedByApp(500, processes));

    FakeProcesses orphan{{{500, {400, app}}, {400, {std::nullopt, "/usr/bin/ssh"}}, {300, {1, app}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, orphan)) << "no parent ends the walk";
}

TEST(AskPassOrigin, WalksSixteenAncestorsAtMost) {
    auto chain = [](pid_t depth) {
        FakeProcesses processes;
        processes.table[1000] = {999, app};
        for (pid_t pid = 999; pid > 1000 - depth; --pid) {
            processes.table[pid] = {pid - 1, "/usr/bin/sh"};
        }
        processes.table[1000 - depth] = {1, app};
        return processes;
    };
    EXPECT_TRUE(AskPassOrigin::isStartedByApp(1000, chain(16)));
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(1000, chain(17)));
}

TEST(AskPassOrigin, ACycleEndsTheWalk) {
    FakeProcesses processes{{{500, {400, app}}, {400, {300, "/usr/bin/ssh"}}, {300, {400, "/usr/bin/sh"}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, processes));
    EXPECT_EQ(processes.pathLookups, 3) << "each process is asked once";

    FakeProcesses ownParent{{{500, {500, app}}}};
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(500, ownParent));
}

TEST(AskPassOrigin, RealProcessTable) {
    // This test process is no descendant of another copy of itself.
    EXPECT_FALSE(AskPassOrigin::isStartedByApp(platform::LinuxProcessTable()));

    // A copy of this test binary started through a shell, as ssh starts the helper, finds this
    // process two levels up; the copy reports what it found through its exit status.
    const auto self = platform::processes::ownExecutablePath();
    ASSERT_TRUE(self);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv(probeVariable, "1", 1);
        ::execl("/bin/sh", "sh", "-c", "\"$0\"; exit $?", self->c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), probeFoundTheApp)
        << "the copy started through sh saw this process as its origin";
}

TEST(AskPassLedger, MarkerNamesHoldTheAttemptAndADigest) {
    const auto attempt = *Uuid::parse("0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f0");
    const SecretKey password{SecretKind::password, "me@host"};
    EXPECT_EQ(AskPassLedger::digest(password),
              "b493adc55948691f1c6866390f063f2e70dfda8f32e6e264523f99a2af60eebb");
    EXPECT_EQ(AskPassLedger::markerName(password, attempt),
              "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0."
              "b493adc55948691f1c6866390f063f2e70dfda8f32e6e264523f99a2af60eebb");
    EXPECT_EQ(AskPassLedger::digest({SecretKind::passphrase, "/home/me/.ssh/id_ed25519"}),
              "32766d9cf1986e42539f79dee422adfa869b4579b4b25069a671854dfea39abc")
        << "the key path keeps its slashes";
    EXPECT_NE(AskPassLedger::digest({SecretKind::passphrase, "me@host"}), AskPassLedger::digest(password));
    EXPECT_EQ(AskPassLedger::cancelMarkerName(attempt), "0F1E2D3C-4B5A-4978-8695-A4B3C2D1E0F0.cancelled");
}

TEST(AskPassLedger, MarkersArePrivateAndKeepTheIdentityOutOfNames) {
    testing_support::TempDir root;
    const AskPassLedger ledger(root.file("app/askpass"));
    const auto attempt = Uuid::random();
    const SecretKey key{SecretKind::passphrase, "/home/me/.ssh/id_ed25519"};

    const auto oldMask = ::umask(0);
    const auto outcome = ledger.markUsed(key, attempt);
    ledger.markCancelled(attempt);
    ::umask(oldMask);

    EXPECT_EQ(outcome, AskPassLedger::MarkOutcome::marked);
    EXPECT_EQ(entriesOf(ledger.directory()),
              (std::set<std::string>{AskPassLedger::markerName(key, attempt),
                                     AskPassLedger::cancelMarkerName(attempt)}));
    for (const auto& name : entriesOf(ledger.directory())) {
        EXPECT_EQ(permissionsOf(ledger.directory() + "/" + name), 0600u)
            << name << ", even with an open umask";
        EXPECT_EQ(readFile(ledger.directory() + "/" + name), "") << "markers are empty";
        EXPECT_EQ(name.find("id_ed25519"), std::string::npos);
    }
    EXPECT_EQ(permissionsOf(ledger.directory()), 0700u) << "the folder is made private too";
}

TEST(AskPassLedger, MarkingTwiceInOneAttempt) {
    testing_support::TempDir folder;
    const AskPassLedger ledger(folder.path());
    const auto attempt = Uuid::random();
    const SecretKey key{SecretKind::password, "me@host"};
    EXPECT_EQ(ledger.markUsed(key, attempt), AskPassLedger::MarkOutcome::marked);
    EXPECT_EQ(ledger.markUsed(key, attempt), AskPassLedger::MarkOutcome::alreadyMarked);
    EXPECT_EQ(ledger.markUsed({SecretKind::passphrase, "me@host"}, attempt),
              AskPassLedger::MarkOutcome::marked);
    EXPECT_EQ(ledger.markUsed(key, Uuid::random()), AskPassLedger::MarkOutcome::marked);
}

TEST(AskPassLedger, CancelMarker) {
    testing_support::TempDir folder;
    const AskPassLedger ledger(folder.file("askpass"));
    const auto attempt = Uuid::random();
    EXPECT_FALSE(ledger.isCancelled(attempt)) << "no folder yet";
    ledger.markCancelled(attempt);
    ledger.markCancelled(attempt);
    EXPECT_TRUE(ledger.isCancelled(attempt)) << "a second cancel replaces the first";
    EXPECT_FALSE(ledger.isCancelled(Uuid::random()));
}

TEST(AskPassLedger, ClearingOneAttemptLeavesAnother) {
    testing_support::TempDir folder;
    const AskPassLedger ledger(folder.path());
    const auto first = Uuid::random();
    const auto second = Uuid::random();
    const SecretKey key{SecretKind::password, "me@host"};
    ledger.markUsed(key, first);
    ledger.markUsed({SecretKind::passphrase, "/k"}, first);
    ledger.markCancelled(first);
    ledger.markUsed(key, second);
    ledger.markCancelled(second);
    ASSERT_TRUE(writeFileAtomically(folder.file("unrelated"), ""));

    ledger.clear(first);
    EXPECT_EQ(entriesOf(folder.path()),
              (std::set<std::string>{AskPassLedger::markerName(key, second),
                                     AskPassLedger::cancelMarkerName(second), "unrelated"}));
    EXPECT_FALSE(ledger.isCancelled(first));
    EXPECT_TRUE(ledger.isCancelled(second));
    EXPECT_EQ(ledger.markUsed(key, first), AskPassLedger::MarkOutcome::marked) << "cleared, so offered again";

    AskPassLedger(folder.file("missing")).clear(first);
    EXPECT_FALSE(fileExists(folder.file("missing"))) << "clearing makes no folder";
}

namespace {

struct SavedSecrets {
    std::map<SecretKey, std::string> secrets;
    int lookups = 0;

    std::function<std::optional<std::string>(const SecretKey&)> lookup() {
        return [this](const SecretKey& key) -> std::optional<std::string> {
            ++lookups;
            auto found = secrets.find(key);
            return found == secrets.end() ? std::nullopt : std::optional(found->second);
        };
    }
};

const AskPassRequest passwordRequest(passwordPrompt, std::nullopt);
const SecretKey passwordKey{SecretKind::password, "alice@db.example.com"};

} // namespace

TEST(AskPassDecision, RememberedSecretOncePerAttempt) {
    testing_support::TempDir folder;
    const std::optional<AskPassLedger> ledger(std::in_place, folder.path());
    SavedSecrets saved{{{passwordKey, "hunter2"}}};
    const auto attempt = Uuid::random();

    EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, ledger, saved.lookup()),
              AskPassDecision::answer("hunter2"));
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, ledger, saved.lookup()),
              AskPassDecision::ask(true))
        << "ssh asked again, so the saved one was not accepted";
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, Uuid::random(), ledger, saved.lookup()),
              AskPassDecision::answer("hunter2"))
        << "a new attempt offers it again";

    const AskPassRequest passphrase(passphrasePrompt, std::nullopt);
    EXPECT_EQ(AskPassDecision::decide(passphrase, attempt, ledger, saved.lookup()),
              AskPassDecision::ask(false))
        << "nothing remembered for this key";
}

TEST(AskPassDecision, NoLookupWithoutKeyAttemptOrLedger) {
    testing_support::TempDir folder;
    const std::optional<AskPassLedger> ledger(std::in_place, folder.path());
    SavedSecrets saved{{{passwordKey, "hunter2"}}};

    EXPECT_EQ(AskPassDecision::decide(passwordRequest, std::nullopt, ledger, saved.lookup()),
              AskPassDecision::ask(false));
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, Uuid::random(), std::nullopt, saved.lookup()),
              AskPassDecision::ask(false));
    EXPECT_EQ(AskPassDecision::decide(AskPassRequest("Password:", std::nullopt), Uuid::random(), ledger,
                                      saved.lookup()),
              AskPassDecision::ask(false));
    EXPECT_EQ(AskPassDecision::decide(AskPassRequest(hostKeyPrompt, std::nullopt), Uuid::random(), ledger,
                                      saved.lookup()),
              AskPassDecision::ask(false));
    EXPECT_EQ(saved.lookups, 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "and nothing is marked";
}

TEST(AskPassDecision, WithoutASavedSecretNothingIsMarked) {
    testing_support::TempDir folder;
    const std::optional<AskPassLedger> ledger(std::in_place, folder.path());
    SavedSecrets saved;
    const auto attempt = Uuid::random();
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, ledger, saved.lookup()),
              AskPassDecision::ask(false));
    EXPECT_EQ(saved.lookups, 1);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    saved.secrets[passwordKey] = "saved during the attempt";
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, ledger, saved.lookup()),
              AskPassDecision::answer("saved during the attempt"));
}

TEST(AskPassDecision, AnUnusableLedgerIsNoLedger) {
    testing_support::TempDir folder;
    ASSERT_TRUE(writeFileAtomically(folder.file("a-file"), "x"));
    SavedSecrets saved{{{passwordKey, "hunter2"}}};
    const auto attempt = Uuid::random();

    const std::optional<AskPassLedger> underAFile(std::in_place, folder.file("a-file/askpass"));
    EXPECT_EQ(underAFile->markUsed(passwordKey, attempt), AskPassLedger::MarkOutcome::unavailable);
    EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, underAFile, saved.lookup()),
              AskPassDecision::ask(false))
        << "the folder can't be made: nothing was offered, so nothing was refused";

    if (::geteuid() != 0) {
        const std::optional<AskPassLedger> readOnly(std::in_place, folder.file("read-only"));
        ASSERT_TRUE(createDirectories(readOnly->directory(), 0500));
        EXPECT_EQ(AskPassDecision::decide(passwordRequest, attempt, readOnly, saved.lookup()),
                  AskPassDecision::ask(false));
    }
}
