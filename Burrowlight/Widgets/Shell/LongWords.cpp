#include "Burrowlight/Widgets/Shell/LongWords.h"

#include <QTextBoundaryFinder>

namespace burrowlight {

namespace {

// Hands each long word of `text` to `found` until it answers false.
template <typename Found> void findLongWords(const QString& text, Found found) {
    if (text.size() <= longestWrappedWord) {
        return;
    }
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    for (qsizetype next = breaks.toNextBoundary(); next != -1; next = breaks.toNextBoundary()) {
        if (next - start > longestWrappedWord) {
            qsizetype end = next;
            while (end > start && text.at(end - 1).isSpace()) {
                --end;
            }
            if (end - start > longestWrappedWord && !found(LongWord{start, end})) {
                return;
            }
        }
        start = next;
    }
}

} // namespace

std::vector<LongWord> longWords(const QString& text) {
    std::vector<LongWord> words;
    findLongWords(text, [&words](LongWord word) {
        words.push_back(word);
        return true;
    });
    return words;
}

bool holdsLongWord(const QString& text) {
    bool holds = false;
    findLongWords(text, [&holds](LongWord) {
        holds = true;
        return false;
    });
    return holds;
}

} // namespace burrowlight
