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

struct Shown {
    QString text;
    std::vector<qsizetype> textPositions;
};

// The text with a word joiner between any two characters of a word: a line may then break only at
// blanks, and, where a word does not fit, anywhere inside it.
Shown joinWords(const QString& text) {
    Shown shown;
    shown.text.reserve(text.size() * 2);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    bool previousInWord = false;
    while (start < text.size()) {
        const qsizetype end = graphemes.toNextBoundary();
        const bool inWord = !text.at(start).isSpace();
        if (previousInWord && inWord) {
            shown.text += wordJoiner;
            shown.textPositions.push_back(start);
        }
        for (qsizetype at = start; at < end; ++at) {
            shown.text += text.at(at);
            shown.textPositions.push_back(at);
        }
        previousInWord = inWord;
        start = end;
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
    updateGeometry();
}

int VerbatimText::heightForWidth(int width) const {
    measured_.setTextWidth(std::max(1, width - frameWidth() * 2));
    return static_cast<int>(std::ceil(measured_.size().height())) + frameWidth() * 2;
}

QSize VerbatimText::sizeHint() const {
    // All of it on one line where there is room for it.
    measured_.setTextWidth(-1);
    const int width = static_cast<int>(std::ceil(measured_.idealWidth())) + frameWidth() * 2;
    return {width, heightForWidth(width)};
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
