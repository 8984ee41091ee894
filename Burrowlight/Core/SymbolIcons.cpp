#include "Burrowlight/Core/SymbolIcons.h"

#include <algorithm>
#include <array>

namespace burrowlight {

namespace {

constexpr std::array<SymbolIcon, 51> table{{
    {"circle", ":/icons/circle.svg"},
    {"circle.fill", ":/icons/circle.fill.svg"},
    {"circle.dotted", ":/icons/circle.dotted.svg"},
    {"arrow.clockwise.circle", ":/icons/arrow.clockwise.circle.svg"},
    {"exclamationmark.circle.fill", ":/icons/exclamationmark.circle.fill.svg"},
    {"arrow.uturn.backward", ":/icons/arrow.uturn.backward.svg"},
    {"bolt.horizontal.circle", ":/icons/bolt.horizontal.circle.svg"},
    {"magnifyingglass", ":/icons/magnifyingglass.svg"},
    {"pencil", ":/icons/pencil.svg"},
    {"pencil.circle.fill", ":/icons/pencil.circle.fill.svg"},
    {"pin", ":/icons/pin.svg"},
    {"pin.fill", ":/icons/pin.fill.svg"},
    {"pin.slash", ":/icons/pin.slash.svg"},
    {"play.circle", ":/icons/play.circle.svg"},
    {"plus", ":/icons/plus.svg"},
    {"plus.square.on.square", ":/icons/plus.square.on.square.svg"},
    {"point.3.connected.trianglepath.dotted", ":/icons/point.3.connected.trianglepath.dotted.svg"},
    {"rectangle.stack", ":/icons/rectangle.stack.svg"},
    {"square.and.arrow.up", ":/icons/square.and.arrow.up.svg"},
    {"stop.circle", ":/icons/stop.circle.svg"},
    {"tag", ":/icons/tag.svg"},
    {"tag.slash", ":/icons/tag.slash.svg"},
    {"terminal", ":/icons/terminal.svg"},
    {"tray.full", ":/icons/tray.full.svg"},
    {"trash", ":/icons/trash.svg"},
    {"minus.circle", ":/icons/minus.circle.svg"},
    {"info.circle", ":/icons/info.circle.svg"},
    {"exclamationmark.shield", ":/icons/exclamationmark.shield.svg"},
    {"arrow.right", ":/icons/arrow.right.svg"},
    {"chevron.down", ":/icons/chevron.down.svg"},
    {"arrow.right.circle", ":/icons/arrow.right.circle.svg"},
    {"arrow.left.circle", ":/icons/arrow.left.circle.svg"},
    {"network", ":/icons/network.svg"},
    {"network.badge.shield.half.filled", ":/icons/network.badge.shield.half.filled.svg"},
    {"exclamationmark.triangle", ":/icons/exclamationmark.triangle.svg"},
    {"exclamationmark.triangle.fill", ":/icons/exclamationmark.triangle.fill.svg"},
    {"arrow.clockwise", ":/icons/arrow.clockwise.svg"},
    {"doc.on.doc", ":/icons/doc.on.doc.svg"},
    {"safari", ":/icons/safari.svg"},
    {"clock.arrow.circlepath", ":/icons/clock.arrow.circlepath.svg"},
    {"list.bullet", ":/icons/list.bullet.svg"},
    {"macwindow", ":/icons/macwindow.svg"},
    {"gearshape", ":/icons/gearshape.svg"},
    {"arrow.down.circle", ":/icons/arrow.down.circle.svg"},
    {"cup.and.heat.waves", ":/icons/cup.and.heat.waves.svg"},
    {"exclamationmark.bubble", ":/icons/exclamationmark.bubble.svg"},
    {"power", ":/icons/power.svg"},
    {"doc.text", ":/icons/doc.text.svg"},
    {"plus.circle", ":/icons/plus.circle.svg"},
    {"bell", ":/icons/bell.svg"},
    {"checkmark.circle.fill", ":/icons/checkmark.circle.fill.svg"},
}};

} // namespace

std::span<const SymbolIcon> symbolIcons() {
    return table;
}

QString symbolIconPath(const QString& symbol) {
    const auto found = std::find_if(table.begin(), table.end(), [&](const SymbolIcon& icon) {
        return symbol == QLatin1String(icon.symbol);
    });
    return found == table.end() ? QString() : QString::fromLatin1(found->resource);
}

QIcon symbolIcon(const QString& symbol) {
    const QString path = symbolIconPath(symbol);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

} // namespace burrowlight
