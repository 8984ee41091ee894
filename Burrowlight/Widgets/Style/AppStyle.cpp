#include "Burrowlight/Widgets/Style/AppStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <algorithm>
#include <cmath>
#include <vector>

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

// How far a check box's outline stands from what is around it: WCAG's least for the parts that
// identify a control when disabled, the least for text when enabled.
constexpr qreal enabledOutlineContrast = 4.5;
constexpr qreal disabledOutlineContrast = 3.0;

// WCAG's relative luminance.
qreal luminance(const QColor& color) {
    const auto linear = [](qreal channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

qreal contrast(const QColor& one, const QColor& other) {
    const qreal first = luminance(one);
    const qreal second = luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor blended(const QColor& from, const QColor& to, qreal share) {
    const auto channel = [share](int one, int other) { return qRound(one + (other - one) * share); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// The first background blended toward black or white, whichever stands further from it, just far
// enough to keep `ratio` from every background.
QColor standingOut(const std::vector<QColor>& backgrounds, qreal ratio) {
    const QColor& nearest = backgrounds.front();
    const QColor far =
        contrast(nearest, Qt::white) > contrast(nearest, Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
    constexpr int steps = 64;
    for (int step = 1; step < steps; ++step) {
        const QColor color = blended(nearest, far, qreal(step) / steps);
        if (std::ranges::all_of(backgrounds,
                                [&](const QColor& back) { return contrast(color, back) >= ratio; })) {
            return color;
        }
    }
    return far;
}

// What a check box may stand on: a selected row's highlight, or else the window, the application's
// window colour that cards lay over it, and the base of lists and menus.
std::vector<QColor> backgroundsOf(const QStyleOption& option) {
    const QPalette& palette = option.palette;
    if (option.state & QStyle::State_Selected) {
        return {palette.color(QPalette::Highlight)};
    }
    return {palette.color(QPalette::Window),
            QApplication::palette().color(palette.currentColorGroup(), QPalette::Window),
            palette.color(QPalette::Base)};
}

QPainterPath tick(const QRectF& box) {
    const auto at = [&box](qreal x, qreal y) {
        return box.topLeft() + QPointF(x * box.width(), y * box.height());
    };
    QPainterPath path(at(0.25, 0.5));
    path.lineTo(at(0.43, 0.69));
    path.lineTo(at(0.76, 0.3));
    return path;
}

QPainterPath dash(const QRectF& box) {
    QPainterPath path(box.topLeft() + QPointF(0.27 * box.width(), 0.5 * box.height()));
    path.lineTo(box.topLeft() + QPointF(0.73 * box.width(), 0.5 * box.height()));
    return path;
}

// A square well in the base colour with an outline computed against what surrounds it; disabled, it
// is flat on the window colour, its outline fainter and its mark in the disabled text colour.
void drawCheckBox(const QStyleOption& option, QPainter& painter) {
    const QPalette& palette = option.palette;
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool focused =
        (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
    const QColor outline =
        standingOut(backgroundsOf(option), enabled ? enabledOutlineContrast : disabledOutlineContrast);
    QColor fill = palette.color(enabled ? QPalette::Base : QPalette::Window);
    if (option.state & QStyle::State_Sunken) {
        fill = blended(fill, outline, 0.3);
    }
    const int side = std::min(option.rect.width(), option.rect.height());
    QRect square(0, 0, side, side);
    square.moveCenter(option.rect.center());
    const QRectF box(square);
    // Each line on whole pixels: half its width in from the edge.
    const qreal width = focused ? 2 : 1;
    const QRectF frame = box.adjusted(width / 2, width / 2, -width / 2, -width / 2);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(outline, width));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 2, 2);
    if (option.state & (QStyle::State_On | QStyle::State_NoChange)) {
        QPen mark(palette.color(QPalette::Text), std::max(1.5, 0.14 * side));
        mark.setCapStyle(Qt::RoundCap);
        mark.setJoinStyle(Qt::RoundJoin);
        painter.setPen(mark);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(option.state & QStyle::State_On ? tick(box) : dash(box));
    }
    painter.restore();
}

} // namespace

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    if (element == PE_IndicatorCheckBox || element == PE_IndicatorItemViewItemCheck) {
        drawCheckBox(*option, *painter);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

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
