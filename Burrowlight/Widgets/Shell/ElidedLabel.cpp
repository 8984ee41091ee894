#include "Burrowlight/Widgets/Shell/ElidedLabel.h"

#include "Burrowlight/Widgets/Style/Look.h"

#include <QEvent>
#include <QFontMetricsF>
#include <cmath>

namespace burrowlight {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void ElidedLabel::setFullText(const QString& text) {
    full_ = text;
    setAccessibleName(text);
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    // Rounded up: a text a fraction wider than the rounded advance would be elided at that width.
    const int text =
        static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(look::shownWhole(full_))));
    return {text + margins.left() + margins.right(), QLabel::sizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    return {fontMetrics().horizontalAdvance(QChar(0x2026)) + margins.left() + margins.right(),
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        elide();
    }
}

void ElidedLabel::elide() {
    const QString shown = look::elided(fontMetrics(), full_, contentsRect().width());
    setText(shown);
    setToolTip(shown == look::shownWhole(full_) ? QString() : full_);
}

} // namespace burrowlight
