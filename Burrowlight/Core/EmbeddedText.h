#pragma once

#include <QString>

namespace burrowlight {

// A user's text inside one of ours, isolated (FSI … PDI) so that the direction controls it holds
// reorder nothing around it. Its own isolates are balanced: an unmatched PDI, which would end the
// isolate early, is dropped, and one left open is closed.
QString isolated(const QString& text);

// For a terminal, which knows no isolates: control characters, direction controls and the line and
// paragraph separators written as \uXXXX, so that a text can neither reorder nor rewrite the line it
// is on, nor start another.
QString escapedControls(const QString& text);
// The same for a text of several lines: each line escaped, the line feeds between them kept.
QString escapedControlsInLines(const QString& text);
// Only the line breaks written as \uXXXX: a text that must stay one line of a message whose own
// lines a reader splits.
QString escapedLineBreaks(const QString& text);

// A user's text on one line of a window, menu, alert or notification: each line break inside it
// (line feed, carriage return, the line and paragraph separators…) and each tab shows as a space,
// so that it neither starts a line nor a menu's shortcut column, and NUL as U+FFFD, which no menu
// or bus takes for the text's end.
QString onOneLine(QString text);

// How many characters of a name, tag, server or file name a menu, alert, bar, title or
// notification shows.
constexpr qsizetype shownCharacters = 80;
// A user's text as a menu, alert, bar, title or notification shows it: on one line, and at most
// `limit` characters, never cut inside one, then "…". A character of many code points counts
// as several, so that no crafted one stays long.
QString shortened(const QString& text, qsizetype limit = shownCharacters);
// A name, tag, server or file name set into a sentence of ours: shortened and isolated.
QString inSentence(const QString& text);

} // namespace burrowlight
