#pragma once

#include <QTextDocument>
#include <QTextEdit>
#include <map>
#include <optional>
#include <vector>

namespace burrowlight {

// Text from ssh or a file, shown as it is and selectable. It wraps between its words only, never at
// a hyphen or slash inside one, and a word longer than the line breaks inside itself, so that the
// text never widens its column. Whatever way it is copied (the clipboard, the selection, a drag),
// the copy is exactly the text.
class VerbatimText : public QTextEdit {
  public:
    explicit VerbatimText(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    QMimeData* createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void followTextColour();
    QSize unwrapped() const;
    void forgetMeasures();

    QString text_;
    // The shown text laid out apart from the widget, to answer how tall it is at any width.
    mutable QTextDocument measured_;
    // Where each position of the shown text, and its end, falls in `text_`.
    std::vector<qsizetype> textPositions_;
    // Heights already measured, by width: one layout asks for the same few widths again and again,
    // and a long text takes a while to lay out.
    mutable std::map<int, int> heights_;
    mutable std::optional<QSize> unwrapped_;
};

} // namespace burrowlight
