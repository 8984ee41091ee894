#include "Burrowlight/Widgets/Editor/LongWordWrap.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

namespace burrowlight {

namespace {

// Longer than any line, and short enough that laying out such words between words stays quick.
constexpr qsizetype longestWrappedWord = 1000;

bool holdsLongWord(const QString& text) {
    if (text.size() <= longestWrappedWord) {
        return false;
    }
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype previous = 0;
    for (qsizetype next = breaks.toNextBoundary(); next != -1; next = breaks.toNextBoundary()) {
        if (next - previous > longestWrappedWord) {
            return true;
        }
        previous = next;
    }
    return false;
}

bool holdsLongWord(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (holdsLongWord(block.text())) {
            return true;
        }
    }
    return false;
}

} // namespace

void wrapAnywhereAroundLongWords(QPlainTextEdit& field) {
    const auto follow = [&field] {
        field.setWordWrapMode(holdsLongWord(*field.document()) ? QTextOption::WrapAnywhere
                                                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
    };
    // Heard before the changed text is laid out, which then takes the new way of wrapping.
    QObject::connect(field.document(), &QTextDocument::contentsChange, &field, follow);
    follow();
}

} // namespace burrowlight
