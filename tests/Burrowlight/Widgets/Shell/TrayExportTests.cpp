// The tray menu as a panel gets it: with a StatusNotifierWatcher on the session bus, Qt registers the
// icon as a StatusNotifierItem and exports the menu over com.canonical.dbusmenu. A stand-in watcher
// of the test's own takes the registration; the test reads the menu with GetLayout and clicks a
// toggle with Event, as a panel does, against the tests' sshd. Run through with-private-buses.sh
// and with-xvfb.sh.
#include "Burrowlight/Widgets/Shell/AppTray.h"
#include "PanelMenu.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"
#include "StandInStatusNotifierWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

using testing_support::callMenu;
using testing_support::layout;
using testing_support::MenuNode;

class TrayExportTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("BURROWLIGHT_NO_X_SERVER")) {
            QSKIP(qPrintable(QStringLiteral("no X server for the tray: ") +
                             qEnvironmentVariable("BURROWLIGHT_NO_X_SERVER")));
        }
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
        panel_ = std::make_unique<testing_support::StandInStatusNotifierWatcher>();
        QVERIFY(panel_->isRegistered());
    }

    void cleanupTestCase() { panel_.reset(); }

    void aPanelReadsAndClicksTheMenu() {
        ThrowawayHome home;
        home.startServer();
        auto tunnel = home.client->tunnel({});
        tunnel.name = "R&D test_server";
        tunnel.tags = {"lab"};
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        AppTray tray(model, {});
        tray.showIcon();
        QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
        QTRY_COMPARE(panel_->items().size(), 1);
        const QString item = panel_->items().front();

        auto menu = layout(panel_->connection(), item);
        QVERIFY2(menu, "GetLayout answered");
        // dbusmenu's own escapes: "_" marks the access key, "__" is one "_".
        QCOMPARE(menu->labels(),
                 (QStringList{"R_&D test__server\nNot Connected", "—", "Connect All", "Disconnect All",
                              "Tags", "—", "Open Burrowlight", "Buy Me a Coffee", "Report a Problem…", "—",
                              "Quit Burrowlight"}));
        const MenuNode& toggle = menu->children.front();
        QCOMPARE(toggle.properties.value("toggle-type").toString(), QStringLiteral("checkmark"));
        QCOMPARE(toggle.properties.value("toggle-state").toInt(), 0);
        QVERIFY(!toggle.properties.contains("icon-data"));
        QVERIFY(menu->child("Connect All")->properties.contains("icon-data"));
        QCOMPARE(menu->child("Disconnect All")->properties.value("enabled", true).toBool(), false);
        const MenuNode* tags = menu->child("Tags");
        QCOMPARE(tags->properties.value("children-display").toString(), QStringLiteral("submenu"));
        QCOMPARE(tags->labels(), QStringList{"lab"});
        QCOMPARE(tags->children.front().labels(), (QStringList{"Connect All", "Disconnect All"}));

        // As a panel does: it announces the menu, then sends the click.
        callMenu(panel_->connection(), item, QStringLiteral("AboutToShow"), {0});
        QVERIFY(callMenu(panel_->connection(), item, QStringLiteral("Event"),
                         {toggle.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u}));
        QTRY_VERIFY_WITH_TIMEOUT(model.controller().state(tunnel.id).isConnected(), 20'000);
        QTRY_VERIFY(
            layout(panel_->connection(), item)->children.front().properties.value("toggle-state").toInt() ==
            1);
        menu = layout(panel_->connection(), item);
        QCOMPARE(menu->children.front().label(), QStringLiteral("R_&D test__server\nNo forwards"));
        QCOMPARE(menu->child("Connect All")->properties.value("enabled", true).toBool(), false);
        model.shutdown();
    }

  private:
    std::unique_ptr<testing_support::StandInStatusNotifierWatcher> panel_;
};

QTEST_MAIN(TrayExportTests)
#include "TrayExportTests.moc"
