#include "Burrowlight/Core/BlankText.h"

namespace burrowlight {

QString trimmedBlanks(const QString& text) {
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin])) {
        ++begin;
    }
    while (end > begin && blank(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

} // namespace burrowlight
