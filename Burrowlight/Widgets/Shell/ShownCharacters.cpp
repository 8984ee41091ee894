#include "Burrowlight/Widgets/Shell/ShownCharacters.h"

#include <QTextBoundaryFinder>

namespace burrowlight {

ShownCharacters findShownCharacters(const QString& text, qsizetype mostShown) {
    ShownCharacters shown{text.size(), {}};
    if (text.size() <= mostShownOfACharacter) {
        return shown;
    }
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    qsizetype start = 0;
    for (qsizetype end = characters.toNextBoundary(); end != -1;
         start = end, end = characters.toNextBoundary()) {
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
    }
    return shown;
}

} // namespace burrowlight
