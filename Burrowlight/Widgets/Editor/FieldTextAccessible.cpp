#include "Burrowlight/Widgets/Editor/FieldTextAccessible.h"

#include "Burrowlight/Widgets/Editor/FieldText.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

namespace burrowlight {

namespace {

class FieldAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
  public:
    explicit FieldAccessible(QWidget& field) : QAccessibleWidget(&field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !readOnly();
        state.readOnly = readOnly();
        state.selectableText = true;
        state.multiLine = plain() != nullptr;
        return state;
    }

    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? stored() : QAccessibleWidget::text(type);
    }
    void setText(QAccessible::Text type, const QString& text) override {
        if (type == QAccessible::Value) {
            replaceText(0, characterCount(), text);
        } else {
            QAccessibleWidget::setText(type, text);
        }
    }

    int characterCount() const override { return static_cast<int>(stored().size()); }
    QString text(int start, int end) const override {
        const auto [from, to] = range(start, end);
        return stored().mid(from, to - from);
    }

    void selection(int index, int* start, int* end) const override {
        *start = 0;
        *end = 0;
        const auto [from, to] = shownSelection();
        if (index == 0 && from != to) {
            *start = storedPosition(from);
            *end = storedPosition(to);
        }
    }
    int selectionCount() const override {
        const auto [from, to] = shownSelection();
        return from != to ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            const int at = cursorPosition();
            select(at, at);
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            select(start, end);
        }
    }
    int cursorPosition() const override { return storedPosition(shownCursor()); }
    void setCursorPosition(int position) override { select(position, position); }

    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= characterCount()) {
            return {};
        }
        const int at = shownPosition(offset);
        const QFontMetrics metrics = field().fontMetrics();
        if (QPlainTextEdit* edit = plain()) {
            QTextCursor cursor(edit->document());
            cursor.setPosition(at);
            const QRect caret = edit->cursorRect(cursor);
            const int width = metrics.horizontalAdvance(edit->document()->characterAt(at));
            return {edit->viewport()->mapToGlobal(caret.topLeft()), QSize(width, caret.height())};
        }
        // A line edit tells only where its caret is: the character stands as far from it as the text
        // between them is wide.
        QLineEdit& edit = *line();
        const QString& shown = edit.text();
        const QRect caret = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.x() + metrics.horizontalAdvance(shown.left(at)) -
                      metrics.horizontalAdvance(shown.left(edit.cursorPosition()));
        return {edit.mapToGlobal(QPoint(x, caret.y())),
                QSize(metrics.horizontalAdvance(shown.mid(at, 1)), caret.height())};
    }

    int offsetAtPoint(const QPoint& point) const override {
        if (QPlainTextEdit* edit = plain()) {
            return storedPosition(edit->cursorForPosition(edit->viewport()->mapFromGlobal(point)).position());
        }
        return storedPosition(line()->cursorPositionAt(line()->mapFromGlobal(point)));
    }

    void scrollToSubstring(int start, int end) override {
        select(end, end);
        select(start, start);
        if (QPlainTextEdit* edit = plain()) {
            edit->ensureCursorVisible();
        }
    }

    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (readOnly()) {
            return;
        }
        const auto [from, to] = range(start, end);
        fieldText::edit(field(), from, to, text);
    }

  private:
    QWidget& field() const { return *widget(); }
    QLineEdit* line() const { return qobject_cast<QLineEdit*>(widget()); }
    QPlainTextEdit* plain() const { return qobject_cast<QPlainTextEdit*>(widget()); }
    bool readOnly() const { return plain() ? plain()->isReadOnly() : line()->isReadOnly(); }

    const QString& stored() const { return fieldText::wholeText(field()); }
    int storedPosition(qsizetype shown) const {
        return static_cast<int>(fieldText::wholeTextPosition(field(), shown));
    }
    int shownPosition(qsizetype stored) const {
        return static_cast<int>(fieldText::fieldPosition(field(), stored));
    }

    std::pair<qsizetype, qsizetype> range(int start, int end) const {
        const int count = characterCount();
        start = std::clamp(start, 0, count);
        end = end < 0 ? count : std::clamp(end, start, count);
        return {start, end};
    }

    std::pair<qsizetype, qsizetype> shownSelection() const {
        if (QPlainTextEdit* edit = plain()) {
            const QTextCursor cursor = edit->textCursor();
            return {cursor.selectionStart(), cursor.selectionEnd()};
        }
        QLineEdit& edit = *line();
        if (!edit.hasSelectedText()) {
            return {edit.cursorPosition(), edit.cursorPosition()};
        }
        return {edit.selectionStart(), edit.selectionEnd()};
    }
    qsizetype shownCursor() const {
        return plain() ? plain()->textCursor().position() : line()->cursorPosition();
    }

    void select(int start, int end) {
        const int anchor = shownPosition(std::clamp(start, 0, characterCount()));
        const int position = shownPosition(std::clamp(end, 0, characterCount()));
        if (QPlainTextEdit* edit = plain()) {
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(anchor);
            cursor.setPosition(position, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
        } else {
            line()->setSelection(anchor, position - anchor);
        }
    }
};

QAccessibleInterface* fieldInterface(const QString& /*className*/, QObject* object) {
    auto* field = qobject_cast<QWidget*>(object);
    if (!field || !(qobject_cast<QLineEdit*>(field) || qobject_cast<QPlainTextEdit*>(field)) ||
        !fieldText::hidesMarks(*field)) {
        return nullptr;
    }
    return new FieldAccessible(*field); // the accessibility cache owns it
}

} // namespace

void followHiddenMarks(QWidget& field) {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&fieldInterface);
        return true;
    }();
    if (QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&field)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(read));
    }
}

} // namespace burrowlight
