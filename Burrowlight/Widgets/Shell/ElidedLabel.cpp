#include "Burrowlight/Widgets/Shell/ElidedLabel.h"

#include "Burrowlight/Widgets/Shell/ShownCharacters.h"

#include <QEvent>

namespace burrowlight {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void ElidedLabel::setFullText(const QString& text) {
    text_.setWhole(text);
    setAccessibleName(text);
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    return {text_.size(font()).width() + margins.left() + margins.right(), QLabel::sizeHint().height()};
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
    const auto shown = text_.shownIn(fontMetrics(), contentsRect().width());
    setText(shown.text);
    // A tip shows as much of a crafted text as a read-only text does: Qt lays out all of it.
    setToolTip(shown.cut ? shownStart(text_.whole()) : QString());
}

} // namespace burrowlight
