// The tray menu as a panel gets it: with a StatusNotifierWatcher on the session bus, Qt registers the
// icon as a StatusNotifierItem and exports the menu over com.canonical.dbusmenu. A stand-in watcher
// of the test's own takes the registration; the test reads the menu with GetLayout and clicks a
// toggle with Event, as a panel does, against the tests' sshd. Run through with-private-buses.sh
// and with-xvfb.sh.
#include "Burrowlight/Widgets/Shell/AppTray.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

namespace {

// The panel's side of the tray protocol, on a thread of its own: Qt asks it synchronously whether a
// panel is there before it makes its first tray icon.
class StandInStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

  public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const {
        const QMutexLocker lock(&mutex_);
        return items_;
    }

  public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) {
        const QMutexLocker lock(&mutex_);
        items_.append(service);
    }
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}

  signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& service);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

  private:
    mutable QMutex mutex_;
    QStringList items_;
};

// One node of a dbusmenu layout.
struct MenuNode {
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;

    QString label() const { return properties.value(QStringLiteral("label")).toString(); }
    bool isSeparator() const { return properties.value(QStringLiteral("type")).toString() == "separator"; }
    const MenuNode* child(const QString& startOfLabel) const {
        const auto found = std::ranges::find_if(
            children, [&](const MenuNode& node) { return node.label().startsWith(startOfLabel); });
        return found == children.end() ? nullptr : &*found;
    }
    QStringList labels() const {
        QStringList shown;
        for (const auto& node : children) {
            shown.append(node.isSeparator() ? QStringLiteral("—") : node.label());
        }
        return shown;
    }
};

MenuNode readNode(const QDBusArgument& argument) {
    MenuNode node;
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.append(readNode(qvariant_cast<QDBusArgument>(child.variant())));
    }
    argument.endArray();
    argument.endStructure();
    return node;
}

// Calls the item's menu without blocking the GUI thread, which serves the call itself.
std::optional<QDBusMessage> callMenu(QDBusConnection& bus, const QString& service, const QString& method,
                                     const QVariantList& arguments) {
    auto call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"),
                                               QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(arguments);
    QDBusPendingCallWatcher pending(bus.asyncCall(call));
    if (!pending.isFinished()) {
        QSignalSpy finished(&pending, &QDBusPendingCallWatcher::finished);
        if (!finished.wait(10'000)) {
            return std::nullopt;
        }
    }
    return pending.reply();
}

std::optional<MenuNode> layout(QDBusConnection& bus, const QString& service) {
    const auto reply = callMenu(bus, service, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (!reply || reply->type() != QDBusMessage::ReplyMessage || reply->arguments().size() != 2) {
        return std::nullopt;
    }
    return readNode(qvariant_cast<QDBusArgument>(reply->arguments().at(1)));
}

} // namespace

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
        QVERIFY(panel_.connection().registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher_,
                                                   QDBusConnection::ExportAllContents));
        watcher_.moveToThread(&watcherThread_);
        watcherThread_.start();
        QVERIFY(panel_.connection().registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

    void cleanupTestCase() {
        watcherThread_.quit();
        watcherThread_.wait();
    }

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
        QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
        QTRY_COMPARE(watcher_.items().size(), 1);
        const QString item = watcher_.items().front();

        auto menu = layout(panel_.connection(), item);
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
        callMenu(panel_.connection(), item, QStringLiteral("AboutToShow"), {0});
        QVERIFY(callMenu(panel_.connection(), item, QStringLiteral("Event"),
                         {toggle.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u}));
        QTRY_VERIFY_WITH_TIMEOUT(model.controller().state(tunnel.id).isConnected(), 20'000);
        QTRY_VERIFY(
            layout(panel_.connection(), item)->children.front().properties.value("toggle-state").toInt() ==
            1);
        menu = layout(panel_.connection(), item);
        QCOMPARE(menu->children.front().label(), QStringLiteral("R_&D test__server\nNo forwards"));
        QCOMPARE(menu->child("Connect All")->properties.value("enabled", true).toBool(), false);
        model.shutdown();
    }

  private:
    testing_support::BusPeer panel_{QDBusConnection::SessionBus};
    QThread watcherThread_;
    StandInStatusNotifierWatcher watcher_;
};

QTEST_MAIN(TrayExportTests)
#include "TrayExportTests.moc"
