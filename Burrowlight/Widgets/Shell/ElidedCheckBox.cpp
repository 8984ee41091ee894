#include "Burrowlight/Widgets/Shell/ElidedCheckBox.h"

#include "Burrowlight/Widgets/Shell/ShownCharacters.h"
#include "Burrowlight/Widgets/Style/Look.h"

#include <QEvent>
#include <QStyleOptionButton>

namespace burrowlight {

ElidedCheckBox::ElidedCheckBox(QWidget* parent) : QCheckBox(parent) {
    // A check box keeps to the width of its text; this one may have less.
    QSizePolicy policy = sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Preferred);
    setSizePolicy(policy);
}

void ElidedCheckBox::setFullText(const QString& text) {
    text_.setWhole(text);
    setAccessibleName(text);
    elide();
    updateGeometry();
}

QSize ElidedCheckBox::sizeHint() const {
    return sizeAround(text_);
}

QSize ElidedCheckBox::minimumSizeHint() const {
    return sizeAround(ElidedText(QString(QChar(0x2026))));
}

// As Qt's own check box is around its text, but for `text` whatever it shows now.
QSize ElidedCheckBox::sizeAround(const ElidedText& text) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = text.whole();
    return style()->sizeFromContents(QStyle::CT_CheckBox, &option, text.size(font()), this);
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
    const auto shown = text_.shownIn(fontMetrics(), room);
    setText(look::menuText(shown.text));
    // A tip shows as much of a crafted text as a read-only text does: Qt lays out all of it.
    setToolTip(shown.cut ? shownStart(text_.whole()) : QString());
}

} // namespace burrowlight
