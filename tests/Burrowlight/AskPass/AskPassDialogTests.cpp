// The askpass dialog, run offscreen.
#include "Burrowlight/AskPass/AskPassHelper.h"
#include "Burrowlight/Core/AppIcons.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

using namespace burrowlight;
using tunnelkit::AskPassRequest;

namespace {

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

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// On its box: a check box wider than its text takes no click beside the text.
void click(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    QTest::mouseClick(box, Qt::LeftButton, {},
                      box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center());
}

} // namespace

class AskPassDialogTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setWindowIcon(appIcon()); }

    void hostKeyDialogButtons() {
        const auto trusting = AskPassHelper::makeAlert(question(newHostPrompt));
        trusting->show();
        QCOMPARE(trusting->messageLabel().text(),
                 QStringLiteral("Trust the server of “\u2068office\u2069”?"));
        QCOMPARE(
            trusting->sshLinesLabel().text(),
            QStringLiteral("ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA."));
        QCOMPARE(QFontInfo(trusting->sshLinesLabel().font()).family(),
                 QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
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
        QCOMPARE(dialog->messageLabel().text(), QStringLiteral("Key passphrase for “\u2068office\u2069”"));
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
        QCOMPARE(keyed->messageLabel().text(), QStringLiteral("Password for “\u2068office\u2069”"));
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
        QTest::keyClicks(unkeyed->secretField(), QStringLiteral("pw"));
        click(unkeyed->acceptButton());
        QCOMPARE(unkeyed->outcome(), AskPassOutcome::answer(QStringLiteral("pw"), false));
    }

    void textDialogShowsTheTunnelNameAsPlainText() {
        const auto dialog = AskPassHelper::makeAlert(
            {request("<b>Verification code:</b> "), QStringLiteral("<i>db</i> & co"), false});
        dialog->show();
        QCOMPARE(dialog->messageLabel().text(), QStringLiteral("<i>db</i> & co"));
        QCOMPARE(dialog->informativeLabel().text(), QStringLiteral("<b>Verification code:</b>"));
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

    void everyTextFitsAtALargeFont() {
        const QFont original = QApplication::font();
        QFont large = original;
        large.setPointSizeF(original.pointSizeF() * 2.5);
        QApplication::setFont(large);
        const auto dialog = AskPassHelper::makeAlert(question(keyedPasswordPrompt));
        dialog->show();
        QApplication::setFont(original);
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        const QList<QWidget*> controls{dialog->rememberBox(), dialog->acceptButton(), dialog->rejectButton()};
        for (const QWidget* control : controls) {
            QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(control->objectName()));
            QVERIFY(control->height() >= control->sizeHint().height());
        }
        QVERIFY(dialog->secretField()->width() >
                dialog->secretField()->fontMetrics().averageCharWidth() * 30);
    }

    // The message stays on one line while the dialog fits in half the screen, and wraps there.
    void theMessageKeepsToOneLineWithinHalfTheScreen() {
        const int halfScreen = QGuiApplication::primaryScreen()->availableGeometry().width() / 2;
        const auto lines = [](const QWidget& text) {
            return text.height() / text.fontMetrics().lineSpacing();
        };
        const auto usual =
            AskPassHelper::makeAlert({request(passphrasePrompt), QStringLiteral("Staging db"), false});
        usual->show();
        QVERIFY(QTest::qWaitForWindowExposed(usual.get()));
        QCOMPARE(lines(usual->messageLabel()), 1);
        QVERIFY(usual->secretField()->width() >= 300);

        const QString longName = QString(QStringLiteral("replica ")).repeated(20).trimmed();
        const auto long_ = AskPassHelper::makeAlert({request(passphrasePrompt), longName, false});
        long_->show();
        QVERIFY(QTest::qWaitForWindowExposed(long_.get()));
        QVERIFY(lines(long_->messageLabel()) > 1);
        QVERIFY(long_->width() <= halfScreen);

        // A name of one long word breaks between its letters there.
        const auto word =
            AskPassHelper::makeAlert({request(passphrasePrompt), QString(80, QLatin1Char('w')), false});
        word->show();
        QVERIFY(QTest::qWaitForWindowExposed(word.get()));
        QVERIFY(word->width() <= halfScreen);
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
};

QTEST_MAIN(AskPassDialogTests)
#include "AskPassDialogTests.moc"
