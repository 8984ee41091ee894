#pragma once

#include "Burrowlight/Widgets/Shell/ElidedText.h"

#include <QLabel>

namespace burrowlight {

// One line of plain text that gives way to its neighbours: where it is cut it ends in an ellipsis,
// and the whole text is its tooltip and its accessible name.
class ElidedLabel : public QLabel {
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void elide();

    ElidedText text_;
};

} // namespace burrowlight
