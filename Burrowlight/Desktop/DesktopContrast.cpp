#include "Burrowlight/Desktop/DesktopContrast.h"

#include "Burrowlight/Desktop/DBusReplies.h"

#include <QDBusVariant>
#include <QMetaType>

namespace burrowlight {

namespace {

const QString portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString contrast = QStringLiteral("contrast");

// Read wraps the value in one more variant than ReadOne does.
QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

} // namespace

DesktopContrast::DesktopContrast(QDBusConnection sessionBus, QObject* parent)
    : QObject(parent), bus_(std::move(sessionBus)) {
    if (!bus_.isConnected()) {
        return;
    }
    // Naming the service makes Qt drop the same signal sent by anyone but the portal.
    bus_.connect(portal, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QDBusMessage)));
    read(QStringLiteral("ReadOne"));
}

void DesktopContrast::read(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(portal, portalPath, settingsInterface, method);
    call << appearance << contrast;
    callAsync(bus_, call, this, [this, method](const QDBusMessage& answer) {
        if (answer.type() == QDBusMessage::ErrorMessage) {
            if (method == QStringLiteral("ReadOne") &&
                answer.errorName() == QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod")) {
                read(QStringLiteral("Read"));
            }
            return;
        }
        if (!heardChange_ && !answer.arguments().isEmpty()) {
            take(answer.arguments().constFirst());
        }
    });
}

void DesktopContrast::settingChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == appearance &&
        arguments[1].toString() == contrast) {
        heardChange_ = true;
        take(arguments[2]);
    }
}

void DesktopContrast::take(const QVariant& value) {
    const bool high = unwrapped(value).toUInt() == 1;
    if (high != high_) {
        high_ = high;
        emit highChanged(high_);
    }
}

} // namespace burrowlight
