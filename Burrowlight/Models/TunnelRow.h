#pragma once

#include "TunnelKit/TunnelConnection.h"

#include <QCoreApplication>
#include <QString>

namespace burrowlight {

// How a tunnel's state symbol looks: the symbol, its colour, whether it pulses. The rows and the
// detail's header draw it the same way.
struct StatusDotLook {
    enum class Tint { green, orange, red, secondary };

    QString symbol;
    Tint tint = Tint::secondary;
    // While connecting, and only then.
    bool pulses = false;
    // A row leaves the place of a disconnected tunnel's dot empty.
    bool hiddenInRow = false;
    // The state in words.
    QString toolTip;

    bool operator==(const StatusDotLook&) const = default;
};

StatusDotLook statusDot(const tunnelkit::TunnelState& state);

// The on/off switch of a row.
struct RowSwitchLook {
    // Connected, retrying or connecting.
    bool isOn = false;
    // Not while disconnecting.
    bool isEnabled = true;
    // What flipping it does: "Disconnect" while on, "Connect" while off.
    QString toolTip;

    bool operator==(const RowSwitchLook&) const = default;
};

class TunnelRowTexts {
    Q_DECLARE_TR_FUNCTIONS(TunnelRow)

  public:
    static RowSwitchLook rowSwitch(const tunnelkit::TunnelState& state);
    static QString newTunnelTitle(const QString& name);
    static QString notSavedYet();
    static QString pinned();
    static QString unsavedChanges();
};

} // namespace burrowlight
