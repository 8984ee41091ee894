#include "Burrowlight/Core/SymbolIcons.h"

#include <algorithm>
#include <array>

namespace burrowlight {

namespace {

constexpr std::array<SymbolIcon, 13> table{{
    {"circle", ":/icons/circle.svg"},
    {"circle.fill", ":/icons/circle.fill.svg"},
    {"circle.dotted", ":/icons/circle.dotted.svg"},
    {"arrow.clockwise.circle", ":/icons/arrow.clockwise.circle.svg"},
    {"exclamationmark.circle.fill", ":/icons/exclamationmark.circle.fill.svg"},
    {"gearshape", ":/icons/gearshape.svg"},
    {"terminal", ":/icons/terminal.svg"},
    {"point.3.connected.trianglepath.dotted", ":/icons/point.3.connected.trianglepath.dotted.svg"},
    {"doc.text", ":/icons/doc.text.svg"},
    {"plus.circle", ":/icons/plus.circle.svg"},
    {"bell", ":/icons/bell.svg"},
    {"power", ":/icons/power.svg"},
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
