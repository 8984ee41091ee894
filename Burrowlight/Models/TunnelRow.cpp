#include "Burrowlight/Models/TunnelRow.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "TunnelKit/Text.h"

namespace burrowlight {

using tunnelkit::TunnelState;

StatusDotLook statusDot(const TunnelState& state) {
    using Tint = StatusDotLook::Tint;
    StatusDotLook look;
    look.symbol = texts::symbolName(state);
    look.toolTip = texts::text(state);
    if (state.is<TunnelState::Connected>()) {
        look.tint = Tint::green;
    } else if (state.is<TunnelState::Failed>()) {
        look.tint = Tint::red;
    } else if (state.is<TunnelState::Disconnected>()) {
        look.tint = Tint::secondary;
        look.hiddenInRow = true;
    } else {
        look.tint = Tint::orange;
        look.pulses = state.is<TunnelState::Connecting>();
    }
    return look;
}

RowSwitchLook TunnelRowTexts::rowSwitch(const TunnelState& state) {
    const bool on = state.isActive();
    return {on, !state.is<TunnelState::Disconnecting>(), on ? tr("Disconnect") : tr("Connect")};
}

QString TunnelRowTexts::newTunnelTitle(const QString& name) {
    const QString trimmed = QString::fromStdString(tunnelkit::text::trimBlanks(name.toStdString()));
    return trimmed.isEmpty() ? tr("New Tunnel") : onOneLine(trimmed);
}

QString TunnelRowTexts::notSavedYet() {
    return tr("not saved yet");
}

QString TunnelRowTexts::pinned() {
    return tr("Pinned");
}

QString TunnelRowTexts::unsavedChanges() {
    return tr("Unsaved Changes");
}

} // namespace burrowlight
