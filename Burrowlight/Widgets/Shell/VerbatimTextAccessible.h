#pragma once

namespace burrowlight {

// What assistive technology finds in a verbatim text: the text itself, whatever the shown document
// holds to keep its words whole. Offsets, the caret and the selection are the text's; lines are
// those on screen. Called by every verbatim text before Qt is asked about it; installs once.
void installVerbatimTextAccessibility();

} // namespace burrowlight
