#include "Burrowlight/Core/TermsWindowOpener.h"

namespace burrowlight {

void TermsWindowOpener::request() {
    if (openWindow_) {
        openWindow_();
        return;
    }
    isPending_ = true;
}

void TermsWindowOpener::install(std::function<void()> openWindow) {
    openWindow_ = std::move(openWindow);
    if (isPending_ && openWindow_) {
        isPending_ = false;
        openWindow_();
    }
}

} // namespace burrowlight
