// The askpass dialog's contents and answers as values, without a window.
#include "Burrowlight/AskPass/AskPassAnswers.h"
#include "Burrowlight/AskPass/AskPassDialogModel.h"
#include "TunnelKit/Tunnel.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::AskPassRequest;
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

AskPassQuestion question(const std::string& prompt, bool savedWasRefused = false,
                         std::optional<std::string_view> hint = std::nullopt) {
    return {AskPassRequest(prompt, hint), QStringLiteral("office"), savedWasRefused};
}

} // namespace

class AskPassDialogModelTests : public QObject {
    Q_OBJECT

  private slots:
    void fingerprintLinesKeepOnlyTheFingerprints() {
        QCOMPARE(
            AskPassDialogModel::fingerprintLines(QString::fromStdString(newHostPrompt)),
            QStringLiteral("ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA."));
        QCOMPARE(AskPassDialogModel::fingerprintLines(
                     QStringLiteral("Host key for x:\n\nRSA KEY FINGERPRINT IS MD5:aa\n"
                                    "\nThe server's Key Fingerprint: SHA256:bb\nok?")),
                 QStringLiteral("RSA KEY FINGERPRINT IS MD5:aa\nThe server's Key Fingerprint: SHA256:bb"));
        QCOMPARE(
            AskPassDialogModel::fingerprintLines(QStringLiteral(
                "Warning: the ED25519 host key for 'db' differs from the key for the IP address '10.0.0.5'\n"
                "Are you sure you want to continue connecting (yes/no)? ")),
            QString());
    }

    void hostKeyQuestionShowsTheFingerprintAndAnswersYesOrNo() {
        const auto model = AskPassDialogModel::make(question(newHostPrompt));
        QCOMPARE(model.message, QStringLiteral("Trust the server of “\u2068office\u2069”?"));
        QCOMPARE(model.informativeText, hostKeyIntroduction);
        QCOMPARE(
            model.sshLines,
            QStringLiteral("ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA."));
        QCOMPARE(model.acceptTitle, QStringLiteral("Trust and Connect"));
        QCOMPARE(model.rejectTitle, QStringLiteral("Cancel"));
        QVERIFY(!model.showsSecretField());
        QCOMPARE(model.accepted(QStringLiteral("ignored"), true), AskPassOutcome::yes());
        QCOMPARE(model.refused(), AskPassOutcome::no());

        const auto changed =
            AskPassDialogModel::make(question("Host key changed. Continue connecting (yes/no)? "));
        QCOMPARE(changed.informativeText, hostKeyIntroduction);
        QCOMPARE(changed.sshLines, QString());
    }

    // The question is about the tunnel's server, never about the application.
    void anUnnamedTunnelIsAskedAboutByItsHost() {
        tunnelkit::Tunnel tunnel = tunnelkit::Tunnel::created();
        tunnel.host = "db.example.com";
        const auto variables =
            tunnelkit::AskPassEnvironment::variables("/a", tunnel, tunnelkit::Uuid::random(), "/s");
        std::string program = "burrowlight";
        std::string prompt = newHostPrompt;
        char* argv[] = {program.data(), prompt.data(), nullptr};
        const auto context =
            AskPassContext::read(2, argv, [&](const char* name) -> std::optional<std::string> {
                const auto found = variables.find(name);
                return found == variables.end() ? std::nullopt : std::optional(found->second);
            });
        const auto model = AskPassDialogModel::make({context.request, context.tunnelName, false});
        QCOMPARE(model.message, QStringLiteral("Trust the server of “\u2068db.example.com\u2069”?"));
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
        QCOMPARE(passphrase.message, QStringLiteral("Key passphrase for “\u2068office\u2069”"));
        QCOMPARE(passphrase.informativeText,
                 QStringLiteral("Enter passphrase for key '/home/alice/.ssh/id_ed25519':"));
        QCOMPARE(passphrase.acceptTitle, QStringLiteral("Connect"));
        QCOMPARE(passphrase.rejectTitle, QStringLiteral("Cancel"));
        QVERIFY(passphrase.showsRememberBox());
        QCOMPARE(passphrase.accepted(QStringLiteral("pw"), true),
                 AskPassOutcome::answer(QStringLiteral("pw"), true));
        QCOMPARE(passphrase.refused(), AskPassOutcome::cancelled());

        const auto keyed = AskPassDialogModel::make(question(keyedPasswordPrompt));
        QCOMPARE(keyed.message, QStringLiteral("Password for “\u2068office\u2069”"));
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
};

QTEST_GUILESS_MAIN(AskPassDialogModelTests)
#include "AskPassDialogModelTests.moc"
