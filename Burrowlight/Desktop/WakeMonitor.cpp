#include "Burrowlight/Desktop/WakeMonitor.h"

#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/DBusReplies.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>

namespace burrowlight {

namespace {

const QString logind = QStringLiteral("org.freedesktop.login1");

} // namespace

WakeMonitor::WakeMonitor(QDBusConnection systemBus, QObject* parent)
    : QObject(parent), bus_(std::move(systemBus)) {
    if (!bus_.isConnected()) {
        AppLog::app().write(QStringLiteral("No system bus (%1); wake events are not received")
                                .arg(bus_.lastError().message()));
        return;
    }
    // Naming the service makes Qt drop the same signal sent by anyone but logind.
    bus_.connect(logind, QStringLiteral("/org/freedesktop/login1"),
                 QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                 SLOT(prepareForSleep(bool)));
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    hasOwner << logind;
    callAsync(bus_, hasOwner, this, [](const QDBusMessage& answer) {
        const QDBusReply<bool> reply(answer);
        if (!reply.isValid() || !reply.value()) {
            AppLog::app().write(
                QStringLiteral("systemd-logind is not running; wake events are not received"));
        }
    });
}

void WakeMonitor::prepareForSleep(bool sleeping) {
    if (!sleeping) {
        emit woke();
    }
}

} // namespace burrowlight
