#include "Burrowlight/Widgets/Settings/PaneText.h"

#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Theme.h"

namespace burrowlight {

namespace {

constexpr qreal calloutScale = 0.92;

void scaleToCallout(QLabel& label, QFont font) {
    font.setPointSizeF(QFont().pointSizeF() * calloutScale);
    label.setFont(font);
    makeWideWrapping(label);
}

} // namespace

void makeWideWrapping(QLabel& label) {
    label.setWordWrap(true);
    // A bare policy would forget that the height follows the width.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    label.setSizePolicy(policy);
}

void makeMonospacedCallout(QLabel& label) {
    scaleToCallout(label, editorLook::monospaced(QFont()));
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
