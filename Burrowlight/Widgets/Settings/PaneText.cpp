#include "Burrowlight/Widgets/Settings/PaneText.h"

#include "Burrowlight/Widgets/Shell/Theme.h"

#include <QFontDatabase>

namespace burrowlight {

namespace {

constexpr qreal calloutScale = 0.92;

void scaleToCallout(QLabel& label, QFont font) {
    font.setPointSizeF(QFont().pointSizeF() * calloutScale);
    label.setFont(font);
    // Across the whole row, so that a form lays the wrapped lines out at the width they get.
    label.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

} // namespace

void makeMonospacedCallout(QLabel& label) {
    scaleToCallout(label, QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label.setTextFormat(Qt::PlainText);
    label.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label.setWordWrap(true);
}

void makeErrorCallout(QLabel& label) {
    makeCallout(label);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, makeDynamicColor(0xC62828, 0xFF6F61));
    label.setPalette(palette);
}

void makeCallout(QLabel& label) {
    scaleToCallout(label, QFont());
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
}

} // namespace burrowlight
