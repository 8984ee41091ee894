#pragma once

#include "PrivateBuses.h"

#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>
#include <QVariant>
#include <optional>

namespace testing_support {

// The desktop portal's Settings interface on the (private) session bus, owned by the test: it holds
// org.freedesktop.portal.Desktop, answers Read and, unless it plays an older portal, ReadOne for
// org.freedesktop.appearance "contrast", and sends SettingChanged when the value is changed.
class StandInSettingsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

  public:
    enum class Version { withReadOne, readOnly };

    StandInSettingsPortal(uint contrast, Version version = Version::withReadOne);
    ~StandInSettingsPortal() override;

    bool isRegistered() const { return registered_; }
    void setContrast(uint contrast);

  public slots:
    Q_SCRIPTABLE QDBusVariant ReadOne(const QString& group, const QString& key);
    Q_SCRIPTABLE QDBusVariant Read(const QString& group, const QString& key);

  signals:
    Q_SCRIPTABLE void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

  private:
    std::optional<QVariant> lookUp(const QString& group, const QString& key);

    BusPeer peer_{QDBusConnection::SessionBus};
    uint contrast_;
    Version version_;
    bool registered_ = false;
};

} // namespace testing_support
