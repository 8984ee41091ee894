#include "StandInSettingsPortal.h"

namespace testing_support {

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString contrastKey = QStringLiteral("contrast");

} // namespace

StandInSettingsPortal::StandInSettingsPortal(uint contrast, Version version)
    : contrast_(contrast), version_(version) {
    QDBusConnection& bus = peer_.connection();
    registered_ = bus.registerObject(path, this, QDBusConnection::ExportScriptableContents) &&
                  bus.registerService(service);
}

StandInSettingsPortal::~StandInSettingsPortal() {
    peer_.connection().unregisterService(service);
    peer_.connection().unregisterObject(path);
}

void StandInSettingsPortal::setContrast(uint contrast) {
    contrast_ = contrast;
    emit SettingChanged(appearance, contrastKey, QDBusVariant(contrast));
}

std::optional<QVariant> StandInSettingsPortal::lookUp(const QString& group, const QString& key) {
    if (group == appearance && key == contrastKey) {
        return QVariant(contrast_);
    }
    sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                   QStringLiteral("Requested setting not found"));
    return std::nullopt;
}

QDBusVariant StandInSettingsPortal::ReadOne(const QString& group, const QString& key) {
    if (version_ == Version::readOnly) {
        sendErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method “ReadOne”"));
        return {};
    }
    return QDBusVariant(lookUp(group, key).value_or(QVariant()));
}

QDBusVariant StandInSettingsPortal::Read(const QString& group, const QString& key) {
    const auto value = lookUp(group, key);
    return value ? QDBusVariant(QVariant::fromValue(QDBusVariant(*value))) : QDBusVariant();
}

} // namespace testing_support
