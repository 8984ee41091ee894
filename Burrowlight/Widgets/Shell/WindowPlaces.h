#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

namespace burrowlight {

class AppSettings;

// Brings windows back to the size and place the user left them in, across launches, as Linux
// window managers don't: a window kept here takes the geometry stored under its name before it is
// first shown, moved within the screen once its frame is known where the screen is smaller now or the
// place was off it, and stores its own each time it is hidden, and at the end for those still open.
// Wayland compositors place windows themselves: there only the size comes back.
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
    };
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
