// The askpass helper's answers against a real secret service: this test runs inside
// with-secret-service.sh, with a throwaway keyring.
// clang-format off
// GLib's headers name a field "signals", which Qt defines as a word of its own: GLib first.
#include "SecretServiceControl.h"
#include "ThrowawayKeyring.h"
// clang-format on

#include "Burrowlight/AskPass/AskPassAnswers.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Platform/LibsecretBackend.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"

#include <QTest>
#include <filesystem>
#include <map>

using namespace burrowlight;
using tunnelkit::AskPassDecision;
using tunnelkit::AskPassLedger;
using tunnelkit::AskPassRequest;
using tunnelkit::SecretKey;
using tunnelkit::SecretKind;
using tunnelkit::Uuid;
using Kind = AskPassRequest::Kind;

namespace {

const std::string passphrasePrompt = "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ";
const std::string keyedPasswordPrompt = "alice@db.example.com's password: ";

// The helper's command line and environment, as ssh would start it.
AskPassContext contextOf(std::vector<std::string> arguments,
                         const std::map<std::string, std::string>& variables) {
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return AskPassContext::read(static_cast<int>(arguments.size()), argv.data(),
                                [&](const char* name) -> std::optional<std::string> {
                                    if (const auto found = variables.find(name); found != variables.end()) {
                                        return found->second;
                                    }
                                    return std::nullopt;
                                });
}

AskPassReply answered(const std::string& text) {
    return {text, 0};
}
const AskPassReply cancelledReply{std::nullopt, 1};

} // namespace

class AskPassAnswersTests : public QObject {
    Q_OBJECT

    std::shared_ptr<platform::secrets::LibsecretBackend> backend =
        std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier);
    tunnelkit::SecretStore store{bundleIdentifier, backend};

    std::vector<std::string> storedAccounts() const {
        return backend->accounts(bundleIdentifier).value_or(std::vector<std::string>{});
    }

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::runsInThrowawayKeyring(),
                 "run through tests/support/with-secret-service.sh");
    }

    void contextFromTheCommandLineAndTheEnvironment() {
        const auto tunnel = Uuid::random();
        const auto attempt = Uuid::random();
        const auto full = contextOf(
            {"burrowlight", "Allow?", "ignored"},
            {{"SSH_ASKPASS_PROMPT", "confirm"},
             {"BURROWLIGHT_TUNNEL_ID", tunnel.toString()},
             {"BURROWLIGHT_ATTEMPT", QString::fromStdString(attempt.toString()).toLower().toStdString()},
             {"BURROWLIGHT_STATE_DIR", "/state/askpass"},
             {"BURROWLIGHT_TUNNEL_NAME", "Büro"}});
        QVERIFY(full.request == AskPassRequest::of(Kind::confirmation, "Allow?"));
        QCOMPARE(full.tunnel, std::optional(tunnel));
        QCOMPARE(full.attempt, std::optional(attempt));
        QVERIFY(full.ledger);
        QCOMPARE(full.ledger->directory(), std::string("/state/askpass"));
        QCOMPARE(full.tunnelName, QStringLiteral("Büro"));

        const auto bare = contextOf({"burrowlight"}, {});
        QVERIFY(bare.request == AskPassRequest::of(Kind::text, ""));
        QVERIFY(!bare.tunnel);
        QVERIFY(!bare.attempt);
        QVERIFY(!bare.ledger);
        QCOMPARE(bare.tunnelName, appDisplayName());

        const auto malformed =
            contextOf({"burrowlight", keyedPasswordPrompt}, {{"BURROWLIGHT_TUNNEL_ID", "not-a-uuid"},
                                                             {"BURROWLIGHT_ATTEMPT", ""},
                                                             {"BURROWLIGHT_STATE_DIR", ""},
                                                             {"BURROWLIGHT_TUNNEL_NAME", ""}});
        QCOMPARE(malformed.request.kind, Kind::password);
        QVERIFY(!malformed.tunnel);
        QVERIFY(!malformed.attempt);
        QVERIFY(!malformed.ledger);
        QCOMPARE(malformed.tunnelName, QStringLiteral("Burrowlight"));
    }

    void displayComesBackFromItsOwnVariable() {
        ::unsetenv("DISPLAY");
        ::setenv("BURROWLIGHT_DISPLAY", "", 1);
        askpass::restoreDisplay();
        QVERIFY(!std::getenv("DISPLAY"));
        ::setenv("BURROWLIGHT_DISPLAY", ":42", 1);
        askpass::restoreDisplay();
        QCOMPARE(QString::fromLatin1(std::getenv("DISPLAY")), QStringLiteral(":42"));
        ::unsetenv("DISPLAY");
        ::unsetenv("BURROWLIGHT_DISPLAY");
    }

    void refusalLineNamesTheApplication() {
        QCOMPARE(askpass::refusalLine(),
                 std::string("Burrowlight: askpass refused, not started by Burrowlight through ssh\n"));
        QCOMPARE(askpass::secretLabel(QStringLiteral("office")), QStringLiteral("Burrowlight: office"));
    }

    void savedSecretAnswersOncePerAttempt() {
        testing_support::TempDir folder;
        const auto tunnel = Uuid::random();
        const SecretKey key{SecretKind::passphrase, "/home/alice/.ssh/id_ed25519"};
        QVERIFY(store.save("saved phrase", tunnel, key, "Burrowlight: office"));
        QCOMPARE(askpass::savedSecret(tunnel, key, store), std::optional<std::string>("saved phrase"));
        QCOMPARE(askpass::savedSecret(std::nullopt, key, store), std::optional<std::string>());

        const auto attempt = Uuid::random();
        const auto context =
            contextOf({"burrowlight", passphrasePrompt}, {{"BURROWLIGHT_TUNNEL_ID", tunnel.toString()},
                                                          {"BURROWLIGHT_ATTEMPT", attempt.toString()},
                                                          {"BURROWLIGHT_STATE_DIR", folder.file("askpass")}});
        QVERIFY(askpass::decide(context, store) == AskPassDecision::answer("saved phrase"));
        QVERIFY2(askpass::decide(context, store) == AskPassDecision::ask(true),
                 "asked again in the same attempt: the saved one was refused");

        auto nextAttempt = context;
        nextAttempt.attempt = Uuid::random();
        QVERIFY(askpass::decide(nextAttempt, store) == AskPassDecision::answer("saved phrase"));

        auto withoutTunnel = context;
        withoutTunnel.tunnel.reset();
        withoutTunnel.attempt = Uuid::random();
        QVERIFY(askpass::decide(withoutTunnel, store) == AskPassDecision::ask(false));

        auto withoutLedger = context;
        withoutLedger.ledger.reset();
        QVERIFY(askpass::decide(withoutLedger, store) == AskPassDecision::ask(false));
        store.deleteAll(tunnel);
    }

    void settlingRemembersAndMarksAsTheUserChose() {
        testing_support::TempDir folder;
        const auto tunnel = Uuid::random();
        const auto attempt = Uuid::random();
        const std::map<std::string, std::string> variables{{"BURROWLIGHT_TUNNEL_ID", tunnel.toString()},
                                                           {"BURROWLIGHT_ATTEMPT", attempt.toString()},
                                                           {"BURROWLIGHT_STATE_DIR", folder.file("askpass")},
                                                           {"BURROWLIGHT_TUNNEL_NAME", "office"}};
        const SecretKey key{SecretKind::password, "alice@db.example.com"};
        const auto password = contextOf({"burrowlight", keyedPasswordPrompt}, variables);
        const AskPassLedger ledger(folder.file("askpass"));

        QVERIFY(askpass::settle(AskPassOutcome::yes(), password, store) == answered("yes"));
        QVERIFY(askpass::settle(AskPassOutcome::no(), password, store) == answered("no"));

        const auto once = AskPassOutcome::answer(QStringLiteral("not kept"), false);
        QVERIFY(askpass::settle(once, password, store) == answered("not kept"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{});

        QVERIFY(store.save("old", tunnel, key, "Burrowlight: old name"));
        const auto kept = AskPassOutcome::answer(QStringLiteral("nëw"), true);
        QVERIFY(askpass::settle(kept, password, store) == answered("nëw"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{key});
        QCOMPARE(store.secret(tunnel, key), std::optional<std::string>("nëw"));

        const auto unkeyed = contextOf({"burrowlight", "Password: "}, variables);
        QVERIFY(askpass::settle(AskPassOutcome::answer(QStringLiteral("x"), true), unkeyed, store) ==
                answered("x"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{key});

        auto withoutTunnel = password;
        withoutTunnel.tunnel.reset();
        const auto accountsBefore = storedAccounts();
        QVERIFY(askpass::settle(kept, withoutTunnel, store) == answered("nëw"));
        QCOMPARE(storedAccounts(), accountsBefore);
        QCOMPARE(ledger.isCancelled(attempt), false);

        QVERIFY(askpass::settle(AskPassOutcome::answer(QString(), false), password, store) == answered(""));

        auto withoutAttempt = password;
        withoutAttempt.attempt.reset();
        QVERIFY(askpass::settle(AskPassOutcome::cancelled(), withoutAttempt, store) == cancelledReply);
        QVERIFY(!std::filesystem::exists(folder.file("askpass")));

        QVERIFY(askpass::settle(AskPassOutcome::cancelled(), password, store) == cancelledReply);
        QVERIFY(ledger.isCancelled(attempt));
        QVERIFY(!ledger.isCancelled(Uuid::random()));
        store.deleteAll(tunnel);
    }

    // Last: it leaves the keyring locked.
    void failedSaveStillAnswers() {
        const auto tunnel = Uuid::random();
        const auto context =
            contextOf({"burrowlight", keyedPasswordPrompt}, {{"BURROWLIGHT_TUNNEL_ID", tunnel.toString()}});
        const auto lockFailure = testing_support::lockDefaultCollection();
        QVERIFY2(!lockFailure, lockFailure ? lockFailure->c_str() : "");
        QVERIFY(askpass::settle(AskPassOutcome::answer(QStringLiteral("typed"), true), context, store) ==
                answered("typed"));
    }
};

QTEST_GUILESS_MAIN(AskPassAnswersTests)
#include "AskPassAnswersTests.moc"
