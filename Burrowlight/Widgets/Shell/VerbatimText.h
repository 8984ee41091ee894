#pragma once

#include "Burrowlight/Widgets/Shell/LongWords.h"
#include "Burrowlight/Widgets/Shell/ShownCharacters.h"

#include <QTextDocument>
#include <QTextEdit>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

// Text from ssh or a file, shown as it is and selectable. It wraps between its words; a word longer
// than its line breaks where Unicode allows a line to break inside it (after a hyphen or a slash),
// never right after the hyphen that begins an option; a long word (LongWords.h) breaks every few
// letters, so that the text never widens its column. Whatever way it is copied (the clipboard, the
// selection, a drag) the copy is exactly the text, and assistive technology reads exactly the text:
// as a label's, named by what it says, unless the text is given a name of its own. What it lays out
// is bounded, as a crafted text would otherwise hold the window at each new width: the start of a
// text longer than a few pages shows, ending in "…", and a character with more marks than any
// script puts on one shows only the first of them.
class VerbatimText : public QTextEdit {
    Q_OBJECT

  public:
    explicit VerbatimText(QWidget* parent = nullptr);
    ~VerbatimText() override;

    void setText(const QString& text);
    const QString& text() const { return text_; }
    // Where its lines stand across its width: the leading edge unless told otherwise.
    void setLineAlignment(Qt::Alignment alignment);
    // Room around the text, within the widget: its sizes count it.
    void setTextMargins(const QMargins& margins);

    // Where a position of the shown document falls in `text()`, and where a position of `text()`
    // shows: the document also holds what keeps words whole.
    qsizetype textPosition(int shownPosition) const;
    int shownPosition(qsizetype textPosition) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    QMimeData* createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // A place between two characters of a word where a word joiner holds the line together. At a
    // break point it lets go on lines narrower than the word (`opensBelow`, the word's width);
    // elsewhere it never does (0). In a long word it is a place where the line may break (`breaks`).
    struct Joint {
        qsizetype at;
        qreal opensBelow;
        bool breaks = false;
    };
    // The text with its word joiners; where each position of it, and its end, falls in the text;
    // where each position of the text's shown part, and its end, shows: the rest of the text shows as
    // the "…" there, and the text's end after it.
    struct Shown {
        QString text;
        std::vector<qsizetype> textPositions;
        std::vector<int> shownPositions;
    };

    void findJoints();
    void findShownPart();
    void joinWords(const QString& shownPart, const std::vector<LongWord>& longWords);
    void breakLongWords(const QString& shownPart, const std::vector<LongWord>& longWords);
    // Which text lines this wide show: widths with the same answer show the same text.
    qsizetype variantFor(qreal width) const;
    Shown shownFor(qreal width, bool withPositions) const;
    // The document shows the text for lines this wide; the selection stays on the same text. Whether
    // the document was replaced.
    bool showFor(int width);
    // `measured_` holds the text for lines this wide.
    void measure(qreal width) const;
    void followTextColour();
    QSize unwrappedText() const;
    int textHeightFor(int textWidth) const;
    QSize aroundText() const;

    QString text_;
    bool hasText_ = false;
    Qt::Alignment alignment_ = Qt::AlignLeading;
    // Where the shown start of the text ends: after it "…" stands for the rest.
    qsizetype shownEnd_ = 0;
    std::vector<HiddenMarks> hidden_;
    std::vector<Joint> joints_;
    // The distinct widths of the words that have break points, in order: the shown text changes
    // only where the line's width crosses one of them.
    std::vector<qreal> breakingWidths_;

    std::unique_ptr<QTextDocument> shown_;
    qsizetype shownVariant_ = -1;
    std::vector<qsizetype> textPositions_;
    std::vector<int> shownPositions_;

    // The text laid out apart from the widget, to answer how tall it is at any width.
    mutable QTextDocument measured_;
    mutable qsizetype measuredVariant_ = -1;
    // Heights of the text already measured, by the width of its lines: one layout asks for the same few
    // widths again and again, and a long text takes a while to lay out.
    mutable std::map<int, int> heights_;
    mutable std::optional<QSize> unwrapped_;
};

} // namespace burrowlight
