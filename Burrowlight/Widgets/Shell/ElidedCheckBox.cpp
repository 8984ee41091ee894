#include "Burrowlight/Widgets/Shell/ElidedCheckBox.h"

#include "Burrowlight/Widgets/Style/Look.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <cmath>

namespace burrowlight {

ElidedCheckBox::ElidedCheckBox(QWidget* parent) : QCheckBox(parent) {
    // A check box keeps to the width of its text; this one may have less.
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Preferred);
    setSizePolicy(policy);
}

void ElidedCheckBox::setFullText(const QString& text) {
    full_ = text;
    setAccessibleName(text);
    elide();
    updateGeometry();
}

QSize ElidedCheckBox::sizeHint() const {
    return sizeWith(look::shownWhole(full_));
}

QSize ElidedCheckBox::minimumSizeHint() const {
    return sizeWith(QString(QChar(0x2026)));
}

QSize ElidedCheckBox::sizeWith(const QString& text) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = text;
    // As tall as Qt's own check box; as wide as the text, rounded up, as ElidedLabel measures it.
    const int height =
        style()
            ->itemTextRect(fontMetrics(), QRect(), Qt::TextShowMnemonic, false, look::menuText(text))
            .height();
    const QSize contents(static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text))), height);
    return style()->sizeFromContents(QStyle::CT_CheckBox, &option, contents, this);
}

void ElidedCheckBox::resizeEvent(QResizeEvent* event) {
    QCheckBox::resizeEvent(event);
    elide();
}

void ElidedCheckBox::changeEvent(QEvent* event) {
    QCheckBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        elide();
    }
}

void ElidedCheckBox::elide() {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int room = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).width();
    const QString shown = look::elided(fontMetrics(), full_, room);
    setText(look::menuText(shown));
    setToolTip(shown == look::shownWhole(full_) ? QString() : full_);
}

} // namespace burrowlight
