#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <cstdint>

namespace burrowlight {

// Whether a tray shows icons on this desktop now: a StatusNotifier host registered with the
// watcher on the session bus (KDE, GNOME's AppIndicator extension, Wayland panels), or on X11 an
// XEmbed tray holding its selection. Exactly what Qt asks when it makes its first tray icon, so
// that the icon made after a yes reaches the tray. Asks the bus, waiting at most a moment.
bool trayIsPresent(const QDBusConnection& bus);

// Tells, once, when a tray comes that was not there: a StatusNotifier watcher that appears or a
// host that registers with it, or an XEmbed tray that announces itself on X11 (a panel that
// starts after the application, or restarts). It also looks once as it starts, so that a tray
// that came just before is not missed.
class TrayHostWatch : public QObject, private QAbstractNativeEventFilter {
    Q_OBJECT

  public:
    explicit TrayHostWatch(QDBusConnection bus);
    ~TrayHostWatch() override;
    TrayHostWatch(const TrayHostWatch&) = delete;
    TrayHostWatch& operator=(const TrayHostWatch&) = delete;

  signals:
    void appeared();

  private slots:
    void askTheWatcher();

  private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void found();
    void stopWatching();

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_{QStringLiteral("org.kde.StatusNotifierWatcher"), bus_,
                                 QDBusServiceWatcher::WatchForRegistration};
    // The XEmbed tray's selection and the atom of its announcement; none away from X11.
    uint32_t traySelection_ = 0;
    uint32_t managerAtom_ = 0;
    bool found_ = false;
};

} // namespace burrowlight
