// The askpass helper's dialog, run offscreen, and its handling of the answers against a real secret
// service: this test runs inside with-secret-service.sh, with a throwaway keyring.
// clang-format off
// GLib's headers name a field "signals", which Qt defines as a word of its own: GLib first.
#include "SecretServiceControl.h"
#include "ThrowawayKeyring.h"
// clang-format on

#include "Burrowlight/AppIdentity.h"
#include "Burrowlight/AskPassHelper.h"
#include "Platform/LibsecretBackend.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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

const QString hostKeyIntroduction =
    QStringLiteral("This is the first connection to this server, or its address changed. Check that the "
                   "fingerprint matches the server's before trusting it.");

const std::string newHostPrompt =
    "The authenticity of host '[127.0.0.1]:2222 ([127.0.0.1]:2222)' can't be established.\n"
    "ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA.\n"
    "This key is not known by any other names.\n"
    "Are you sure you want to continue connecting (yes/no/[fingerprint])? ";
const std::string passphrasePrompt = "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ";
const std::string keyedPasswordPrompt = "alice@db.example.com's password: ";

AskPassRequest request(const std::string& prompt, std::optional<std::string_view> hint = std::nullopt) {
    return AskPassRequest(prompt, hint);
}

AskPassQuestion question(const std::string& prompt, bool savedWasRefused = false,
                         std::optional<std::string_view> hint = std::nullopt) {
    return {request(prompt, hint), QStringLiteral("office"), savedWasRefused};
}

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

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class AskPassHelperTests : public QObject {
    Q_OBJECT

    std::shared_ptr<platform::secrets::LibsecretBackend> backend =
        std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier);
    tunnelkit::SecretStore store{bundleIdentifier, backend};

    std::vector<std::string> storedAccounts() const {
        return backend->accounts(bundleIdentifier).value_or(std::vector<std::string>{});
    }

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::runsInThrowawayKeyring(), "run through tests/support/with-secret-service.sh");
        QApplication::setWindowIcon(appIcon());
    }

    void fingerprintLinesKeepOnlyTheFingerprints() {
        QCOMPARE(
            AskPassHelper::fingerprintLines(QString::fromStdString(newHostPrompt)),
            QStringLiteral("ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA."));
        QCOMPARE(AskPassHelper::fingerprintLines(
                     QStringLiteral("Host key for x:\n\nRSA KEY FINGERPRINT IS MD5:aa\n"
                                    "\nThe server's Key Fingerprint: SHA256:bb\nok?")),
                 QStringLiteral("RSA KEY FINGERPRINT IS MD5:aa\nThe server's Key Fingerprint: SHA256:bb"));
        QCOMPARE(
            AskPassHelper::fingerprintLines(QStringLiteral(
                "Warning: the ED25519 host key for 'db' differs from the key for the IP address '10.0.0.5'\n"
                "Are you sure you want to continue connecting (yes/no)? ")),
            QString());
    }

    void hostKeyQuestionShowsTheFingerprintAndAnswersYesOrNo() {
        const auto model = AskPassDialogModel::make(question(newHostPrompt));
        QCOMPARE(model.message, QStringLiteral("Trust the server of “office”?"));
        QCOMPARE(
            model.informativeText,
            hostKeyIntroduction +
                QStringLiteral(
                    "\n\nED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA."));
        QCOMPARE(model.acceptTitle, QStringLiteral("Trust and Connect"));
        QCOMPARE(model.rejectTitle, QStringLiteral("Cancel"));
        QVERIFY(!model.showsSecretField());
        QCOMPARE(model.accepted(QStringLiteral("ignored"), true), AskPassOutcome::yes());
        QCOMPARE(model.refused(), AskPassOutcome::no());

        const auto changed =
            AskPassDialogModel::make(question("Host key changed. Continue connecting (yes/no)? "));
        QCOMPARE(changed.informativeText, hostKeyIntroduction + QStringLiteral("\n\n"));
    }

    void confirmationShowsThePromptUnchanged() {
        const std::string prompt =
            "  Allow use of key /home/alice/.ssh/id_ed25519?\nKey fingerprint SHA256:cc\n";
        const auto model = AskPassDialogModel::make(question(prompt, false, "confirm"));
        QCOMPARE(model.message, QStringLiteral("office"));
        QCOMPARE(model.informativeText, QString::fromStdString(prompt));
        QCOMPARE(model.acceptTitle, QStringLiteral("Allow"));
        QCOMPARE(model.rejectTitle, QStringLiteral("Deny"));
        QVERIFY(!model.showsSecretField());
        QCOMPARE(model.accepted(QString(), false), AskPassOutcome::yes());
        QCOMPARE(model.refused(), AskPassOutcome::cancelled());
    }

    void secretQuestionsOfferRememberingOnlyWithAKey() {
        const auto passphrase = AskPassDialogModel::make(question(passphrasePrompt));
        QCOMPARE(passphrase.message, QStringLiteral("Key passphrase for “office”"));
        QCOMPARE(passphrase.informativeText,
                 QStringLiteral("Enter passphrase for key '/home/alice/.ssh/id_ed25519':"));
        QCOMPARE(passphrase.acceptTitle, QStringLiteral("Connect"));
        QCOMPARE(passphrase.rejectTitle, QStringLiteral("Cancel"));
        QVERIFY(passphrase.showsRememberBox());
        QCOMPARE(passphrase.accepted(QStringLiteral("pw"), true),
                 AskPassOutcome::answer(QStringLiteral("pw"), true));
        QCOMPARE(passphrase.refused(), AskPassOutcome::cancelled());

        const auto keyed = AskPassDialogModel::make(question(keyedPasswordPrompt));
        QCOMPARE(keyed.message, QStringLiteral("Password for “office”"));
        QCOMPARE(keyed.informativeText, QStringLiteral("alice@db.example.com's password:"));
        QVERIFY(keyed.showsRememberBox());

        const auto unkeyed = AskPassDialogModel::make(question("\n Password: \n"));
        QCOMPARE(unkeyed.kind, Kind::password);
        QCOMPARE(unkeyed.informativeText, QStringLiteral("Password:"));
        QVERIFY(unkeyed.showsSecretField());
        QVERIFY(!unkeyed.showsRememberBox());
        QCOMPARE(unkeyed.accepted(QStringLiteral("pw"), true),
                 AskPassOutcome::answer(QStringLiteral("pw"), false));

        const auto code = AskPassDialogModel::make(question("(alice@db) Verification code: "));
        QCOMPARE(code.kind, Kind::text);
        QCOMPARE(code.message, QStringLiteral("office"));
        QCOMPARE(code.informativeText, QStringLiteral("(alice@db) Verification code:"));
        QCOMPARE(code.acceptTitle, QStringLiteral("Connect"));
        QVERIFY(code.showsSecretField());
        QVERIFY(!code.showsRememberBox());

        const auto empty = AskPassDialogModel::make(question(""));
        QCOMPARE(empty.kind, Kind::text);
        QCOMPARE(empty.informativeText, QString());
    }

    void refusedSavedSecretIsSaidUnderThePrompt() {
        const auto model = AskPassDialogModel::make(question(passphrasePrompt, true));
        QCOMPARE(
            model.informativeText,
            QStringLiteral(
                "Enter passphrase for key '/home/alice/.ssh/id_ed25519':\n\nThe saved one wasn't accepted."));
        QVERIFY(model.showsRememberBox());
        const auto text = AskPassDialogModel::make(question("Token: ", true));
        QCOMPARE(text.informativeText, QStringLiteral("Token:\n\nThe saved one wasn't accepted."));
    }

    void hostKeyDialogButtons() {
        const auto trusting = AskPassHelper::makeAlert(question(newHostPrompt));
        trusting->show();
        QCOMPARE(trusting->messageLabel().text(), QStringLiteral("Trust the server of “office”?"));
        QVERIFY(trusting->informativeLabel().text().endsWith(
            QStringLiteral("\n\nED25519 key fingerprint is "
                           "SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA.")));
        QCOMPARE(trusting->acceptButton()->text(), QStringLiteral("Trust and Connect"));
        QCOMPARE(trusting->rejectButton()->text(), QStringLiteral("Cancel"));
        QVERIFY(!trusting->secretField());
        QVERIFY(!trusting->rememberBox());
        QVERIFY(!trusting->accessoryView());
        QVERIFY(trusting->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        click(trusting->acceptButton());
        QVERIFY(!trusting->isVisible());
        QCOMPARE(trusting->outcome(), AskPassOutcome::yes());

        const auto cancelling = AskPassHelper::makeAlert(question(newHostPrompt));
        cancelling->show();
        click(cancelling->rejectButton());
        QCOMPARE(cancelling->outcome(), AskPassOutcome::no());

        const auto escaping = AskPassHelper::makeAlert(question(newHostPrompt));
        escaping->show();
        QTest::keyClick(escaping.get(), Qt::Key_Escape);
        QVERIFY(!escaping->isVisible());
        QCOMPARE(escaping->outcome(), AskPassOutcome::no());
    }

    void confirmationDialogButtons() {
        const auto allowing = AskPassHelper::makeAlert(question("Allow?", false, "confirm"));
        allowing->show();
        QCOMPARE(allowing->messageLabel().text(), QStringLiteral("office"));
        QCOMPARE(allowing->informativeLabel().text(), QStringLiteral("Allow?"));
        QCOMPARE(allowing->acceptButton()->text(), QStringLiteral("Allow"));
        QCOMPARE(allowing->rejectButton()->text(), QStringLiteral("Deny"));
        QVERIFY(!allowing->secretField());
        click(allowing->acceptButton());
        QCOMPARE(allowing->outcome(), AskPassOutcome::yes());

        const auto denying = AskPassHelper::makeAlert(question("Allow?", false, "confirm"));
        denying->show();
        click(denying->rejectButton());
        QCOMPARE(denying->outcome(), AskPassOutcome::cancelled());

        const auto closing = AskPassHelper::makeAlert(question("Allow?", false, "confirm"));
        closing->show();
        closing->close();
        QCOMPARE(closing->outcome(), AskPassOutcome::cancelled());
    }

    void passphraseDialogTakesTheTypedSecretAndTheBox() {
        const auto dialog = AskPassHelper::makeAlert(question(passphrasePrompt));
        dialog->show();
        QCOMPARE(dialog->messageLabel().text(), QStringLiteral("Key passphrase for “office”"));
        QCOMPARE(dialog->informativeLabel().text(),
                 QStringLiteral("Enter passphrase for key '/home/alice/.ssh/id_ed25519':"));
        QCOMPARE(dialog->acceptButton()->text(), QStringLiteral("Connect"));
        QCOMPARE(dialog->rejectButton()->text(), QStringLiteral("Cancel"));
        QVERIFY(dialog->acceptButton()->isDefault());
        QVERIFY(dialog->secretField());
        QVERIFY(dialog->rememberBox());
        QCOMPARE(dialog->secretField()->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog->rememberBox()->text(), QStringLiteral("Remember in keyring"));
        QVERIFY(dialog->rememberBox()->isChecked());
        QCOMPARE(dialog->accessoryView()->size(), QSize(300, 50));
        QCOMPARE(dialog->secretField()->geometry(), QRect(0, 0, 300, 24));
        QCOMPARE(dialog->rememberBox()->geometry(), QRect(0, 32, 300, 18));
        QCOMPARE(dialog->focusWidget(), dialog->secretField());

        QTest::keyClicks(dialog->secretField(), QStringLiteral("passphrase 1"));
        click(dialog->acceptButton());
        QCOMPARE(dialog->outcome(), AskPassOutcome::answer(QStringLiteral("passphrase 1"), true));

        const auto unticked = AskPassHelper::makeAlert(question(passphrasePrompt));
        unticked->show();
        QTest::keyClicks(unticked->secretField(), QStringLiteral("once"));
        click(unticked->rememberBox());
        QVERIFY(!unticked->rememberBox()->isChecked());
        QTest::keyClick(unticked->secretField(), Qt::Key_Return);
        QVERIFY(!unticked->isVisible());
        QCOMPARE(unticked->outcome(), AskPassOutcome::answer(QStringLiteral("once"), false));

        const auto cancelled = AskPassHelper::makeAlert(question(passphrasePrompt));
        cancelled->show();
        QTest::keyClicks(cancelled->secretField(), QStringLiteral("typed"));
        click(cancelled->rejectButton());
        QCOMPARE(cancelled->outcome(), AskPassOutcome::cancelled());

        const auto empty = AskPassHelper::makeAlert(question(passphrasePrompt));
        empty->show();
        click(empty->acceptButton());
        QCOMPARE(empty->outcome(), AskPassOutcome::answer(QString(), true));
    }

    void passwordDialogWithAndWithoutKey() {
        const auto keyed = AskPassHelper::makeAlert(question(keyedPasswordPrompt, true));
        keyed->show();
        QCOMPARE(keyed->messageLabel().text(), QStringLiteral("Password for “office”"));
        QCOMPARE(keyed->informativeLabel().text(),
                 QStringLiteral("alice@db.example.com's password:\n\nThe saved one wasn't accepted."));
        QVERIFY(keyed->rememberBox());
        QVERIFY(keyed->rememberBox()->isChecked());
        QTest::keyClicks(keyed->secretField(), QStringLiteral("new one"));
        click(keyed->acceptButton());
        QCOMPARE(keyed->outcome(), AskPassOutcome::answer(QStringLiteral("new one"), true));

        const auto unkeyed = AskPassHelper::makeAlert(question("Password: "));
        unkeyed->show();
        QVERIFY(unkeyed->secretField());
        QVERIFY(!unkeyed->rememberBox());
        QCOMPARE(unkeyed->accessoryView()->size(), QSize(300, 24));
        QCOMPARE(unkeyed->secretField()->geometry(), QRect(0, 0, 300, 24));
        QTest::keyClicks(unkeyed->secretField(), QStringLiteral("pw"));
        click(unkeyed->acceptButton());
        QCOMPARE(unkeyed->outcome(), AskPassOutcome::answer(QStringLiteral("pw"), false));
    }

    void textDialogShowsTheTunnelNameAsPlainText() {
        const auto dialog = AskPassHelper::makeAlert(
            {request("<b>Verification code:</b> "), QStringLiteral("<i>db</i> & co"), false});
        dialog->show();
        QCOMPARE(dialog->messageLabel().text(), QStringLiteral("<i>db</i> & co"));
        QCOMPARE(dialog->messageLabel().textFormat(), Qt::PlainText);
        QCOMPARE(dialog->informativeLabel().text(), QStringLiteral("<b>Verification code:</b>"));
        QCOMPARE(dialog->informativeLabel().textFormat(), Qt::PlainText);
        QCOMPARE(dialog->acceptButton()->text(), QStringLiteral("Connect"));
        QVERIFY(dialog->secretField());
        QVERIFY(!dialog->rememberBox());
        QTest::keyClicks(dialog->secretField(), QStringLiteral("123456"));
        click(dialog->acceptButton());
        QCOMPARE(dialog->outcome(), AskPassOutcome::answer(QStringLiteral("123456"), false));
    }

    void dialogCarriesTheApplicationIcon() {
        const auto dialog = AskPassHelper::makeAlert(question(passphrasePrompt));
        QVERIFY2(!appIcon().pixmap(64, 64).isNull(), "the icon resource and the SVG support are there");
        QVERIFY(!trayIcon().pixmap(22, 22).isNull());
        QVERIFY(!dialog->findChildren<QLabel*>().isEmpty());
        bool hasIcon = false;
        for (const auto* label : dialog->findChildren<QLabel*>()) {
            hasIcon = hasIcon || !label->pixmap().isNull();
        }
        QVERIFY(hasIcon);
    }

    void askRunsTheDialogAboveOtherWindows() {
        bool wasOnTop = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<AskPassDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            wasOnTop = dialog->isVisible() && dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            QTest::keyClicks(dialog->secretField(), QStringLiteral("typed"));
            click(dialog->acceptButton());
        });
        QCOMPARE(AskPassHelper::ask(question(keyedPasswordPrompt)),
                 AskPassOutcome::answer(QStringLiteral("typed"), true));
        QVERIFY(wasOnTop);
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
        AskPassHelper::restoreDisplay();
        QVERIFY(!std::getenv("DISPLAY"));
        ::setenv("BURROWLIGHT_DISPLAY", ":42", 1);
        AskPassHelper::restoreDisplay();
        QCOMPARE(QString::fromLatin1(std::getenv("DISPLAY")), QStringLiteral(":42"));
        ::unsetenv("DISPLAY");
        ::unsetenv("BURROWLIGHT_DISPLAY");
    }

    void refusalLineNamesTheApplication() {
        QCOMPARE(AskPassHelper::refusalLine(),
                 std::string("Burrowlight: askpass refused, not started by Burrowlight through ssh\n"));
        QCOMPARE(AskPassHelper::secretLabel(QStringLiteral("office")), QStringLiteral("Burrowlight: office"));
    }

    void savedSecretAnswersOncePerAttempt() {
        testing_support::TempDir folder;
        const auto tunnel = Uuid::random();
        const SecretKey key{SecretKind::passphrase, "/home/alice/.ssh/id_ed25519"};
        QVERIFY(store.save("saved phrase", tunnel, key, "Burrowlight: office"));
        QCOMPARE(AskPassHelper::savedSecret(tunnel, key, store), std::optional<std::string>("saved phrase"));
        QCOMPARE(AskPassHelper::savedSecret(std::nullopt, key, store), std::optional<std::string>());

        const auto attempt = Uuid::random();
        const auto context =
            contextOf({"burrowlight", passphrasePrompt}, {{"BURROWLIGHT_TUNNEL_ID", tunnel.toString()},
                                                          {"BURROWLIGHT_ATTEMPT", attempt.toString()},
                                                          {"BURROWLIGHT_STATE_DIR", folder.file("askpass")}});
        QVERIFY(AskPassHelper::decide(context, store) == AskPassDecision::answer("saved phrase"));
        QVERIFY2(AskPassHelper::decide(context, store) == AskPassDecision::ask(true),
                 "asked again in the same attempt: the saved one was refused");

        auto nextAttempt = context;
        nextAttempt.attempt = Uuid::random();
        QVERIFY(AskPassHelper::decide(nextAttempt, store) == AskPassDecision::answer("saved phrase"));

        auto withoutTunnel = context;
        withoutTunnel.tunnel.reset();
        withoutTunnel.attempt = Uuid::random();
        QVERIFY(AskPassHelper::decide(withoutTunnel, store) == AskPassDecision::ask(false));

        auto withoutLedger = context;
        withoutLedger.ledger.reset();
        QVERIFY(AskPassHelper::decide(withoutLedger, store) == AskPassDecision::ask(false));
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

        QVERIFY(AskPassHelper::settle(AskPassOutcome::yes(), password, store) == answered("yes"));
        QVERIFY(AskPassHelper::settle(AskPassOutcome::no(), password, store) == answered("no"));

        const auto once = AskPassOutcome::answer(QStringLiteral("not kept"), false);
        QVERIFY(AskPassHelper::settle(once, password, store) == answered("not kept"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{});

        QVERIFY(store.save("old", tunnel, key, "Burrowlight: old name"));
        const auto kept = AskPassOutcome::answer(QStringLiteral("nëw"), true);
        QVERIFY(AskPassHelper::settle(kept, password, store) == answered("nëw"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{key});
        QCOMPARE(store.secret(tunnel, key), std::optional<std::string>("nëw"));

        const auto unkeyed = contextOf({"burrowlight", "Password: "}, variables);
        QVERIFY(AskPassHelper::settle(AskPassOutcome::answer(QStringLiteral("x"), true), unkeyed, store) ==
                answered("x"));
        QCOMPARE(store.keys(tunnel), std::vector<SecretKey>{key});

        auto withoutTunnel = password;
        withoutTunnel.tunnel.reset();
        const auto accountsBefore = storedAccounts();
        QVERIFY(AskPassHelper::settle(kept, withoutTunnel, store) == answered("nëw"));
        QCOMPARE(storedAccounts(), accountsBefore);
        QCOMPARE(ledger.isCancelled(attempt), false);

        QVERIFY(AskPassHelper::settle(AskPassOutcome::answer(QString(), false), password, store) ==
                answered(""));

        auto withoutAttempt = password;
        withoutAttempt.attempt.reset();
        QVERIFY(AskPassHelper::settle(AskPassOutcome::cancelled(), withoutAttempt, store) == cancelledReply);
        QVERIFY(!std::filesystem::exists(folder.file("askpass")));

        QVERIFY(AskPassHelper::settle(AskPassOutcome::cancelled(), password, store) == cancelledReply);
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
        QVERIFY(AskPassHelper::settle(AskPassOutcome::answer(QStringLiteral("typed"), true), context,
                                      store) == answered("typed"));
    }
};

QTEST_MAIN(AskPassHelperTests)
#include "AskPassHelperTests.moc"
