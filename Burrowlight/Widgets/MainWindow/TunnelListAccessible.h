#pragma once

namespace burrowlight {

// What assistive technology finds in the tunnel list: each row is one element that combines what
// the row shows. Its name is the title with the Pinned and Unsaved Changes marks, its value the
// state in words, its description the state and the line under the title; a row with a switch is
// checkable, checked while the switch is on, and offers the toggle action that flips it. Pressing a
// row selects it, as a click does. Called by every list before Qt is asked about it; installs once.
void installTunnelListAccessibility();

} // namespace burrowlight
