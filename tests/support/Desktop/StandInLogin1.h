#pragma once

#include "PrivateBuses.h"

#include <QObject>

namespace testing_support {

// systemd-logind's manager on the (private) system bus, owned by the test: it holds the name
// org.freedesktop.login1 and sends PrepareForSleep from /org/freedesktop/login1 when told to.
class StandInLogin1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

  public:
    StandInLogin1();
    ~StandInLogin1() override;

    bool isRegistered() const { return registered_; }
    // true: the computer is about to sleep; false: it has woken.
    void sendPrepareForSleep(bool start);

    // The same signal from a peer that does not own logind's name, as any process on the bus could send it.
    static void sendPrepareForSleepAsStranger(bool start);

  signals:
    Q_SCRIPTABLE void PrepareForSleep(bool start);

  private:
    BusPeer peer_{QDBusConnection::SystemBus};
    bool registered_ = false;
};

} // namespace testing_support
