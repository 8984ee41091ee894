#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

// A field's text reaches its model however it arrives: typed, pasted, or set whole by assistive
// technology (on-screen keyboards, voice input and screen readers set the text, which Qt never
// counts as an edit). What the model writes back is shown without being handed back to it.
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

} // namespace burrowlight::fieldText
