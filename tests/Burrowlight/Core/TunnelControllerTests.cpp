#include "Burrowlight/Core/AppModel.h"
#include "PrivateBuses.h"
#include "SSHServerFixture.h"
#include "ThrowawayAppHome.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

using ThrowawayHome = testing_support::ThrowawayAppHome;

class TunnelControllerTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void theTermsGateAsksForTheTermsUntilTheyAreAccepted() {
        ThrowawayHome home;
        AppModel model(home.settings, home.alerts, home.parts());

        QVERIFY(!model.controller().passesTermsGate());
        QVERIFY(model.termsWindow().isPending());

        int opened = 0;
        model.termsWindow().install([&opened] { ++opened; });
        QCOMPARE(opened, 1);
        model.setTermsAccepted(true);
        QVERIFY(model.controller().passesTermsGate());
        QCOMPARE(opened, 1);
    }

    // A tunnel asked to connect while its ssh is still ending waits to relaunch: not active by its
    // state, active by its connection, so toggling it disconnects.
    void aPendingRestartIsActiveForTogglingButNotForTheCount() {
        ThrowawayHome home;
        home.startServer();
        QVERIFY(home.server->isRunning());
        const Tunnel tunnel = home.launchTunnel();
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        TunnelController& controller = model.controller();
        QTRY_VERIFY_WITH_TIMEOUT(controller.state(tunnel.id).isConnected(), 20'000);
        QCOMPARE(controller.connectedTunnels(), 1);

        controller.disconnect({tunnel.id});
        controller.connect({tunnel.id});
        QCOMPARE(controller.state(tunnel.id), TunnelState::disconnecting());
        QCOMPARE(controller.connectedTunnels(), 0);
        QVERIFY(controller.isActive(tunnel.id));
        QCOMPARE(controller.activeTunnels().size(), size_t(1));

        controller.toggle(tunnel.id);
        QVERIFY(!controller.isActive(tunnel.id));
        QVERIFY(controller.activeTunnels().empty());
        QTRY_COMPARE_WITH_TIMEOUT(controller.state(tunnel.id), TunnelState::disconnected(), 10'000);
    }
};

QTEST_MAIN(TunnelControllerTests)
#include "TunnelControllerTests.moc"
