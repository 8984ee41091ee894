#include "Burrowlight/Core/TermsOfUse.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/SettingsFile.h"

namespace burrowlight {

bool currentTermsAccepted(const QSettings& settings) {
    const QVariant stored = settings.value(QLatin1String(settingsKey::termsAcceptedVersion));
    return stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String(currentTermsVersion);
}

bool currentTermsAccepted() {
    return currentTermsAccepted(*openAppSettings());
}

} // namespace burrowlight
