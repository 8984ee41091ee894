#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <cmath>
#include <memory>

namespace burrowlight {

namespace {

// Forbids a line break where it stands and shows nothing.
constexpr QChar wordJoiner(0x2060);
// Allows a line break where it stands and shows nothing.
constexpr QChar breakAllowed(0x200B);
// Longer than any line: such a word is broken wherever a line is full, at one of the places every
// few characters where it may break. Qt looks for a word's end before it breaks inside it, so a word
// of 100,000 letters held together would be read whole again for each of its lines.
constexpr qsizetype longestJoinedWord = 1000;
constexpr size_t longWordBreaksEvery = 8;

struct Shown {
    QString text;
    std::vector<qsizetype> textPositions;
};

// Where each grapheme of the text ends.
std::vector<qsizetype> graphemeEnds(const QString& text) {
    std::vector<qsizetype> ends;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        ends.push_back(end);
    }
    return ends;
}

// The text with a word joiner between any two characters of a word: a line may then break only at
// blanks, and, where a word does not fit, anywhere inside it. Words longer than any line may break
// every few characters instead.
Shown joinWords(const QString& text) {
    const std::vector<qsizetype> ends = graphemeEnds(text);
    const auto isWord = [&](size_t grapheme) {
        return !text.at(grapheme == 0 ? 0 : ends[grapheme - 1]).isSpace();
    };
    Shown shown;
    shown.text.reserve(text.size() * 2);
    size_t grapheme = 0;
    while (grapheme < ends.size()) {
        size_t runEnd = grapheme + 1;
        while (runEnd < ends.size() && isWord(runEnd) == isWord(grapheme)) {
            ++runEnd;
        }
        const bool joined = isWord(grapheme) && runEnd - grapheme <= size_t(longestJoinedWord);
        for (size_t at = grapheme; at < runEnd; ++at) {
            const qsizetype start = at == 0 ? 0 : ends[at - 1];
            const size_t inWord = at - grapheme;
            if (inWord > 0 && isWord(grapheme) && (joined || inWord % longWordBreaksEvery == 0)) {
                shown.text += joined ? wordJoiner : breakAllowed;
                shown.textPositions.push_back(start);
            }
            for (qsizetype position = start; position < ends[at]; ++position) {
                shown.text += text.at(position);
                shown.textPositions.push_back(position);
            }
        }
        grapheme = runEnd;
    }
    shown.textPositions.push_back(text.size());
    return shown;
}

} // namespace

VerbatimText::VerbatimText(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(0);
    measured_.setDocumentMargin(0);
    measured_.setDefaultFont(font());
    QTextOption wrapping = measured_.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    measured_.setDefaultTextOption(wrapping);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    followTextColour();
}

void VerbatimText::setText(const QString& text) {
    if (text == text_ && !textPositions_.empty()) {
        return;
    }
    text_ = text;
    Shown shown = joinWords(text);
    textPositions_ = std::move(shown.textPositions);
    setPlainText(shown.text);
    measured_.setPlainText(shown.text);
    forgetMeasures();
    updateGeometry();
}

int VerbatimText::heightForWidth(int width) const {
    if (width >= unwrapped().width()) {
        return unwrapped().height();
    }
    if (const auto known = heights_.find(width); known != heights_.end()) {
        return known->second;
    }
    if (heights_.size() >= 64) {
        heights_.clear();
    }
    measured_.setTextWidth(std::max(1, width - frameWidth() * 2));
    const int height = static_cast<int>(std::ceil(measured_.size().height())) + frameWidth() * 2;
    heights_.emplace(width, height);
    return height;
}

QSize VerbatimText::sizeHint() const {
    return unwrapped();
}

// All of it on one line where there is room for it.
QSize VerbatimText::unwrapped() const {
    if (!unwrapped_) {
        measured_.setTextWidth(-1);
        unwrapped_ = QSize(static_cast<int>(std::ceil(measured_.idealWidth())),
                           static_cast<int>(std::ceil(measured_.size().height()))) +
                     QSize(frameWidth() * 2, frameWidth() * 2);
    }
    return *unwrapped_;
}

QSize VerbatimText::minimumSizeHint() const {
    // A few characters a line: the text takes the width its column has, never more.
    return {fontMetrics().averageCharWidth() * 4 + frameWidth() * 2,
            fontMetrics().lineSpacing() + frameWidth() * 2};
}

QMimeData* VerbatimText::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const auto at = [this](int position) {
        return textPositions_.at(
            std::clamp<size_t>(static_cast<size_t>(position), 0, textPositions_.size() - 1));
    };
    const qsizetype from = at(cursor.selectionStart());
    auto data = std::make_unique<QMimeData>();
    data->setText(text_.mid(from, at(cursor.selectionEnd()) - from));
    return data.release(); // the caller owns it
}

void VerbatimText::forgetMeasures() {
    heights_.clear();
    unwrapped_.reset();
}

void VerbatimText::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    // Laid out to the full height it was given, it never scrolls under the user's selection.
    verticalScrollBar()->setValue(0);
}

void VerbatimText::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        followTextColour();
    } else if (event->type() == QEvent::FontChange) {
        measured_.setDefaultFont(font());
        forgetMeasures();
        updateGeometry();
    }
}

// Coloured like a label beside it: the window's text colour, secondary where the label's is.
void VerbatimText::followTextColour() {
    QPalette shown = palette();
    bool changed = false;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor colour = shown.color(group, QPalette::WindowText);
        if (shown.color(group, QPalette::Text) != colour) {
            shown.setColor(group, QPalette::Text, colour);
            changed = true;
        }
    }
    if (changed) {
        setPalette(shown);
    }
}

} // namespace burrowlight
