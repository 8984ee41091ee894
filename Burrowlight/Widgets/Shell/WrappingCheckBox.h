#pragma once

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

namespace burrowlight {

// A check box whose text wraps onto as many lines as it needs; a click on the text ticks it too.
class WrappingCheckBox : public QWidget {
  public:
    explicit WrappingCheckBox(const QString& text = QString(), QWidget* parent = nullptr);

    void setText(const QString& text);

    QCheckBox& box() { return box_; }
    QLabel& label() { return label_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QCheckBox box_;
    QLabel label_;
    QHBoxLayout layout_{this};
};

} // namespace burrowlight
