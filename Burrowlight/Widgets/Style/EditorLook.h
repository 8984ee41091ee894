#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// What the editor's small controls share: the monospaced field font, symbols tinted for the theme,
// and icon-only buttons that still say what they do.
namespace burrowlight::editorLook {

QFont monospaced(const QFont& base);
// The symbol of the icon table in the text colour of `widget`'s palette, or in `color`.
QIcon symbol(const QString& name, const QWidget& widget, const QColor& color = {});
// A borderless button that shows only the symbol; `title` is its accessible name and tooltip.
QToolButton& iconButton(const QString& symbol, const QString& title, QWidget& parent);
// A label that shows a symbol only; hidden from assistive technology unless `title` is given.
QLabel& symbolLabel(const QString& symbol, QWidget& parent, const QColor& color = {},
                    const QString& title = {});
// A value field that never narrows below a typical path, such as ~/.ssh/known_hosts, shown whole.
void keepRoomForPath(QLineEdit& field);
// Caption-sized text (smaller than the body), wrapping.
void makeCaption(QLabel& label);
// A red outline on a field that was left with a problem; none otherwise.
void setOutlined(QWidget& field, bool outlined);

} // namespace burrowlight::editorLook
