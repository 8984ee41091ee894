#pragma once

#include <functional>

namespace burrowlight {

// How parts without a window of their own bring up the terms of use. The tray installs the action
// that opens the window (and brings the application forward); a request made before that waits and
// is served once, when the action is installed.
class TermsWindowOpener {
  public:
    void request();
    void install(std::function<void()> openWindow);

    bool isInstalled() const { return static_cast<bool>(openWindow_); }
    bool isPending() const { return isPending_; }

  private:
    std::function<void()> openWindow_;
    bool isPending_ = false;
};

} // namespace burrowlight
