#pragma once

#include <QIcon>
#include <QString>
#include <span>

namespace burrowlight {

// A symbol the texts and screens name ("circle.fill"), and the monochrome SVG that draws it.
struct SymbolIcon {
    const char* symbol;
    const char* resource;
};

// Every symbol the application draws, in one table.
std::span<const SymbolIcon> symbolIcons();
// The resource path of the symbol's SVG; empty for a symbol without one.
QString symbolIconPath(const QString& symbol);
// Drawn in black on transparent, for the theme to tint; a null icon for an unknown symbol.
QIcon symbolIcon(const QString& symbol);

} // namespace burrowlight
