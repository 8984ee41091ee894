#pragma once

#include <QScrollArea>

namespace burrowlight {

// A column that scrolls up and down only: it asks for the least width its content needs, so that the
// window around it is never made narrow enough for the content to scroll sideways.
class ColumnScrollArea : public QScrollArea {
  public:
    explicit ColumnScrollArea(QWidget* parent = nullptr);

    void setColumn(QWidget& column);
    QSize minimumSizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace burrowlight
