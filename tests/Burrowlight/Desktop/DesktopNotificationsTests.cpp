#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/DesktopNotifications.h"
#include "PrivateBuses.h"
#include "StandInNotificationServer.h"

#include <QDBusServiceWatcher>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>

using namespace burrowlight;
using testing_support::NotifyCall;
using testing_support::StandInNotificationServer;

namespace {

std::optional<bool> askAuthorization(DesktopNotifications& notifications) {
    std::optional<bool> answer;
    notifications.checkAuthorization([&](bool authorized) { answer = authorized; });
    if (!QTest::qWaitFor([&] { return answer.has_value(); })) {
        qWarning("no answer to the authorization check");
    }
    return answer;
}

const NotifyCall* callWithBody(const StandInNotificationServer& server, const QString& body) {
    const auto& calls = server.notifyCalls();
    const auto found =
        std::find_if(calls.begin(), calls.end(), [&](const NotifyCall& call) { return call.body == body; });
    return found == calls.end() ? nullptr : &*found;
}

} // namespace

class DesktopNotificationsTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void authorizedOnlyWhileAServerAnswers() {
        const AppLogRecorder log;
        DesktopNotifications notifications(QString::fromLatin1(bundleIdentifier));
        QCOMPARE(askAuthorization(notifications), false);
        notifications.post(QStringLiteral("tunnel-1"), QStringLiteral("db"),
                           QStringLiteral("Couldn't connect."));
        notifications.post(QStringLiteral("tunnel-2"), QStringLiteral("web"),
                           QStringLiteral("Couldn't connect."));
        QCOMPARE(askAuthorization(notifications), false);
        QCOMPARE(log.count(QStringLiteral("No notification server answers")), 1);

        const StandInNotificationServer server;
        QVERIFY(server.isRegistered());
        QCOMPARE(askAuthorization(notifications), true);
        QCOMPARE(server.notifyCalls().size(),
                 size_t(0)); // what was posted without a server is not shown late

        const QString nowhere = QStringLiteral("nowhere");
        {
            DesktopNotifications withoutABus(
                QString::fromLatin1(bundleIdentifier),
                QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), nowhere));
            QCOMPARE(askAuthorization(withoutABus), false);
        }
        QDBusConnection::disconnectFromBus(nowhere);
    }

    void oneNotificationPerKeyEvenWhenPostsFollowClosely() {
        const StandInNotificationServer server;
        DesktopNotifications notifications(QString::fromLatin1(bundleIdentifier));
        QCOMPARE(askAuthorization(notifications), true);
        const QString db = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301");
        // The second post comes while the first is on its way, before its id is known: it must
        // still replace it, not add a second notification.
        notifications.post(db, QStringLiteral("db"), QStringLiteral("Connected. 2 forwards"));
        notifications.post(db, QStringLiteral("db"), QStringLiteral("Connection lost, reconnecting…"));
        notifications.post(QStringLiteral("web"), QStringLiteral("web"), QStringLiteral("Couldn't connect."));
        QTRY_COMPARE(server.notifyCalls().size(), size_t(3));
        QCOMPARE(server.shown().size(), 2);

        const NotifyCall* first = callWithBody(server, QStringLiteral("Connected. 2 forwards"));
        const NotifyCall* second = callWithBody(server, QStringLiteral("Connection lost, reconnecting…"));
        QVERIFY(first && second);
        QCOMPARE(first->replacesId, 0u);
        QCOMPARE(second->replacesId, first->id);
        QCOMPARE(callWithBody(server, QStringLiteral("Couldn't connect."))->replacesId, 0u);
        QCOMPARE(first->summary, QStringLiteral("db"));
        QCOMPARE(first->appIcon, QStringLiteral("com.tolvan.burrowlight"));
        QCOMPARE(first->hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("com.tolvan.burrowlight"));
        QVERIFY(first->actions.isEmpty());
        QCOMPARE(first->expireTimeout, -1);

        notifications.post(db, QStringLiteral("db"), QStringLiteral("Connected. No forwards"));
        QTRY_COMPARE(server.notifyCalls().size(), size_t(4));
        QCOMPARE(server.notifyCalls().back().replacesId, first->id);
        QCOMPARE(server.shown().size(), 2);
    }

    void closingTakesItAwayAndTheNextPostIsNew() {
        const StandInNotificationServer server;
        DesktopNotifications notifications(QString::fromLatin1(bundleIdentifier));
        notifications.post(QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("one"));
        QTRY_COMPARE(server.shown().size(), 1);
        const uint shownId = server.shown().firstKey();
        notifications.close(QStringLiteral("a"));
        QTRY_COMPARE(server.closeCalls(), std::vector<uint>{shownId});
        QVERIFY(server.shown().isEmpty());

        // Closed while its post is still on the way: closed once the id is known.
        notifications.post(QStringLiteral("b"), QStringLiteral("b"), QStringLiteral("two"));
        notifications.close(QStringLiteral("b"));
        QTRY_COMPARE(server.closeCalls().size(), size_t(2));
        QVERIFY(server.shown().isEmpty());

        notifications.post(QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("three"));
        QTRY_COMPARE(server.shown().size(), 1);
        QCOMPARE(server.notifyCalls().back().replacesId, 0u);
    }

    void bodiesStayPlainTextAndANewServerStartsAfresh() {
        DesktopNotifications notifications(QString::fromLatin1(bundleIdentifier));
        const QString body = QStringLiteral("ssh: <b>bad</b> & worse");
        uint oldId = 0;
        {
            const StandInNotificationServer server({QStringLiteral("body"), QStringLiteral("body-markup")});
            notifications.post(QStringLiteral("r&d"), QStringLiteral("R&D <prod>"), body);
            QTRY_COMPARE(server.notifyCalls().size(), size_t(1));
            QCOMPARE(server.notifyCalls()[0].body, QStringLiteral("ssh: &lt;b&gt;bad&lt;/b&gt; &amp; worse"));
            QCOMPARE(server.notifyCalls()[0].summary, QStringLiteral("R&D <prod>"));
            oldId = server.notifyCalls()[0].id;
        }
        // A server that starts anew numbers from the start again: the old id could be anyone's.
        QDBusServiceWatcher watcher(QStringLiteral("org.freedesktop.Notifications"),
                                    QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForRegistration);
        QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
        auto plainServer = std::make_unique<StandInNotificationServer>();
        QVERIFY(plainServer->isRegistered());
        QVERIFY(registered.wait()); // the notifications client, on the same connection, has seen it too
        notifications.post(QStringLiteral("r&d"), QStringLiteral("R&D <prod>"), body);
        QTRY_COMPARE(plainServer->notifyCalls().size(), size_t(1));
        QCOMPARE(plainServer->notifyCalls()[0].body, body);
        QCOMPARE(plainServer->notifyCalls()[0].replacesId, 0u);
        QVERIFY(oldId != 0);
    }
};

QTEST_GUILESS_MAIN(DesktopNotificationsTests)
#include "DesktopNotificationsTests.moc"
