#pragma once

#include <QString>
#include <limits>
#include <vector>

namespace burrowlight {

// A character (a letter with its marks) shows at most this many of its UTF-16 code units: shaping a
// character grows with the square of its marks, and no script puts more marks on one than this.
inline constexpr qsizetype mostShownOfACharacter = 32;
// A read-only text shows at most this many code units of its start: more than a window shows, and
// each new width lays out all of them again.
inline constexpr qsizetype mostShownOfAText = 4096;

// Marks of a character beyond those it shows, from `start` to `end`; the character starts at
// `character`.
struct HiddenMarks {
    qsizetype character;
    qsizetype start;
    qsizetype end;
};

// What of a text is laid out: its start up to `end` (where a shown text is cut), without the marks
// it hides, in order.
struct ShownCharacters {
    qsizetype end = 0;
    std::vector<HiddenMarks> hidden;
};

// The start of `text` of whole characters up to `mostShown` of their shown code units, each showing
// at most `mostShownOfACharacter` of them, cut between code points.
ShownCharacters findShownCharacters(const QString& text,
                                    qsizetype mostShown = std::numeric_limits<qsizetype>::max());
// What shows of `text` from `start` to `end`: all but the marks hidden there.
QString withoutHidden(QStringView text, const std::vector<HiddenMarks>& hidden, qsizetype start,
                      qsizetype end);
// What a read-only text shows of `text`: its shown code units, then "…" where it is cut.
QString shownStart(const QString& text);

} // namespace burrowlight
