#pragma once

#include "PrivateBuses.h"

#include <QStringList>
#include <QThread>
#include <memory>

namespace testing_support {

class StatusNotifierWatcherObject;

// A panel's side of the tray protocol on the (private) session bus, as a panel process holds it:
// org.kde.StatusNotifierWatcher with its host registered, taking the items' registrations. It answers
// on a thread of its own, since Qt asks it synchronously whether a panel is there before it makes
// its first tray icon. Made anew, it is a panel that restarts.
class StandInStatusNotifierWatcher {
  public:
    // Whether the panel's host is there with the watcher, or registers only when told to, as a panel
    // whose watcher starts before the part that shows the icons.
    enum class Host { registered, later };

    explicit StandInStatusNotifierWatcher(Host host = Host::registered);
    ~StandInStatusNotifierWatcher();
    StandInStatusNotifierWatcher(const StandInStatusNotifierWatcher&) = delete;
    StandInStatusNotifierWatcher& operator=(const StandInStatusNotifierWatcher&) = delete;

    bool isRegistered() const { return registered_; }
    // The host registers, and the watcher announces it on the bus.
    void registerHost();
    // How many times it has answered whether a host is registered.
    int hostQuestions() const;
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
