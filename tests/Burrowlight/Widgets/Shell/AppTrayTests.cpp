// The tray menu as Qt draws it, following the engine while it is open, and the quit paths of the
// running shell with the tip panel answered as a user would.
#include "Burrowlight/Widgets/Shell/AppTray.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTest>
#include <QTimer>

using namespace burrowlight;
using shell_testing::ThrowawayHome;
using tunnelkit::Tunnel;

namespace {

QAction* actionTitled(const QMenu& menu, const QString& text) {
    const auto actions = menu.actions();
    const auto found =
        std::ranges::find_if(actions, [&](const QAction* action) { return action->text().startsWith(text); });
    return found == actions.end() ? nullptr : *found;
}

// Answers the tip panel whenever it comes up, as a user would, and counts how often it did.
class TipPanelAnswers : public QObject {
  public:
    explicit TipPanelAnswers(bool takesTip) : takesTip_(takesTip) {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* panel = qobject_cast<TipPromptPanel*>(QApplication::activeModalWidget())) {
                ++shown;
                QVERIFY(panel->tipButton().isDefault());
                (takesTip_ ? static_cast<QPushButton&>(panel->tipButton()) : panel->notNowButton()).click();
            }
        });
        timer_.start();
    }

    int shown = 0;

  private:
    bool takesTip_;
    QTimer timer_;
};

// Takes the addresses the application hands to the desktop.
class Browser : public QObject {
    Q_OBJECT

  public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

enum class QuitBy { trayMenu, mainWindowMenu, signal, endOfSession };

// One run of the application over the home, until it quits the way asked: whether the tip panel
// came up. -1 when it did not quit.
int quitAndCountPanels(ThrowawayHome& home, QuitBy way, bool takesTip = false) {
    AppShell shell(home.settings, home.alerts, home.parts(), true);
    TipPanelAnswers answers(takesTip);
    QTimer::singleShot(0, &shell.model(), [&] {
        switch (way) {
        case QuitBy::trayMenu:
            actionTitled(shell.tray().menu(), QStringLiteral("Quit Burrowlight"))->trigger();
            break;
        case QuitBy::mainWindowMenu:
            shell.actions().quit.trigger();
            break;
        case QuitBy::signal:
            shell.termination().terminateNow();
            break;
        case QuitBy::endOfSession:
            QCoreApplication::quit();
            break;
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QApplication::exit(99); });
    deadline.start(20'000);
    // Quitting ends the event loop, as in the application.
    if (QApplication::exec() != 0 || !shell.termination().isTerminating()) {
        return -1;
    }
    return answers.shown;
}

} // namespace

class AppTrayTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void theMenuIsDrawnWithPlainActions() {
        ThrowawayHome home;
        auto research = Tunnel::created();
        research.name = "R&D";
        research.host = "rd.example.com";
        research.tags = {"lab"};
        home.storeTunnels({research});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        AppTray tray(model, {});
        QMenu& menu = tray.menu();
        tray.showIcon();

        QCOMPARE(tray.icon()->toolTip(), QStringLiteral("Burrowlight"));
        QVERIFY(tray.icon()->icon().isMask());
        QVERIFY(!tray.icon()->icon().pixmap(22, 22).isNull());
        QCOMPARE(tray.icon()->contextMenu(), &menu);
        QCOMPARE(menu.minimumWidth(), trayMenuMinimumWidth);
        QAction* toggle = menu.actions().at(0);
        QCOMPARE(toggle->text(), QStringLiteral("R&&D\tNot Connected"));
        QVERIFY(toggle->isCheckable() && !toggle->isChecked());
        QVERIFY(toggle->icon().isNull());
        QVERIFY(menu.actions().at(1)->isSeparator());
        QVERIFY(!actionTitled(menu, "Connect All")->icon().isNull());
        QAction* tags = actionTitled(menu, "Tags");
        QVERIFY(tags->menu());
        QMenu* lab = tags->menu()->actions().at(0)->menu();
        QCOMPARE(lab->title(), QStringLiteral("lab"));
        QVERIFY2(lab->actions().at(0)->icon().isNull(), "a tag's Connect All has no symbol");
        QVERIFY2(actionTitled(menu, "Quit Burrowlight")->shortcut().isEmpty(),
                 "a tray menu's keys do nothing");
        QCOMPARE(*tray.view().actionOf(actionTitled(menu, "Open Burrowlight")),
                 TrayMenuAction(tray::OpenMain{}));
    }

    // The menu stays open while the tunnel its toggle turned on connects, and shows it.
    void anOpenMenuFollowsTheEngine() {
        ThrowawayHome home;
        home.startServer();
        const Tunnel tunnel = home.client->tunnel({});
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        AppTray tray(model, {});
        QMenu& menu = tray.menu();
        menu.popup(QPoint(40, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QAction* toggle = menu.actions().at(0);

        toggle->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(toggle->text(), QStringLiteral("test server\tNo forwards"), 20'000);
        QVERIFY(toggle->isChecked());
        QVERIFY(model.controller().state(tunnel.id).isConnected());
        QVERIFY(menu.isVisible());
        QCOMPARE(menu.actions().at(0), toggle);
        QVERIFY(!actionTitled(menu, "Connect All")->isEnabled());

        model.controller().disconnectAll();
        QTRY_COMPARE(toggle->text(), QStringLiteral("test server\tNot Connected"));
        QVERIFY(!toggle->isChecked());
        model.shutdown();
    }

    void theTermsOnlyMenuQuitsWithoutTheTip() {
        ThrowawayHome home;
        QCOMPARE(quitAndCountPanels(home, QuitBy::trayMenu), 0);
    }

    void eachQuitCommandOffersTheTipUntilItIsTaken() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        QCOMPARE(quitAndCountPanels(home, QuitBy::signal), 0);
        QCOMPARE(quitAndCountPanels(home, QuitBy::endOfSession), 0);
        QCOMPARE(quitAndCountPanels(home, QuitBy::trayMenu), 1);
        QCOMPARE(quitAndCountPanels(home, QuitBy::mainWindowMenu), 1);
        QCOMPARE(home.settings.tipPageOpenedVersion(), std::nullopt);

        Browser browser;
        QCOMPARE(quitAndCountPanels(home, QuitBy::mainWindowMenu, true), 1);
        QCOMPARE(browser.opened, QList<QUrl>{tipPageURL()});
        QCOMPARE(home.settings.tipPageOpenedVersion(), std::optional(appVersion()));
        QCOMPARE(quitAndCountPanels(home, QuitBy::trayMenu), 0);
    }

    void buyMeACoffeeKeepsThePanelAway() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        Browser browser;
        {
            AppShell shell(home.settings, home.alerts, home.parts(), true);
            actionTitled(shell.tray().menu(), QStringLiteral("Buy Me a Coffee"))->trigger();
            QTRY_COMPARE(browser.opened.size(), 1);
            shell.actions().buyMeACoffee.trigger();
            QCOMPARE(browser.opened, (QList<QUrl>{tipPageURL(), tipPageURL()}));
        }
        QCOMPARE(quitAndCountPanels(home, QuitBy::trayMenu), 0);
    }

    void aQuitCancelledForUnsavedDraftsShowsNoPanel() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.model().drafts().beginNewTunnel(Tunnel::created());
        shell.model().drafts().newTunnel()->editTunnel(
            [](Tunnel& tunnel) { tunnel.host = "unsaved.example.com"; });
        home.alerts.answer = std::nullopt;
        TipPanelAnswers answers(false);
        QVERIFY(!shell.commands().quit());
        QCOMPARE(home.alerts.shown.size(), size_t(1));
        QCOMPARE(answers.shown, 0);
        QVERIFY(!shell.termination().isTerminating());
    }
};

QTEST_MAIN(AppTrayTests)
#include "AppTrayTests.moc"
