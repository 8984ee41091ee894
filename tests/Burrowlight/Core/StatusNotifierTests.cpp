#include "Burrowlight/Core/StatusNotifier.h"
#include "PrivateBuses.h"
#include "StandInNotificationServer.h"

#include <QTest>

using namespace burrowlight;
using testing_support::StandInNotificationServer;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::TunnelProblem;
using tunnelkit::TunnelState;

namespace {

tunnelkit::Tunnel tunnelWithTwoForwards() {
    auto tunnel = tunnelkit::Tunnel::created();
    tunnel.name = "db";
    tunnel.host = "db.example.com";
    for (int port : {8080, 8081}) {
        tunnel.forwards.push_back(Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                                Endpoint::tcp("localhost", port), Endpoint::tcp("db", 5432),
                                                ""));
    }
    return tunnel;
}

const auto connected = TunnelState::connected(tunnelkit::currentDate());
const auto retrying = TunnelState::retrying(1, tunnelkit::currentDate());

} // namespace

class StatusNotifierTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void oneTunnelsNotificationsReplaceEachOther() {
        const StandInNotificationServer server;
        QVERIFY(server.isRegistered());
        StatusNotifier notifier;
        const auto db = tunnelWithTwoForwards();

        notifier.tunnelStateChanged(TunnelState::connecting(), connected, db, std::nullopt);
        QTRY_COMPARE(server.notifyCalls().size(), size_t(1));
        QVERIFY(notifier.authorized());
        QCOMPARE(server.notifyCalls()[0].summary, QStringLiteral("db"));
        QCOMPARE(server.notifyCalls()[0].body, QStringLiteral("Connected. 2 forwards"));

        notifier.tunnelStateChanged(TunnelState::connecting(), retrying, db, std::nullopt);
        notifier.tunnelStateChanged(connected, TunnelState::disconnecting(), db, std::nullopt);
        notifier.tunnelStateChanged(connected, retrying, db, std::nullopt);
        QTRY_COMPARE(server.notifyCalls().size(), size_t(2));
        QCOMPARE(server.notifyCalls()[1].body, QStringLiteral("Connection lost, reconnecting…"));
        QCOMPARE(server.notifyCalls()[1].replacesId, server.notifyCalls()[0].id);

        notifier.tunnelStateChanged(retrying, TunnelState::failed(), db, TunnelProblem::exited(255));
        QTRY_COMPARE(server.notifyCalls().size(), size_t(3));
        QCOMPARE(server.notifyCalls()[2].body, QStringLiteral("ssh stopped unexpectedly (status 255)."));
        QCOMPARE(server.shown().size(), 1);

        auto unnamed = tunnelWithTwoForwards();
        unnamed.name.clear();
        unnamed.host.clear();
        unnamed.forwards.clear();
        notifier.tunnelStateChanged(TunnelState::connecting(), connected, unnamed, std::nullopt);
        notifier.tunnelStateChanged(TunnelState::connecting(), TunnelState::failed(), unnamed, std::nullopt);
        QTRY_COMPARE(server.notifyCalls().size(), size_t(5));
        QCOMPARE(server.notifyCalls()[3].summary, QStringLiteral("Untitled Tunnel"));
        QCOMPARE(server.notifyCalls()[3].body, QStringLiteral("Connected. No forwards"));
        QCOMPARE(server.notifyCalls()[4].body, QStringLiteral("Couldn't connect."));
        QCOMPARE(server.shown().size(), 2);
    }
};

QTEST_GUILESS_MAIN(StatusNotifierTests)
#include "StatusNotifierTests.moc"
