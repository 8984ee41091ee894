#pragma once

#include <QDBusConnection>
#include <QString>

namespace testing_support {

// True inside tests/support/with-private-buses.sh. Tests that own names on a bus check it first, so
// that they never reach the machine's own session or system bus.
bool onPrivateBuses();

// A connection of its own to the session or system bus, as a separate peer with its own unique
// name, the way another process would connect. Disconnected when it goes.
class BusPeer {
  public:
    explicit BusPeer(QDBusConnection::BusType bus);
    ~BusPeer();
    BusPeer(const BusPeer&) = delete;
    BusPeer& operator=(const BusPeer&) = delete;

    QDBusConnection& connection() { return connection_; }

  private:
    QString name_;
    QDBusConnection connection_;
};

} // namespace testing_support
