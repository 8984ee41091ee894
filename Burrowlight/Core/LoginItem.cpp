#include "Burrowlight/Core/LoginItem.h"

namespace burrowlight {

bool opensAtLogin() {
    return AutostartEntry().isEnabled();
}

std::expected<void, AutostartError> setOpenAtLogin(bool enabled) {
    return AutostartEntry().setEnabled(enabled);
}

} // namespace burrowlight
