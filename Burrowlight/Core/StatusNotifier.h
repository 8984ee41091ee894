#pragma once

#include "Burrowlight/Desktop/DesktopNotifications.h"
#include "TunnelKit/TunnelConnection.h"

#include <QObject>
#include <QString>
#include <optional>

namespace burrowlight {

// Turns a tunnel's state change into a desktop notification: when it comes up, when an established
// connection drops and is retried, and when it fails. Each tunnel has at most one notification,
// replaced by the next. "Authorized" means a notification server answered; while none has, every
// post asks again.
class StatusNotifier : public QObject {
    Q_OBJECT

  public:
    explicit StatusNotifier(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    bool authorized() const { return authorized_; }

    // The notification's text for a change, or none when the change is not worth one.
    static std::optional<QString> body(const tunnelkit::TunnelState& old, const tunnelkit::TunnelState& now,
                                       const tunnelkit::Tunnel& tunnel,
                                       const std::optional<tunnelkit::TunnelProblem>& problem);

    // Returns at once; the notification is posted from the event loop.
    void tunnelStateChanged(const tunnelkit::TunnelState& old, const tunnelkit::TunnelState& now,
                            const tunnelkit::Tunnel& tunnel,
                            const std::optional<tunnelkit::TunnelProblem>& problem);
    void post(const QString& title, const QString& body, const tunnelkit::Tunnel& tunnel);

  signals:
    void authorizedChanged(bool authorized);

  private:
    void setAuthorized(bool authorized);

    DesktopNotifications notifications_;
    bool authorized_ = false;
};

} // namespace burrowlight
