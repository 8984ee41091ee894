#include "PrivateBuses.h"

#include <QtGlobal>
#include <atomic>

namespace testing_support {

namespace {

QString uniqueConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("testing_support.peer.%1").arg(next++);
}

} // namespace

bool onPrivateBuses() {
    return qEnvironmentVariableIsSet("BURROWLIGHT_PRIVATE_BUSES");
}

BusPeer::BusPeer(QDBusConnection::BusType bus)
    : name_(uniqueConnectionName()), connection_(QDBusConnection::connectToBus(bus, name_)) {}

BusPeer::~BusPeer() {
    QDBusConnection::disconnectFromBus(name_);
}

} // namespace testing_support
