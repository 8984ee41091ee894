#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include "Burrowlight/Widgets/Shell/VerbatimTextAccessible.h"

#include <QAccessible>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <utility>

namespace burrowlight {

namespace {

// Forbids a line break where it stands and shows nothing.
constexpr QChar wordJoiner(0x2060);
// Allows a line break where it stands and shows nothing.
constexpr QChar breakAllowed(0x200B);
// A long word may break this often, counted in graphemes.
constexpr int longWordBreaksEvery = 8;
constexpr QChar ellipsis(0x2026);

// Until it is given a width, the document lays out nothing: each of its lay-outs reads all of a long
// text.
void withoutLayout(QTextDocument& document) {
    document.setPageSize(QSizeF(0, 0));
}

void prepare(QTextDocument& document, const QFont& font, Qt::Alignment alignment) {
    document.setUndoRedoEnabled(false);
    document.setDocumentMargin(0);
    document.setDefaultFont(font);
    QTextOption wrapping = document.defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    wrapping.setAlignment(alignment);
    document.setDefaultTextOption(wrapping);
}

} // namespace

VerbatimText::VerbatimText(QWidget* parent) : QTextEdit(parent) {
    installVerbatimTextAccessibility();
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setDocumentMargin(0);
    prepare(measured_, font(), alignment_);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    followTextColour();
}

VerbatimText::~VerbatimText() {
    // The editor goes on using its document while it is taken apart: give it one of its own.
    if (shown_) {
        setDocument(nullptr);
    }
}

void VerbatimText::setText(const QString& text) {
    if (text == text_ && hasText_) {
        return;
    }
    hasText_ = true;
    const QString previous = std::exchange(text_, text);
    findJoints();
    // A text not shown yet is laid out when it shows, at the width it is then given.
    if (isVisible()) {
        showFor(viewport()->width());
    }
    updateGeometry();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, previous, text_);
        QAccessible::updateAccessibility(&changed);
    }
}

void VerbatimText::setLineAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    prepare(measured_, font(), alignment_);
    if (shown_) {
        prepare(*shown_, font(), alignment_);
    }
}

void VerbatimText::setTextMargins(const QMargins& margins) {
    setViewportMargins(margins);
    updateGeometry();
}

qsizetype VerbatimText::textPosition(int shownPosition) const {
    if (textPositions_.empty()) {
        return 0;
    }
    return textPositions_[std::clamp<size_t>(static_cast<size_t>(std::max(shownPosition, 0)), 0,
                                             textPositions_.size() - 1)];
}

int VerbatimText::shownPosition(qsizetype textPosition) const {
    if (shownPositions_.empty()) {
        return 0;
    }
    // The map ends with the shown part, at the "…" that stands for the rest of the text: the text's
    // end is past it.
    const auto shownEnd = static_cast<qsizetype>(shownPositions_.size()) - 1;
    const qsizetype textEnd = textPositions_.back();
    if (textEnd > shownEnd && textPosition >= textEnd) {
        return shownPositions_.back() + 1;
    }
    return shownPositions_[static_cast<size_t>(std::clamp<qsizetype>(textPosition, 0, shownEnd))];
}

void VerbatimText::findJoints() {
    joints_.clear();
    breakingWidths_.clear();
    shownVariant_ = -1;
    measuredVariant_ = -1;
    heights_.clear();
    unwrapped_.reset();
    findShownPart();
    const QString shownPart = text_.left(shownEnd_);
    const std::vector<LongWord> unbroken = longWords(shownPart);
    joinWords(shownPart, unbroken);
    breakLongWords(shownPart, unbroken);
    std::ranges::sort(breakingWidths_);
    breakingWidths_.erase(std::ranges::unique(breakingWidths_).begin(), breakingWidths_.end());
}

void VerbatimText::findShownPart() {
    ShownCharacters shown = findShownCharacters(text_, mostShownOfAText);
    shownEnd_ = shown.end;
    hidden_ = std::move(shown.hidden);
}

// Every grapheme boundary inside a word between spaces, outside the long words, is a joint; the
// Unicode line-break points among them open when the word is wider than its line, except right
// after the hyphens an option begins with.
void VerbatimText::joinWords(const QString& shownPart, const std::vector<LongWord>& longWords) {
    const QFontMetricsF metrics(font());
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, shownPart);
    QTextBoundaryFinder lineBreaks(QTextBoundaryFinder::Line, shownPart);
    auto longWord = longWords.begin();
    // Asked of positions in order.
    const auto insideLongWord = [&](qsizetype at) {
        while (longWord != longWords.end() && longWord->end <= at) {
            ++longWord;
        }
        return longWord != longWords.end() && longWord->start < at;
    };
    auto hidden = hidden_.begin();
    // Past the marks beyond those shown that stand at `at`, if any. Asked of positions in order.
    const auto pastHidden = [&](qsizetype at) {
        while (hidden != hidden_.end() && hidden->end <= at) {
            ++hidden;
        }
        return hidden != hidden_.end() && hidden->start <= at ? hidden->end : at;
    };
    const qsizetype size = shownPart.size();
    qsizetype start = 0;
    while (start < size) {
        if (shownPart.at(start).isSpace()) {
            ++start;
            continue;
        }
        qsizetype end = start;
        while (end < size && !shownPart.at(end).isSpace()) {
            end = pastHidden(end + 1);
        }
        qsizetype optionEnd = start;
        while (optionEnd < end && shownPart.at(optionEnd) == QLatin1Char('-')) {
            ++optionEnd;
        }
        // Longer than `longestWrappedWord`, it is wider than any line: its break points are always
        // open, and only an option's hyphens need holding.
        const bool widerThanAnyLine = end - start > longestWrappedWord;
        const qsizetype lastJoint = widerThanAnyLine ? std::min(optionEnd, end - 1) : end - 1;
        lineBreaks.setPosition(optionEnd);
        qsizetype nextBreak = lineBreaks.toNextBoundary();
        const bool breaks = !widerThanAnyLine && nextBreak != -1 && nextBreak < end;
        // Measured as it shows: shaping a character grows with the square of its marks.
        const qreal width =
            breaks ? metrics.horizontalAdvance(withoutHidden(shownPart, hidden_, start, end)) : 0;
        if (breaks) {
            breakingWidths_.push_back(width);
        }
        graphemes.setPosition(start);
        for (qsizetype at = graphemes.toNextBoundary(); at != -1 && at <= lastJoint;
             at = graphemes.toNextBoundary()) {
            while (nextBreak != -1 && nextBreak < at) {
                nextBreak = lineBreaks.toNextBoundary();
            }
            if (!insideLongWord(at)) {
                joints_.push_back({at, at == nextBreak ? width : 0});
            }
        }
        start = end;
    }
}

// Inside a long word the line may break every few graphemes.
void VerbatimText::breakLongWords(const QString& shownPart, const std::vector<LongWord>& longWords) {
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, shownPart);
    const auto joined = static_cast<std::ptrdiff_t>(joints_.size());
    for (const LongWord& word : longWords) {
        graphemes.setPosition(word.start);
        int inWord = 0;
        for (qsizetype at = graphemes.toNextBoundary(); at != -1 && at < word.end;
             at = graphemes.toNextBoundary()) {
            if (++inWord % longWordBreaksEvery == 0) {
                joints_.push_back({at, 0, true});
            }
        }
    }
    std::ranges::inplace_merge(joints_, joints_.begin() + joined, {}, &Joint::at);
}

qsizetype VerbatimText::variantFor(qreal width) const {
    return std::ranges::upper_bound(breakingWidths_, width) - breakingWidths_.begin();
}

VerbatimText::Shown VerbatimText::shownFor(qreal width, bool withPositions) const {
    Shown shown;
    const qsizetype size = text_.size();
    shown.text.reserve(shownEnd_ + static_cast<qsizetype>(joints_.size()) + 1);
    if (withPositions) {
        shown.textPositions.reserve(static_cast<size_t>(shownEnd_) + joints_.size() + 2);
        shown.shownPositions.resize(static_cast<size_t>(shownEnd_) + 1);
    }
    qsizetype at = 0;
    auto hidden = hidden_.begin();
    const auto copyUpTo = [&](qsizetype end) {
        while (at < end) {
            while (hidden != hidden_.end() && hidden->end <= at) {
                ++hidden;
            }
            // Marks beyond those shown show nowhere: passed over at once, each where the next shows.
            if (hidden != hidden_.end() && hidden->start <= at) {
                const qsizetype past = std::min(hidden->end, end);
                if (withPositions) {
                    std::fill(shown.shownPositions.begin() + at, shown.shownPositions.begin() + past,
                              static_cast<int>(shown.text.size()));
                }
                at = past;
                continue;
            }
            if (withPositions) {
                shown.shownPositions[static_cast<size_t>(at)] = static_cast<int>(shown.text.size());
            }
            // A document takes a CR LF pair as one line break: the CR shows as nothing.
            const bool crBeforeLf =
                text_.at(at) == QLatin1Char('\r') && at + 1 < size && text_.at(at + 1) == QLatin1Char('\n');
            if (!crBeforeLf) {
                shown.text += text_.at(at);
                if (withPositions) {
                    shown.textPositions.push_back(at);
                }
            }
            ++at;
        }
    };
    for (const Joint& joint : joints_) {
        copyUpTo(joint.at);
        if (joint.breaks || width >= joint.opensBelow) {
            shown.text += joint.breaks ? breakAllowed : wordJoiner;
            if (withPositions) {
                shown.textPositions.push_back(joint.at);
            }
        }
    }
    copyUpTo(shownEnd_);
    if (withPositions) {
        shown.shownPositions[static_cast<size_t>(shownEnd_)] = static_cast<int>(shown.text.size());
    }
    if (shownEnd_ < size) {
        if (withPositions) {
            shown.textPositions.push_back(shownEnd_);
        }
        shown.text += ellipsis;
    }
    if (withPositions) {
        shown.textPositions.push_back(size);
    }
    return shown;
}

// The document is replaced rather than edited: assistive technology hears of the text changing
// only when the text does, never when its lines are rejoined for another width.
bool VerbatimText::showFor(int width) {
    const qsizetype variant = variantFor(width);
    if (shown_ && variant == shownVariant_) {
        return false;
    }
    const QTextCursor cursor = textCursor();
    const bool keepsCursor = shown_ && (cursor.hasSelection() || cursor.position() != 0);
    const qsizetype anchor = textPosition(cursor.anchor());
    const qsizetype position = textPosition(cursor.position());

    Shown shown = shownFor(width, true);
    auto document = std::make_unique<QTextDocument>();
    prepare(*document, font(), alignment_);
    document->setPlainText(shown.text);
    withoutLayout(*document);
    setDocument(document.get());
    shown_ = std::move(document);
    shownVariant_ = variant;
    textPositions_ = std::move(shown.textPositions);
    shownPositions_ = std::move(shown.shownPositions);
    if (keepsCursor) {
        QTextCursor kept(shown_.get());
        kept.setPosition(shownPosition(anchor));
        kept.setPosition(shownPosition(position), QTextCursor::KeepAnchor);
        setTextCursor(kept);
    }
    return true;
}

void VerbatimText::measure(qreal width) const {
    const qsizetype variant = variantFor(width);
    if (variant != measuredVariant_) {
        withoutLayout(measured_);
        measured_.setPlainText(shownFor(width, false).text);
        measuredVariant_ = variant;
    }
}

int VerbatimText::heightForWidth(int width) const {
    const QSize around = aroundText();
    const int textWidth = std::max(1, width - around.width());
    return textHeightFor(textWidth) + around.height();
}

int VerbatimText::textHeightFor(int textWidth) const {
    if (textWidth >= unwrappedText().width()) {
        return unwrappedText().height();
    }
    if (const auto known = heights_.find(textWidth); known != heights_.end()) {
        return known->second;
    }
    if (heights_.size() >= 64) {
        heights_.clear();
    }
    measure(textWidth);
    measured_.setTextWidth(textWidth);
    const int height = static_cast<int>(std::ceil(measured_.size().height()));
    heights_.emplace(textWidth, height);
    return height;
}

QSize VerbatimText::sizeHint() const {
    return unwrappedText() + aroundText();
}

// All of it on one line where there is room for it; what keeps words whole takes none.
QSize VerbatimText::unwrappedText() const {
    if (!unwrapped_) {
        if (measuredVariant_ < 0) {
            measure(viewport()->width());
        }
        measured_.setTextWidth(-1);
        unwrapped_ = QSize(static_cast<int>(std::ceil(measured_.idealWidth())),
                           static_cast<int>(std::ceil(measured_.size().height())));
    }
    return *unwrapped_;
}

QSize VerbatimText::minimumSizeHint() const {
    // A few characters a line: the text takes the width its column has, never more.
    return QSize(fontMetrics().averageCharWidth() * 4, fontMetrics().lineSpacing()) + aroundText();
}

// The frame and the margins around the text.
QSize VerbatimText::aroundText() const {
    const QMargins margins = viewportMargins();
    return {frameWidth() * 2 + margins.left() + margins.right(),
            frameWidth() * 2 + margins.top() + margins.bottom()};
}

QMimeData* VerbatimText::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const qsizetype from = textPosition(cursor.selectionStart());
    auto data = std::make_unique<QMimeData>();
    data->setText(text_.mid(from, textPosition(cursor.selectionEnd()) - from));
    return data.release(); // the caller owns it
}

void VerbatimText::resizeEvent(QResizeEvent* event) {
    // A new document is laid out for the new width as it is set: the editor need not lay out the
    // one it replaces.
    if (!showFor(viewport()->width())) {
        QTextEdit::resizeEvent(event);
    }
    // Laid out to the full height it was given, it never scrolls under the user's selection.
    verticalScrollBar()->setValue(0);
}

void VerbatimText::showEvent(QShowEvent* event) {
    QTextEdit::showEvent(event);
    showFor(viewport()->width());
}

void VerbatimText::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        followTextColour();
    } else if (event->type() == QEvent::FontChange) {
        measured_.setDefaultFont(font());
        findJoints();
        if (isVisible()) {
            showFor(viewport()->width());
        }
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
