#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <functional>

class QLineEdit;

// A field's text reaches its model however it arrives: typed, pasted, or set whole by assistive
// technology (on-screen keyboards, voice input and screen readers set the text, which Qt never
// counts as an edit). What the model writes back is shown without being handed back to it. A
// bound field shows each character with at most as many of its marks as a read-only text does
// (Qt's text engine takes seconds to lay out and edit a letter that carries tens of thousands); what
// is typed there goes into the model's text at the same place, which keeps the marks not shown.
namespace burrowlight::fieldText {

using Write = std::function<void(const QString&)>;

// A line edit keeps 32,767 characters unless told otherwise: one that shows a stored value holds
// all of it, however long, and so writes back what it was given. `bind` does this for its field,
// and ends a text too long for it in an ellipsis while the user is elsewhere.
void holdsAnyLength(QLineEdit& field);
void bind(QLineEdit& field, Write write);
void bind(QPlainTextEdit& field, Write write);
// Shows the model's text when it differs; the field's `write` does not hear of it.
void show(QLineEdit& field, const QString& text);
void show(QPlainTextEdit& field, const QString& text);
// As `show`, but a field the user is in keeps what they are typing, and its cursor, for as long
// as the model holds what it made of it; a value that reaches the model from elsewhere (a split
// host and port, a menu's choice) shows at once.
void showUnlessTyping(QLineEdit& field, const QString& text);
void showUnlessTyping(QPlainTextEdit& field, const QString& text);

// A bound field holds the model's text whole, however few of a character's marks it shows: copied
// or read by assistive technology, it gives that text. Positions in the field and in the whole text
// differ by the marks not shown.
bool hidesMarks(const QObject& field);
const QString& wholeText(const QObject& field);
qsizetype wholeTextPosition(const QObject& field, qsizetype fieldPosition);
qsizetype fieldPosition(const QObject& field, qsizetype wholeTextPosition);
// Replaces part of a bound field's whole text, as typing there would.
void edit(QObject& field, qsizetype start, qsizetype end, const QString& text);

// A text field whose copy, however it is made (the clipboard, the selection, a drag), is what it
// holds, once bound.
class PlainTextField : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    QMimeData* createMimeDataFromSelection() const override;
};

} // namespace burrowlight::fieldText
