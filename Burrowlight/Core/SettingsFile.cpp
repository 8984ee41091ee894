#include "Burrowlight/Core/SettingsFile.h"

#include "Burrowlight/Core/AppIdentity.h"

namespace burrowlight {

std::unique_ptr<QSettings> openAppSettings() {
    return std::make_unique<QSettings>(QString::fromLatin1(bundleIdentifier), QStringLiteral("burrowlight"));
}

} // namespace burrowlight
