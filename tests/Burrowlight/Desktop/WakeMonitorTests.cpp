#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/WakeMonitor.h"
#include "PrivateBuses.h"
#include "StandInLogin1.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using testing_support::StandInLogin1;

namespace {

// Sees every PrepareForSleep on the system bus, whoever sends it. It listens on the monitor's own
// connection, which hands each message to every listener in turn: once it has seen a signal, the
// monitor has had its chance at it too.
class EverySleepSignal : public QObject {
    Q_OBJECT

  public:
    EverySleepSignal() {
        QDBusConnection::systemBus().connect(QString(), QStringLiteral("/org/freedesktop/login1"),
                                             QStringLiteral("org.freedesktop.login1.Manager"),
                                             QStringLiteral("PrepareForSleep"), this, SLOT(seen(bool)));
    }
    int count = 0;

  private slots:
    void seen(bool) { ++count; }
};

// One round trip on the monitor's connection: what it asked the bus before has been done.
void settle() {
    QDBusConnection::systemBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1"));
}

} // namespace

class WakeMonitorTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void wakesWhenLogindAloneSaysSo() {
        StandInLogin1 logind;
        QVERIFY(logind.isRegistered());
        const WakeMonitor monitor;
        QSignalSpy woke(&monitor, &WakeMonitor::woke);
        const EverySleepSignal all;
        settle();

        logind.sendPrepareForSleep(true);
        StandInLogin1::sendPrepareForSleepAsStranger(false);
        logind.sendPrepareForSleep(false);
        QTRY_COMPARE(all.count, 3);
        QCOMPARE(woke.count(), 1);
    }

    void withoutLogindNoWakeUntilItComes() {
        const AppLogRecorder log;
        const WakeMonitor monitor;
        QSignalSpy woke(&monitor, &WakeMonitor::woke);
        QTRY_COMPARE(log.count(QStringLiteral("systemd-logind is not running")), 1);

        StandInLogin1 logind;
        QVERIFY(logind.isRegistered());
        const EverySleepSignal all;
        settle();
        logind.sendPrepareForSleep(false);
        QTRY_COMPARE(all.count, 1);
        QTRY_COMPARE(woke.count(), 1);
    }

    void withoutASystemBusNoWake() {
        const AppLogRecorder log;
        {
            const WakeMonitor monitor(QDBusConnection::connectToBus(
                QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere")));
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
        QCOMPARE(log.count(QStringLiteral("No system bus")), 1);
    }
};

QTEST_GUILESS_MAIN(WakeMonitorTests)
#include "WakeMonitorTests.moc"
