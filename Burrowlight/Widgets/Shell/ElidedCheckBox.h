#pragma once

#include "Burrowlight/Widgets/Shell/ElidedText.h"

#include <QCheckBox>

namespace burrowlight {

// A check box whose one line of text gives way to its neighbours, as an ElidedLabel does: where it
// is cut it ends in an ellipsis, and the whole text is its tooltip and its accessible name. An "&"
// in the text is a letter, never a shortcut key's mark.
class ElidedCheckBox : public QCheckBox {
  public:
    explicit ElidedCheckBox(QWidget* parent = nullptr);

    void setFullText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QSize sizeAround(const ElidedText& text) const;
    void elide();

    ElidedText text_;
};

} // namespace burrowlight
