#pragma once

#include "Burrowlight/Models/MenuEntry.h"
#include "Burrowlight/Models/TunnelRow.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>

class QFontMetrics;
class QMenu;
class QPainter;

// How the main window's columns draw what the theme does not name: the state colours, symbols
// drawn in a colour, the faded secondary text, and menus made from the models' entries.
namespace burrowlight::look {

// The desktop's familiar green, orange and red, a shade lighter on dark backgrounds; the secondary
// text colour for `secondary`.
QColor tint(StatusDotLook::Tint tint, const QPalette& palette = QGuiApplication::palette());
// The text colour, faded: captions, counts, notes.
QColor secondary(const QPalette& palette = QGuiApplication::palette());
// A separator line.
QColor separator(const QPalette& palette = QGuiApplication::palette());
// The symbol of the icon table drawn in `color`, `size` device-independent pixels wide and high.
QPixmap symbol(const QString& name, const QColor& color, int size, qreal devicePixelRatio);

// The widget drawn on `TolvanSurface`, item views included.
void onSurface(QWidget& widget);

// `text` as a line shows all of it, to be measured or drawn: a U+009C in it, after which Qt would
// show nothing, shows as the other control characters do.
QString shownWhole(const QString& text);
// Enough of the start of `text` to overfill a line `width` wide, or all of it, as `shownWhole`
// gives it: elided or measured up to that width, it gives what all of it would, without laying out
// the whole of a long text. A text of over 512 code units whose start does not overfill the line
// (marks, zero-width spaces) gives at most its first 512 and "…".
QString enoughToFill(const QFontMetrics& metrics, const QString& text, int width);
// `text` on one line `width` wide, as `shownWhole` gives it: whole where it fits, else cut at its
// end with "…", and never more than its first 512 code units. The cut falls between characters as
// the reader sees them, never between a letter and its marks nor inside an emoji sequence or a
// flag, unless the first character alone is that long.
QString elided(const QFontMetrics& metrics, const QString& text, int width);

// A title as a menu item shows it: "&" stays a letter, never marks a shortcut key.
QString menuText(const QString& title);
// The entries as the menu's actions; "&" in titles stays a letter.
void fill(QMenu& menu, const Menu& entries);
// A section of the menu headed `title`. Qt leaves a heading out of the menu's width: the menu is
// made at least as wide as the heading needs.
void addSection(QMenu& menu, const QString& title);

} // namespace burrowlight::look
