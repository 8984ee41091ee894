#pragma once

#include <QLabel>

namespace burrowlight {

// Text from the system or a file (paths, ssh's version line): plain, selectable, in a fixed-width
// font a little smaller than the body.
void makeMonospacedCallout(QLabel& label);
// What went wrong, in red, wrapping; call again when the palette changes.
void makeErrorCallout(QLabel& label);
// Wraps across the whole row of a form, its height following the width it gets.
void makeWideWrapping(QLabel& label);
// A wrapping explanation in the body's colour, a little smaller.
void makeCallout(QLabel& label);

} // namespace burrowlight
