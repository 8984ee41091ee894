#pragma once

#include <QStringList>

class QWidget;

namespace screenshots {

// What a user would find wrong in a window as it is laid out now, one line each: a wrapping label
// shorter than its text needs at its width or narrower than a word of it, a one-line text cut
// without an ellipsis, a button narrower than its text and icon, a field squeezed below its least
// width, a widget cut off by its parent, a pane that scrolls sideways, captions over a row of fields
// that stand off one line.
QStringList layoutFaults(const QWidget& window);
// Whether the window, as it opened, reaches past the screen's available area.
QStringList placementFaults(const QWidget& window);

} // namespace screenshots
