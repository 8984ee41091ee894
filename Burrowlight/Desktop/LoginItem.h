#pragma once

#include "Burrowlight/Desktop/AutostartEntry.h"

#include <QString>
#include <expected>

namespace burrowlight {

// The login item: whether this executable starts when the user logs in, by the autostart entry of
// the application named. Read from the entry each time, so a change made by the desktop's own
// startup settings shows at once.
bool opensAtLogin(const QString& bundleIdentifier);
// The file system's refusal, unchanged; nothing is retried or stored.
std::expected<void, AutostartError> setOpenAtLogin(const QString& bundleIdentifier, bool enabled);

} // namespace burrowlight
