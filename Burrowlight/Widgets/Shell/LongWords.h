#pragma once

#include <QString>
#include <vector>

namespace burrowlight {

// Qt wraps a word longer than its line by reading the rest of the word again for each line it fills:
// a word of 100,000 letters takes seconds to lay out. The texts that may hold a long word let a line
// break inside it wherever the line is full.
//
// A word is what lies between two places where a line may break, as Unicode finds them, without the
// spaces that end it. A long word has more characters than this: more than any line shows, while
// laying out words this long between words stays quick.
inline constexpr qsizetype longestWrappedWord = 1000;

struct LongWord {
    qsizetype start;
    qsizetype end;
};

// The long words of `text`, in order.
std::vector<LongWord> longWords(const QString& text);
bool holdsLongWord(const QString& text);

} // namespace burrowlight
