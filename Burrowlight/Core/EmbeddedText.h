#pragma once

#include <QString>

namespace burrowlight {

// A user's text inside one of ours, isolated (FSI … PDI) so that the direction controls it holds
// reorder nothing around it. Its own isolates are balanced: an unmatched PDI, which would end the
// isolate early, is dropped, and one left open is closed.
QString isolated(const QString& text);

// For a terminal, which knows no isolates: control characters and direction controls written as
// \uXXXX, so that a text can neither reorder nor rewrite the line it is on.
QString escapedControls(const QString& text);

} // namespace burrowlight
