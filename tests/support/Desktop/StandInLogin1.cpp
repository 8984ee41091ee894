#include "StandInLogin1.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace testing_support {

namespace {

const QString service = QStringLiteral("org.freedesktop.login1");
const QString path = QStringLiteral("/org/freedesktop/login1");
const QString interface = QStringLiteral("org.freedesktop.login1.Manager");

void sendFrom(QDBusConnection& connection, bool start) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, QStringLiteral("PrepareForSleep"));
    signal << start;
    connection.send(signal);
}

} // namespace

StandInLogin1::StandInLogin1() {
    QDBusConnection& bus = peer_.connection();
    registered_ = bus.registerObject(path, this, QDBusConnection::ExportScriptableSignals) &&
                  bus.registerService(service);
}

StandInLogin1::~StandInLogin1() {
    peer_.connection().unregisterService(service);
    peer_.connection().unregisterObject(path);
}

void StandInLogin1::sendPrepareForSleep(bool start) {
    sendFrom(peer_.connection(), start);
}

void StandInLogin1::sendPrepareForSleepAsStranger(bool start) {
    BusPeer stranger(QDBusConnection::SystemBus);
    sendFrom(stranger.connection(), start);
    // A round trip to the bus: the signal has left before the connection closes.
    stranger.connection().interface()->isServiceRegistered(service);
}

} // namespace testing_support
