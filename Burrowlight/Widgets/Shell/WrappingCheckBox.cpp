#include "Burrowlight/Widgets/Shell/WrappingCheckBox.h"

#include <QEvent>
#include <QMouseEvent>

namespace burrowlight {

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QWidget(parent), label_(text) {
    box_.setAccessibleName(text);
    label_.setWordWrap(true);
    label_.setTextFormat(Qt::PlainText);
    label_.setBuddy(&box_);
    label_.installEventFilter(this);
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.addWidget(&box_, 0, Qt::AlignTop);
    layout_.addWidget(&label_, 1);
}

void WrappingCheckBox::setText(const QString& text) {
    label_.setText(text);
    box_.setAccessibleName(text);
}

bool WrappingCheckBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &label_ && event->type() == QEvent::MouseButtonRelease && box_.isEnabled() &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        box_.toggle();
        box_.setFocus(Qt::MouseFocusReason);
        return true;
    }
    return false;
}

} // namespace burrowlight
