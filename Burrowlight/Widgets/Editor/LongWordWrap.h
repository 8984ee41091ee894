#pragma once

class QPlainTextEdit;

namespace burrowlight {

// Qt wraps a word longer than its line by reading the rest of the word again for each line it fills:
// a note that is one word of 200,000 letters takes seconds to lay out, at every letter typed. While
// the field's text holds a word longer than any line, it wraps anywhere, so that each line costs only
// its own letters; otherwise it wraps between words, as before. Its text stays as it is.
void wrapAnywhereAroundLongWords(QPlainTextEdit& field);

} // namespace burrowlight
