#pragma once

class QPlainTextEdit;

namespace burrowlight {

// A note that is one word of 200,000 letters would take seconds to lay out, at every letter typed.
// While the field's text holds a long word (LongWords.h), it wraps anywhere, so that each line costs
// only its own letters; otherwise it wraps between words. Its text stays as it is.
void wrapAnywhereAroundLongWords(QPlainTextEdit& field);

} // namespace burrowlight
