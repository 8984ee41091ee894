#pragma once

#include "Burrowlight/Models/TunnelRow.h"
#include "TunnelKit/TunnelConnection.h"

#include <QVariantAnimation>
#include <QWidget>

class QPainter;

namespace burrowlight {

// The state symbol, 14 pixels wide: drawn the same by the list's rows and by the StatusDot widget.
// `pulse` (0 to 1) fades a pulsing symbol; the others ignore it.
inline constexpr int statusDotWidth = 14;
void paintStatusDot(QPainter& painter, const QRect& rect, const StatusDotLook& look, qreal pulse,
                    const QPalette& palette);

// The fade of a pulsing symbol over time: one breath a second, forever, once started.
class StatusPulse : public QVariantAnimation {
  public:
    explicit StatusPulse(QObject* parent = nullptr);
    // 0 (bright) to 1 (faint).
    qreal phase() const { return state() == Running ? currentValue().toReal() : 0; }
};

// The state symbol as a widget of its own, with the state in words as its tooltip; it pulses while
// connecting and while it is visible, and runs no timer otherwise.
class StatusDot : public QWidget {
  public:
    explicit StatusDot(QWidget* parent = nullptr);

    void setState(const tunnelkit::TunnelState& state);
    const StatusDotLook& look() const { return look_; }
    bool isPulsing() const { return pulse_.state() == QAbstractAnimation::Running; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void updatePulse();

    StatusDotLook look_;
    StatusPulse pulse_{this};
};

} // namespace burrowlight
