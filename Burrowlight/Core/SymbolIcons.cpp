#include "Burrowlight/Core/SymbolIcons.h"

#include <algorithm>
#include <array>

namespace burrowlight {

namespace {

constexpr std::array<SymbolIcon, 16> table{{
    {"circle", ":/icons/circle.svg"},
    {"circle.fill", ":/icons/circle.fill.svg"},
    {"circle.dotted", ":/icons/circle.dotted.svg"},
    {"arrow.clockwise.circle", ":/icons/arrow.clockwise.circle.svg"},
    {"exclamationmark.circle.fill", ":/icons/exclamationmark.circle.fill.svg"},
    {"plus", ":/icons/plus.svg"},
    {"list.bullet", ":/icons/list.bullet.svg"},
    {"play.circle", ":/icons/play.circle.svg"},
    {"stop.circle", ":/icons/stop.circle.svg"},
    {"tag", ":/icons/tag.svg"},
    {"macwindow", ":/icons/macwindow.svg"},
    {"gearshape", ":/icons/gearshape.svg"},
    {"arrow.down.circle", ":/icons/arrow.down.circle.svg"},
    {"cup.and.heat.waves", ":/icons/cup.and.heat.waves.svg"},
    {"exclamationmark.bubble", ":/icons/exclamationmark.bubble.svg"},
    {"power", ":/icons/power.svg"},
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
