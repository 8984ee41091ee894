#pragma once

#include "PrivateBuses.h"

#include <QStringList>
#include <QThread>
#include <memory>

namespace testing_support {

class StatusNotifierWatcherObject;

// A panel's side of the tray protocol on the (private) session bus, as a panel process holds it:
// org.kde.StatusNotifierWatcher with a host registered, taking the items' registrations. It answers
// on a thread of its own, since Qt asks it synchronously whether a panel is there before it makes
// its first tray icon. Made anew, it is a panel that restarts.
class StandInStatusNotifierWatcher {
  public:
    StandInStatusNotifierWatcher();
    ~StandInStatusNotifierWatcher();
    StandInStatusNotifierWatcher(const StandInStatusNotifierWatcher&) = delete;
    StandInStatusNotifierWatcher& operator=(const StandInStatusNotifierWatcher&) = delete;

    bool isRegistered() const { return registered_; }
    // The services of the items registered with this panel, in order.
    QStringList items() const;
    QDBusConnection& connection() { return peer_.connection(); }

  private:
    BusPeer peer_{QDBusConnection::SessionBus};
    QThread thread_;
    std::unique_ptr<StatusNotifierWatcherObject> watcher_;
    bool registered_ = false;
};

} // namespace testing_support
