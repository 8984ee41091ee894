#include "Burrowlight/Desktop/LoginItem.h"

namespace burrowlight {

bool opensAtLogin(const QString& bundleIdentifier) {
    return AutostartEntry(bundleIdentifier).isEnabled();
}

std::expected<void, AutostartError> setOpenAtLogin(const QString& bundleIdentifier, bool enabled) {
    return AutostartEntry(bundleIdentifier).setEnabled(enabled);
}

} // namespace burrowlight
