#pragma once

#include "Burrowlight/Desktop/AutostartEntry.h"

#include <expected>

namespace burrowlight {

// The login item: whether this executable starts when the user logs in. Read from the autostart
// entry each time, so a change made by the desktop's own startup settings shows at once.
bool opensAtLogin();
// The file system's refusal, unchanged; nothing is retried or stored.
std::expected<void, AutostartError> setOpenAtLogin(bool enabled);

} // namespace burrowlight
