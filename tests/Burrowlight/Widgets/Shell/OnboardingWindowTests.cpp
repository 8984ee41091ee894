// Onboarding in the running shell: its steps, its ways out, and the notification step against a
// notification server on the test's own bus.
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/OnboardingWindow.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"
#include "StandInNotificationServer.h"
#include "TunnelKit/FileIO.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

namespace {

enum class WayOut { importHosts, newTunnel, continueWithReturn };

// A user who accepted the terms and has not finished onboarding, with or without ~/.ssh/config.
struct FirstRun {
    ThrowawayHome home;
    std::unique_ptr<AppShell> shell;

    explicit FirstRun(bool hasSSHConfig = true) {
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        if (hasSSHConfig) {
            [&] {
                QVERIFY(tunnelkit::writeFileAtomically(home.folder.file("home/.ssh/config"), "Host db\n"));
            }();
        }
        shell = std::make_unique<AppShell>(home.settings, home.alerts, home.parts(), true);
        shell->launch();
    }

    OnboardingWindow* onboarding() const {
        return qobject_cast<OnboardingWindow*>(shell->router().window(WindowId::onboarding));
    }
    bool isOpen(WindowId id) const {
        return shell->router().window(id) && shell->router().window(id)->isVisible();
    }
};

} // namespace

Q_DECLARE_METATYPE(WayOut)

class OnboardingWindowTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void theImportStepNeedsAnSshConfiguration() {
        {
            FirstRun without(false);
            QVERIFY(without.onboarding());
            QCOMPARE(without.onboarding()->stepTitles(),
                     (QStringList{"Create a Tunnel", "Notifications", "Open at Login"}));
            QVERIFY(!without.onboarding()->importButton());
        }
        FirstRun with(true);
        QCOMPARE(with.onboarding()->stepTitles().size(), 4);
        QCOMPARE(with.onboarding()->stepTitles().front(), QStringLiteral("Bring Your Hosts"));
    }

    void everyWayOutCompletesOpensTheMainWindowAndCloses_data() {
        QTest::addColumn<WayOut>("wayOut");
        QTest::newRow("import") << WayOut::importHosts;
        QTest::newRow("new tunnel") << WayOut::newTunnel;
        QTest::newRow("Return") << WayOut::continueWithReturn;
    }

    void everyWayOutCompletesOpensTheMainWindowAndCloses() {
        QFETCH(WayOut, wayOut);
        FirstRun run;
        // The taskbar entry off: the main window opens all the same.
        run.home.settings.setShowsDockIcon(false);
        OnboardingWindow* window = run.onboarding();
        QVERIFY(window && window->isVisible());
        QVERIFY(!run.isOpen(WindowId::main));
        QSignalSpy importRequests(&run.shell->model(), &AppModel::requestsConfigImportChanged);
        QSignalSpy newTunnelRequests(&run.shell->model(), &AppModel::requestsNewTunnelChanged);
        switch (wayOut) {
        case WayOut::importHosts:
            QTest::mouseClick(window->importButton(), Qt::LeftButton);
            break;
        case WayOut::newTunnel:
            QTest::mouseClick(&window->newTunnelButton(), Qt::LeftButton);
            break;
        case WayOut::continueWithReturn:
            QTest::keyClick(window, Qt::Key_Return);
            break;
        }
        QVERIFY(run.home.settings.onboardingCompleted());
        QVERIFY(run.isOpen(WindowId::main));
        QTRY_VERIFY(!run.shell->router().isOpen(WindowId::onboarding));
        // The request was made and the main window took it up at once.
        QCOMPARE(importRequests.count(), wayOut == WayOut::importHosts ? 2 : 0);
        QCOMPARE(newTunnelRequests.count(), wayOut == WayOut::newTunnel ? 2 : 0);
        QVERIFY(!run.shell->model().requestsConfigImport() && !run.shell->model().requestsNewTunnel());
        QCOMPARE(run.shell->model().drafts().newTunnel() != nullptr, wayOut == WayOut::newTunnel);
    }

    void closingTheWindowLeavesOnboardingForNextTime() {
        FirstRun run;
        run.onboarding()->close();
        QTRY_VERIFY(!run.shell->router().isOpen(WindowId::onboarding));
        QVERIFY(!run.home.settings.onboardingCompleted());
        QVERIFY(!run.isOpen(WindowId::main));
    }

    void notificationsAreAllowedOnceAServerAnswers() {
        FirstRun run;
        OnboardingWindow* window = run.onboarding();
        QTRY_COMPARE(window->model().notifications(), OnboardingModel::Notifications::unavailable);
        QVERIFY(window->allowNotificationsButton().isVisible());

        testing_support::StandInNotificationServer server;
        QVERIFY(server.isRegistered());
        QTest::mouseClick(&window->allowNotificationsButton(), Qt::LeftButton);
        QTRY_VERIFY(window->notificationsAllowed().isVisible());
        QVERIFY(!window->allowNotificationsButton().isVisible());
        QVERIFY(!run.home.settings.onboardingCompleted());
    }
};

QTEST_MAIN(OnboardingWindowTests)
#include "OnboardingWindowTests.moc"
