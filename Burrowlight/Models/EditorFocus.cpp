#include "Burrowlight/Models/EditorFocus.h"

namespace burrowlight {

void EditorFocusState::set(const std::optional<EditorFocus>& value) {
    if (closed_ || value == current_) {
        return;
    }
    const auto old = std::exchange(current_, value);
    emit changed(old, current_);
}

} // namespace burrowlight
