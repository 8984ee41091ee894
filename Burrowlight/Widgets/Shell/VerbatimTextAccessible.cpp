#include "Burrowlight/Widgets/Shell/VerbatimTextAccessible.h"

#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <utility>

namespace burrowlight {

namespace {

class VerbatimTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit VerbatimTextAccessible(VerbatimText& text)
        : QAccessibleWidget(&text, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.selectableText = true;
        state.multiLine = true;
        return state;
    }

    // Without a caption of its own, a text is read as a label is: named by what it says.
    QAccessible::Role role() const override {
        return verbatim().accessibleName().isEmpty() ? QAccessible::StaticText : QAccessible::EditableText;
    }

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value ||
            (type == QAccessible::Name && verbatim().accessibleName().isEmpty())) {
            return verbatim().text();
        }
        return QAccessibleWidget::text(type);
    }

    int characterCount() const override { return static_cast<int>(verbatim().text().size()); }

    QString text(int start, int end) const override {
        const int count = characterCount();
        start = std::clamp(start, 0, count);
        end = end < 0 ? count : std::clamp(end, start, count);
        return verbatim().text().mid(start, end - start);
    }

    void selection(int index, int* start, int* end) const override {
        *start = 0;
        *end = 0;
        const QTextCursor cursor = verbatim().textCursor();
        if (index == 0 && cursor.hasSelection()) {
            *start = textPosition(cursor.selectionStart());
            *end = textPosition(cursor.selectionEnd());
        }
    }
    int selectionCount() const override { return verbatim().textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            QTextCursor cursor = verbatim().textCursor();
            cursor.clearSelection();
            verbatim().setTextCursor(cursor);
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            select(start, end);
        }
    }
    int cursorPosition() const override { return textPosition(verbatim().textCursor().position()); }
    void setCursorPosition(int position) override { select(position, position); }

    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= characterCount()) {
            return {};
        }
        const int at = verbatim().shownPosition(offset);
        const QTextBlock block = laidOutBlock(at);
        const QTextLine line = block.layout()->lineForTextPosition(at - block.position());
        if (!line.isValid()) {
            return {};
        }
        const QString& text = verbatim().text();
        const qsizetype length = text.at(offset).isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
        const QPointF origin = block.layout()->position();
        const QRectF inDocument(origin.x() + line.cursorToX(at - block.position()), origin.y() + line.y(),
                                verbatim().fontMetrics().horizontalAdvance(text.mid(offset, length)),
                                line.height());
        const QRect shown = inDocument.toAlignedRect().translated(-scrolled());
        return {verbatim().viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inDocument = verbatim().viewport()->mapFromGlobal(point) + scrolled();
        const int at = verbatim().document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
        return at < 0 ? -1 : textPosition(at);
    }

    // It is laid out at its full height: every part of it is in view.
    void scrollToSubstring(int /*start*/, int /*end*/) override {}

    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // Lines are those on screen; words, sentences and characters are the text's own.
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                         int* end) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAtOffset(offset, type, start, end);
        }
        if (!isOffset(offset)) {
            return none(start, end);
        }
        return line(shownLine(verbatim().shownPosition(offsetOrEnd(offset))), start, end);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                             int* end) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textBeforeOffset(offset, type, start, end);
        }
        if (!isOffset(offset)) {
            return none(start, end);
        }
        const auto around = shownLine(verbatim().shownPosition(offsetOrEnd(offset)));
        return around.first > 0 ? line(shownLine(around.first - 1), start, end) : none(start, end);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start,
                            int* end) const override {
        if (type != QAccessible::LineBoundary) {
            return QAccessibleTextInterface::textAfterOffset(offset, type, start, end);
        }
        if (!isOffset(offset)) {
            return none(start, end);
        }
        const auto around = shownLine(verbatim().shownPosition(offsetOrEnd(offset)));
        return around.second < shownLength() ? line(shownLine(around.second), start, end) : none(start, end);
    }

  private:
    VerbatimText& verbatim() const { return *static_cast<VerbatimText*>(widget()); }
    int textPosition(int shownPosition) const {
        return static_cast<int>(verbatim().textPosition(shownPosition));
    }
    QPoint scrolled() const {
        return {verbatim().horizontalScrollBar()->value(), verbatim().verticalScrollBar()->value()};
    }
    int shownLength() const { return verbatim().document()->characterCount() - 1; }
    bool isOffset(int offset) const { return offset == -1 || (offset >= 0 && offset <= characterCount()); }
    int offsetOrEnd(int offset) const { return offset == -1 ? characterCount() : offset; }

    void select(int start, int end) {
        QTextCursor cursor = verbatim().textCursor();
        cursor.setPosition(verbatim().shownPosition(std::clamp(start, 0, characterCount())));
        cursor.setPosition(verbatim().shownPosition(std::clamp(end, 0, characterCount())),
                           QTextCursor::KeepAnchor);
        verbatim().setTextCursor(cursor);
    }

    QTextBlock laidOutBlock(int shownPosition) const {
        QTextDocument& document = *verbatim().document();
        const QTextBlock block = document.findBlock(shownPosition);
        document.documentLayout()->blockBoundingRect(block); // lays the block out
        return block;
    }

    // The shown line around a position of the document, from its start to the next line's; the
    // last line of a paragraph takes the paragraph's end.
    std::pair<int, int> shownLine(int shownPosition) const {
        const QTextBlock block = laidOutBlock(std::min(shownPosition, shownLength()));
        const QTextLayout& layout = *block.layout();
        const QTextLine line = layout.lineForTextPosition(shownPosition - block.position());
        int start = block.position();
        int end = block.position() + block.length();
        if (line.isValid()) {
            start += line.textStart();
            if (line.lineNumber() + 1 < layout.lineCount()) {
                end = start + line.textLength();
            }
        }
        return {start, std::min(end, shownLength())};
    }

    QString line(std::pair<int, int> shown, int* start, int* end) const {
        *start = textPosition(shown.first);
        *end = textPosition(shown.second);
        return verbatim().text().mid(*start, *end - *start);
    }

    static QString none(int* start, int* end) {
        *start = -1;
        *end = -1;
        return {};
    }
};

QAccessibleInterface* verbatimTextInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(VerbatimText::staticMetaObject.className())) {
        if (auto* text = qobject_cast<VerbatimText*>(object)) {
            return new VerbatimTextAccessible(*text); // owned by Qt's accessibility cache
        }
    }
    return nullptr;
}

} // namespace

void installVerbatimTextAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&verbatimTextInterface);
        return true;
    }();
}

} // namespace burrowlight
