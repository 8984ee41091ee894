#include "Burrowlight/Widgets/Style/AppStyle.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>

namespace burrowlight {

namespace {

// Between a push button's edge and its text, its frame included.
constexpr int buttonPadding = 14;

// A tool button whose whole face opens its menu: the style draws the arrow over the face's corner.
bool drawsMenuArrowInside(const QStyleOption* option) {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    return button && (button->features & QStyleOptionToolButton::HasMenu) &&
           !(button->features & QStyleOptionToolButton::MenuButtonPopup) &&
           button->toolButtonStyle != Qt::ToolButtonIconOnly && !button->text.isEmpty();
}

} // namespace

QSize AppStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                 const QWidget* widget) const {
    QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    if (type == CT_PushButton) {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (button && !button->text.isEmpty() && !(button->features & QStyleOptionButton::Flat)) {
            size.setWidth(std::max(size.width(), contents.width() + 2 * buttonPadding));
        }
    } else if (type == CT_ToolButton && drawsMenuArrowInside(option)) {
        size.rwidth() += pixelMetric(PM_MenuButtonIndicator, option, widget);
    }
    return size;
}

void AppStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const {
    if (element == CE_ToolButtonLabel && drawsMenuArrowInside(option)) {
        // The text keeps to the room it had before the arrow's was added.
        QStyleOptionToolButton label = *qstyleoption_cast<const QStyleOptionToolButton*>(option);
        const int arrow = pixelMetric(PM_MenuButtonIndicator, option, widget);
        label.rect = visualRect(label.direction, label.rect, label.rect.adjusted(0, 0, -arrow, 0));
        QProxyStyle::drawControl(element, &label, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void installAppStyle() {
    QApplication::setStyle(new AppStyle(QApplication::style()->name())); // owned by the application
}

} // namespace burrowlight
