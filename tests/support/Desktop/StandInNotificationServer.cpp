#include "StandInNotificationServer.h"

#include <QDBusConnectionInterface>

namespace testing_support {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
constexpr uint closedByCall = 3;

} // namespace

StandInNotificationServer::StandInNotificationServer(QStringList capabilities)
    : capabilities_(std::move(capabilities)) {
    QDBusConnection& bus = peer_.connection();
    registered_ = bus.registerObject(path, this, QDBusConnection::ExportScriptableContents) &&
                  bus.registerService(service);
}

StandInNotificationServer::~StandInNotificationServer() {
    peer_.connection().unregisterService(service);
    peer_.connection().unregisterObject(path);
}

uint StandInNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                       const QString& summary, const QString& body,
                                       const QStringList& actions, const QVariantMap& hints,
                                       int expireTimeout) {
    const uint id = shown_.contains(replacesId) ? replacesId : ++lastId_;
    const NotifyCall call{appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id};
    notifyCalls_.push_back(call);
    shown_.insert(id, call);
    return id;
}

void StandInNotificationServer::CloseNotification(uint id) {
    closeCalls_.push_back(id);
    if (shown_.remove(id) > 0) {
        emit NotificationClosed(id, closedByCall);
    }
}

QStringList StandInNotificationServer::GetCapabilities() {
    ++capabilityRequests_;
    return capabilities_;
}

QString StandInNotificationServer::GetServerInformation(QString& vendor, QString& version,
                                                        QString& specVersion) {
    vendor = QStringLiteral("Burrowlight tests");
    version = QStringLiteral("1.0");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("Stand-in notification server");
}

} // namespace testing_support
