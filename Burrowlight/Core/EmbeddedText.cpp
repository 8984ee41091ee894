#include "Burrowlight/Core/EmbeddedText.h"

#include <QStringList>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace burrowlight {

namespace {

constexpr char16_t firstStrongIsolate = 0x2068;
constexpr char16_t popDirectionalIsolate = 0x2069;

bool opensIsolate(char16_t c) {
    return c >= 0x2066 && c <= 0x2068;
}

bool isDirectionControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

constexpr char16_t lineSeparator = 0x2028;
constexpr char16_t paragraphSeparator = 0x2029;

// What Unicode counts as a mandatory line break.
bool breaksLine(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == lineSeparator || c == paragraphSeparator;
}

template <typename Predicate> QString escaped(const QString& text, Predicate escapes) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (escapes(c.unicode())) {
            result.append(QStringLiteral("\\u") +
                          QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        } else {
            result.append(c);
        }
    }
    return result;
}

} // namespace

QString isolated(const QString& text) {
    QString result;
    result.reserve(text.size() + 2);
    result.append(QChar(firstStrongIsolate));
    int open = 0;
    for (const QChar c : text) {
        if (opensIsolate(c.unicode())) {
            ++open;
        } else if (c.unicode() == popDirectionalIsolate) {
            if (open == 0) {
                continue;
            }
            --open;
        }
        result.append(c);
    }
    // Its own open isolates are closed first, or the last PDI would close one of them, not ours.
    result.append(QString(open + 1, QChar(popDirectionalIsolate)));
    return result;
}

QString escapedControls(const QString& text) {
    return escaped(text, [](char16_t c) { return isControl(c) || isDirectionControl(c) || breaksLine(c); });
}

QString escapedControlsInLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    std::ranges::for_each(lines, [](QString& line) { line = escapedControls(line); });
    return lines.join(QLatin1Char('\n'));
}

QString escapedLineBreaks(const QString& text) {
    return escaped(text, breaksLine);
}

QString onOneLine(QString text) {
    for (QChar& c : text) {
        if (breaksLine(c.unicode()) || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        } else if (c.isNull()) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

QString shortened(const QString& text, qsizetype limit) {
    QString line = onOneLine(text);
    // Code points: a surrogate pair is one.
    const auto codePoints = [&](qsizetype from, qsizetype to) {
        return std::count_if(line.cbegin() + from, line.cbegin() + to,
                             [](QChar c) { return !c.isLowSurrogate(); });
    };
    if (line.size() <= limit || codePoints(0, line.size()) <= limit) {
        return line;
    }
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
    qsizetype cut = 0;
    qsizetype used = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        used += codePoints(cut, next);
        if (used > limit) {
            break;
        }
        cut = next;
    }
    if (cut == 0) {
        // One character longer than the whole: cut between its code points.
        for (qsizetype taken = 0; taken < limit; ++taken) {
            cut += line.at(cut).isHighSurrogate() && cut + 1 < line.size() ? 2 : 1;
        }
    }
    return line.left(cut) + QChar(0x2026);
}

QString inSentence(const QString& text) {
    return isolated(shortened(text));
}

} // namespace burrowlight
