#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

namespace burrowlight {

class AppSettings;

// Brings windows back as the user left them, across launches, as Linux window managers don't: a
// window kept here takes the geometry stored under its name before it is first shown, and stores its
// own each time it is hidden, and at the end for those still open. One left maximised or full screen
// comes back so, on whatever screen it opens, and goes back to its normal place when restored; one
// left in its normal state comes back at its size and place. Either place is brought within the
// screen before the window shows where the screen is smaller now or the place was off it; a value
// that can't be a window's place is left for the default one. A window of one size doesn't come back
// maximised, which window managers don't do to it, nor full screen, where it has no title bar.
// Wayland compositors place windows themselves: there the size and the maximised or full-screen
// state come back, not the place.
class WindowPlaces : public QObject {
  public:
    explicit WindowPlaces(AppSettings& settings);
    ~WindowPlaces() override;

    void keep(QWidget& window, const QString& name);
    // The geometry of every kept window that is open now.
    void storeShown();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Kept {
        QPointer<QWidget> window;
        QString name;
        // Its normal place as it was kept, the saved one or the default.
        QRect given;
    };
    void keepNormalPlace(const Kept& kept);
    void store(const Kept& kept);

    AppSettings& settings_;
    std::vector<Kept> kept_;
};

// Whether the window has an entry in the desktop's taskbar. On X11 it carries the EWMH state
// _NET_WM_STATE_SKIP_TASKBAR while it has none: set on the window while it is unmapped (or no
// window manager runs), asked of the window manager while it is shown, so it takes effect at once.
// Wayland's shell protocol has no such hint: there the window keeps its entry.
void setShownInTaskbar(QWidget& window, bool shown);

} // namespace burrowlight
