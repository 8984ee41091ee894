#include "Burrowlight/Core/AppIdentity.h"

#include "Burrowlight/Core/AppIdentityConfig.h"

namespace burrowlight {

QString appDisplayName() {
    const QString name = QStringLiteral(BURROWLIGHT_DISPLAY_NAME);
    return name.isEmpty() ? QStringLiteral("Burrowlight") : name;
}

QString composeVersion(const QString& shortVersion, const QString& buildVersion) {
    return (shortVersion.isEmpty() ? QStringLiteral("0.0.0") : shortVersion) + QStringLiteral(" (") +
           (buildVersion.isEmpty() ? QStringLiteral("0") : buildVersion) + QStringLiteral(")");
}

QString appVersion() {
    return composeVersion(QStringLiteral(BURROWLIGHT_SHORT_VERSION),
                          QStringLiteral(BURROWLIGHT_BUILD_VERSION));
}

} // namespace burrowlight
