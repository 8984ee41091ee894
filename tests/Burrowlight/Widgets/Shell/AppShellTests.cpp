// The shell over a real model in a throwaway home: which windows a launch opens, the commands that
// wait for the terms of use, and what other launches ask of the running one.
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/MainWindow/AboutWindow.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"

#include <QApplication>
#include <QTest>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

namespace {

using Windows = std::vector<WindowId>;

Windows visibleWindows(const WindowRouter& router) {
    Windows shown;
    for (const auto id : allWindowIds) {
        if (router.window(id) && router.window(id)->isVisible()) {
            shown.push_back(id);
        }
    }
    return shown;
}

enum class Terms { none, older, current };
// Not stored: the registered default, the entry shown.
enum class TaskbarEntry { unset, shown, hidden };

void acceptTerms(AppShell& shell) {
    auto* terms = qobject_cast<TermsWindow*>(shell.router().open(WindowId::terms));
    QVERIFY(terms);
    terms->model().setAcceptsTerms(true);
    terms->model().setApprovesLiability(true);
    terms->model().accept();
    QVERIFY(shell.model().termsAccepted());
}

} // namespace

Q_DECLARE_METATYPE(Terms)
Q_DECLARE_METATYPE(Windows)
Q_DECLARE_METATYPE(TaskbarEntry)

class AppShellTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void launchOpens_data() {
        QTest::addColumn<Terms>("terms");
        QTest::addColumn<bool>("onboardingCompleted");
        QTest::addColumn<TaskbarEntry>("taskbarEntry");
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<Windows>("expected");
        using enum TaskbarEntry;
        QTest::newRow("first run") << Terms::none << false << unset << true << Windows{WindowId::terms};
        QTest::newRow("older terms") << Terms::older << true << unset << true << Windows{WindowId::terms};
        QTest::newRow("onboarding not finished")
            << Terms::current << false << hidden << true << Windows{WindowId::onboarding};
        QTest::newRow("taskbar entry off") << Terms::current << true << hidden << true << Windows{};
        QTest::newRow("taskbar entry off, no tray")
            << Terms::current << true << hidden << false << Windows{WindowId::main};
        QTest::newRow("taskbar entry never set")
            << Terms::current << true << unset << true << Windows{WindowId::main};
    }

    void launchOpens() {
        QFETCH(Terms, terms);
        QFETCH(bool, onboardingCompleted);
        QFETCH(TaskbarEntry, taskbarEntry);
        QFETCH(bool, trayAvailable);
        QFETCH(Windows, expected);
        ThrowawayHome home;
        if (terms == Terms::current) {
            home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        } else if (terms == Terms::older) {
            home.settings.storage().setValue(QStringLiteral("termsAcceptedVersion"),
                                             QStringLiteral("2026-01-07.1"));
        }
        if (onboardingCompleted) {
            home.settings.setOnboardingCompleted(true);
        }
        if (taskbarEntry != TaskbarEntry::unset) {
            home.settings.setShowsDockIcon(taskbarEntry == TaskbarEntry::shown);
        }

        AppShell shell(home.settings, home.alerts, home.parts(), trayAvailable);
        shell.launch();
        QCOMPARE(visibleWindows(shell.router()), expected);
    }

    void aboutShowsTheCreditsInOneWindowEvenBeforeTheTerms() {
        ThrowawayHome home;
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.actions().about.trigger();
        AboutWindow* about = shell.aboutWindow();
        QVERIFY(about && about->isVisible());
        QVERIFY(about->credits().toPlainText().contains(QStringLiteral("libsecret")));
        shell.actions().about.trigger();
        QCOMPARE(shell.aboutWindow(), about);
    }

    void gatedCommandsOnlyBringUpTheTermsWindow() {
        ThrowawayHome home;
        auto tunnel = tunnelkit::Tunnel::created();
        tunnel.host = "127.0.0.1";
        tunnel.port = testing_support::freeLoopbackPort();
        home.storeTunnels({tunnel});
        AppShell shell(home.settings, home.alerts, home.parts(), true);

        shell.actions().newTunnel.trigger();
        QVERIFY(!shell.model().requestsNewTunnel());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});
        shell.actions().connectAll.trigger();
        shell.actions().importFromSSHConfig.trigger();
        QVERIFY(!shell.model().requestsConfigImport());
        QCOMPARE(shell.model().controller().state(tunnel.id), tunnelkit::TunnelState::disconnected());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});

        acceptTerms(shell);
        // The main window opens and takes each request up.
        shell.actions().newTunnel.trigger();
        QVERIFY(shell.router().window(WindowId::main)->isVisible());
        QVERIFY(!shell.model().requestsNewTunnel());
        QVERIFY(shell.model().drafts().newTunnel());
        shell.actions().importFromSSHConfig.trigger();
        QVERIFY(!shell.model().requestsConfigImport());
        QVERIFY2(shell.model().openMainWindow(), "the main window handed its opener to the model");
        QVERIFY(!shell.actions().checkForUpdates.isVisible());
    }

    void filesWaitForTheTermsAndOnlyArchivesAreImported() {
        ThrowawayHome home;
        const auto archive = QString::fromStdString(home.folder.file("shared.burrowlight"));
        auto shared = tunnelkit::Tunnel::created();
        shared.host = "shared.example.com";
        QFile file(archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray::fromStdString(tunnelkit::TunnelArchive::make({shared}, shared.createdAt).encoded()));
        file.close();
        QVERIFY(QFile::copy(archive, QString::fromStdString(home.folder.file("shared.BURROWLIGHT"))));
        AppShell shell(home.settings, home.alerts, home.parts(), true);

        shell.delegate().openFiles({archive});
        QVERIFY(home.alerts.shown.empty());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});

        acceptTerms(shell);
        shell.delegate().openFiles({QString::fromStdString(home.folder.file("shared.BURROWLIGHT"))});
        QVERIFY(home.alerts.shown.empty());
        shell.delegate().openFiles({archive});
        QCOMPARE(home.alerts.shown.size(), size_t(1));
        QVERIFY2(shell.model().controller().tunnels().empty(), "the user did not agree");
    }

    void reopeningOpensTheMainWindowOnlyAfterAcceptance() {
        ThrowawayHome home;
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.delegate().reopen();
        QCOMPARE(visibleWindows(shell.router()), Windows{});

        home.settings.setOnboardingCompleted(true);
        home.settings.setShowsDockIcon(false);
        acceptTerms(shell);
        QCOMPARE(visibleWindows(shell.router()), Windows{});
        shell.delegate().reopen();
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::main});
    }
};

QTEST_MAIN(AppShellTests)
#include "AppShellTests.moc"
