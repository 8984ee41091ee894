#pragma once

#include "PrivateBuses.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace testing_support {

// One Notify call as the server received it, and the id it answered.
struct NotifyCall {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
    uint id = 0;
};

// A notification server on the session bus, owned by the test: org.freedesktop.Notifications at
// /org/freedesktop/Notifications with Notify, CloseNotification, GetCapabilities and
// GetServerInformation. It keeps what is "on screen" and records every call, so a test sees the
// real D-Bus traffic. Replacing a shown notification keeps its id; any other post gets a new one.
class StandInNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    explicit StandInNotificationServer(QStringList capabilities = {QStringLiteral("body")});
    ~StandInNotificationServer() override;

    // False when the name could not be taken (another server runs on this bus).
    bool isRegistered() const { return registered_; }

    const std::vector<NotifyCall>& notifyCalls() const { return notifyCalls_; }
    const std::vector<uint>& closeCalls() const { return closeCalls_; }
    int capabilityRequests() const { return capabilityRequests_; }
    // What is shown now: id → the call that put it there.
    const QMap<uint, NotifyCall>& shown() const { return shown_; }

  public slots:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                             const QString& summary, const QString& body, const QStringList& actions,
                             const QVariantMap& hints, int expireTimeout);
    Q_SCRIPTABLE void CloseNotification(uint id);
    Q_SCRIPTABLE QStringList GetCapabilities();
    Q_SCRIPTABLE QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

  signals:
    Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);

  private:
    BusPeer peer_{QDBusConnection::SessionBus};
    QStringList capabilities_;
    bool registered_ = false;
    uint lastId_ = 0;
    std::vector<NotifyCall> notifyCalls_;
    std::vector<uint> closeCalls_;
    int capabilityRequests_ = 0;
    QMap<uint, NotifyCall> shown_;
};

} // namespace testing_support
