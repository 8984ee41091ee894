#include "Burrowlight/Widgets/Shell/ShownCharacters.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace burrowlight {

namespace {

// Where finding characters starts over, in code units: a finder reads all of the text it is given
// as it is made, and only the start of a long text may show.
constexpr qsizetype firstReading = 8192;

} // namespace

// The text is read a stretch at a time, each from the start of a character: a character's end is
// known only before the stretch ends, and a character longer than a stretch is read again in one
// twice as long.
ShownCharacters findShownCharacters(const QString& text, qsizetype mostShown) {
    ShownCharacters shown{text.size(), {}};
    if (text.size() <= mostShownOfACharacter) {
        return shown;
    }
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype reading = firstReading;
    while (start < text.size()) {
        const qsizetype stretchEnd = std::min(text.size(), start + reading);
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme,
                                       QStringView(text).sliced(start, stretchEnd - start));
        const qsizetype stretchStart = start;
        for (qsizetype end = characters.toNextBoundary(); end != -1; end = characters.toNextBoundary()) {
            end += stretchStart;
            if (end == stretchEnd && end < text.size()) {
                break;
            }
            qsizetype kept = end - start;
            if (kept > mostShownOfACharacter) {
                kept = mostShownOfACharacter;
                if (text.at(start + kept - 1).isHighSurrogate()) {
                    --kept;
                }
            }
            if (count + kept > mostShown) {
                shown.end = start;
                return shown;
            }
            count += kept;
            if (start + kept < end) {
                shown.hidden.push_back({start, start + kept, end});
            }
            start = end;
        }
        reading = start == stretchStart ? reading * 2 : firstReading;
    }
    return shown;
}

QString withoutHidden(QStringView text, const std::vector<HiddenMarks>& hidden, qsizetype start,
                      qsizetype end) {
    QString shown;
    for (auto marks = std::ranges::upper_bound(hidden, start, {}, &HiddenMarks::end);
         marks != hidden.end() && marks->start < end; ++marks) {
        shown += text.sliced(start, std::max(marks->start, start) - start);
        start = std::min(marks->end, end);
    }
    return shown.append(text.sliced(start, end - start));
}

QString shownStart(const QString& text) {
    const ShownCharacters shown = findShownCharacters(text, mostShownOfAText);
    if (shown.end == text.size() && shown.hidden.empty()) {
        return text;
    }
    QString start = withoutHidden(text, shown.hidden, 0, shown.end);
    if (shown.end < text.size()) {
        start += QChar(0x2026);
    }
    return start;
}

} // namespace burrowlight
