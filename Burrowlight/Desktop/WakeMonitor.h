#pragma once

#include <QDBusConnection>
#include <QObject>

namespace burrowlight {

// Reports the computer waking from sleep: systemd-logind's PrepareForSleep(false) on the system
// bus, accepted only from the process that owns org.freedesktop.login1. Without a system bus or
// without logind there are no wake events; the application log says so once.
class WakeMonitor : public QObject {
    Q_OBJECT

  public:
    explicit WakeMonitor(QDBusConnection systemBus = QDBusConnection::systemBus(), QObject* parent = nullptr);

  signals:
    void woke();

  private slots:
    void prepareForSleep(bool sleeping);

  private:
    QDBusConnection bus_;
};

} // namespace burrowlight
