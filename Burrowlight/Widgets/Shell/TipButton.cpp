#include "Burrowlight/Widgets/Shell/TipButton.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

namespace burrowlight {

TipButton::TipButton(int height, QWidget* parent) : QPushButton(parent), height_(sizes::scaled(height)) {
    setText(tr("Buy Me a Coffee"));
    setAccessibleName(tr("Buy me a coffee: leave a tip on Ko-fi"));
    setFixedHeight(height_);
    setIconSize(QSize(height_ / 2, height_ / 2));
    QFont font = this->font();
    font.setWeight(QFont::DemiBold);
    setFont(font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    theme_ = std::make_unique<PaletteFollower>(*this, [this] { applyTheme(); });
}

void TipButton::applyTheme() {
    makeProminent(*this);
    setIcon(tintedIcon(symbolIcon(QStringLiteral("cup.and.heat.waves")), tolvanOnAccent(), iconSize()));
    // Room on either side of the cup and the words, as on a pill.
    setMinimumWidth(fontMetrics().horizontalAdvance(text()) + iconSize().width() + height_ +
                    sizes::scaled(16));
}

} // namespace burrowlight
