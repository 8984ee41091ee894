#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

class QLineEdit;
class QWidget;

// The design's sizes are pixels at the reference text, Qt's 9-point sans at 96 dpi. A desktop with
// larger text (other fonts, a bigger size) gets them in proportion, so that columns, fields and
// windows keep room for what they show; they never shrink below the design's.
namespace burrowlight::sizes {

// The application font's height over the reference's, at least 1.
qreal textScale();
int scaled(int designPixels);
QSize scaled(QSize designPixels);
QMargins scaled(QMargins designPixels);

// The width of a field that shows `sample` whole in its own font, frame and text margins included.
int fieldWidthFor(const QLineEdit& field, const QString& sample);
// A number field at least `designPixels` wide (scaled), and never narrower than `widestValue`.
void setNumberFieldWidth(QLineEdit& field, int designPixels, const QString& widestValue);

// Gives a window of one width, whose height follows its text, `designWidth` (scaled) or what its
// layout needs where that is more, and the height its layout takes at that width.
void fixToWidth(QWidget& window, int designWidth);
// Puts a popup under `anchor`, its right edge on the anchor's, or above the anchor where there is no
// room below, and within the screen.
void placePopup(QWidget& popup, const QWidget& anchor);
// `wanted` within the available area of the screen the window opens on.
QSize fittedToScreen(const QWidget& window, QSize wanted);
// Where the window goes in its normal state while its frame is still unknown (a window that opens
// maximised shows that place only once restored): `place` where it lies within the available area of
// the screen under its centre, or else the window's screen; else within that area, smaller where it
// is larger, with room above it for a title bar.
QRect placedOnScreen(const QWidget& window, QRect place);
// Opens the window at `designSize` (scaled), within its screen, and keeps it there (keepOnScreen).
void resizeToOpen(QWidget& window, QSize designSize);
// Once the window manager has framed the window that opens, keeps it, frame and all, within the
// screen's available area: smaller where it can be, moved wherever it was put, its title bar on the
// screen where even its least size is more than the area. A window that opens maximised or full
// screen is left as the window manager shows it, and kept within once it is first restored.
// Wayland compositors place windows themselves and don't say where: there only the size is kept
// within.
void keepOnScreen(QWidget& window);
// Keeps the window's least size at `least` (scaled) or what its layout needs, whichever is larger,
// as its content and fonts change, so that it can't be made smaller than what it shows.
void keepMinimumSize(QWidget& window, QSize least);
// The same for a window of one size: `size` (scaled), or what its layout needs where that is more.
void keepFixedSize(QWidget& window, QSize size);

} // namespace burrowlight::sizes
