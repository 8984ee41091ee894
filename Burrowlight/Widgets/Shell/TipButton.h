#pragma once

#include "Burrowlight/Widgets/Style/Theme.h"

#include <QPushButton>
#include <memory>

namespace burrowlight {

// The tip button: a coffee cup and "Buy Me a Coffee" on the accent colour, `height` tall, its width
// from its label. Its accessible name says where it leads. Connect clicked() to what it should do:
// the tip prompt answers with it, the General settings call openTipPage().
class TipButton : public QPushButton {
    Q_OBJECT

  public:
    static constexpr int defaultHeight = 44;

    explicit TipButton(int height = defaultHeight, QWidget* parent = nullptr);

  private:
    void applyTheme();

    int height_;
    std::unique_ptr<PaletteFollower> theme_;
};

} // namespace burrowlight
