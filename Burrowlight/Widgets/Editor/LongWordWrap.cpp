#include "Burrowlight/Widgets/Editor/LongWordWrap.h"

#include "Burrowlight/Widgets/Shell/LongWords.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace burrowlight {

namespace {

bool anyBlockHoldsLongWord(const QTextDocument& document) {
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
        field.setWordWrapMode(anyBlockHoldsLongWord(*field.document())
                                  ? QTextOption::WrapAnywhere
                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
    };
    // Heard before the changed text is laid out, which then takes the new way of wrapping.
    QObject::connect(field.document(), &QTextDocument::contentsChange, &field, follow);
    follow();
}

} // namespace burrowlight
