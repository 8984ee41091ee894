#include "Burrowlight/Widgets/MainWindow/StatusDot.h"

#include "Burrowlight/Widgets/Style/Look.h"

#include <QEasingCurve>
#include <QPainter>

namespace burrowlight {

namespace {

// The symbol's size inside its 14-pixel frame, as an 11-point semibold glyph stands.
constexpr int symbolSize = 12;
constexpr qreal faintest = 0.3;

} // namespace

void paintStatusDot(QPainter& painter, const QRect& rect, const StatusDotLook& look, qreal pulse,
                    const QPalette& palette) {
    const QPixmap pixmap = look::symbol(look.symbol, look::tint(look.tint, palette), symbolSize,
                                        painter.device()->devicePixelRatioF());
    const QRect place(rect.center().x() - symbolSize / 2 + 1, rect.center().y() - symbolSize / 2 + 1,
                      symbolSize, symbolSize);
    const qreal opacity = painter.opacity();
    if (look.pulses) {
        painter.setOpacity(opacity * (1 - pulse * (1 - faintest)));
    }
    painter.drawPixmap(place, pixmap);
    painter.setOpacity(opacity);
}

StatusPulse::StatusPulse(QObject* parent) : QVariantAnimation(parent) {
    setStartValue(0.0);
    setKeyValueAt(0.5, 1.0);
    setEndValue(0.0);
    setDuration(1200);
    setEasingCurve(QEasingCurve::InOutSine);
    setLoopCount(-1);
}

StatusDot::StatusDot(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(&pulse_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    setState(tunnelkit::TunnelState::disconnected());
}

void StatusDot::setState(const tunnelkit::TunnelState& state) {
    const StatusDotLook look = statusDot(state);
    if (look == look_) {
        return;
    }
    look_ = look;
    setToolTip(look_.toolTip);
    setAccessibleName(look_.toolTip);
    updatePulse();
    update();
}

QSize StatusDot::sizeHint() const {
    return {statusDotWidth, statusDotWidth};
}

void StatusDot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paintStatusDot(painter, rect(), look_, pulse_.phase(), palette());
}

void StatusDot::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updatePulse();
}

void StatusDot::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updatePulse();
}

void StatusDot::updatePulse() {
    if (look_.pulses && isVisible()) {
        if (pulse_.state() != QAbstractAnimation::Running) {
            pulse_.start();
        }
    } else {
        pulse_.stop();
    }
}

} // namespace burrowlight
