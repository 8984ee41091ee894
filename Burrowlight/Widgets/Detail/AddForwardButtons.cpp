#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"

#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/DetailRules.h"

namespace burrowlight {

using tunnelkit::Forward;

AddForwardButtons::AddForwardButtons(std::function<void(Forward::Kind)> add, QWidget* parent)
    : QWidget(parent), add_(std::move(add)) {
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(6);
    local_.setText(texts::title(Forward::Kind::local));
    local_.setIcon(symbolIcon(QStringLiteral("plus")));
    local_.setToolTip(tr("Add Local Forward"));
    local_.setAccessibleName(tr("Add Local Forward"));
    connect(&local_, &QPushButton::clicked, this, [this] { add_(Forward::Kind::local); });

    for (const auto kind : {Forward::Kind::remote, Forward::Kind::dynamic, Forward::Kind::remoteDynamic}) {
        // The explanation as a second line under the title.
        QAction* item = menu_.addAction(symbolIcon(detail::symbolName(kind)),
                                        texts::title(kind).replace(QLatin1Char('&'), QLatin1String("&&")) +
                                            QLatin1Char('\n') + texts::explanation(kind));
        connect(item, &QAction::triggered, this, [this, kind] { add_(kind); });
    }
    other_.setText(tr("Other"));
    other_.setToolTip(tr("Add Forward"));
    other_.setAccessibleName(tr("Add Forward"));
    other_.setPopupMode(QToolButton::InstantPopup);
    other_.setMenu(&menu_);
    layout_.addWidget(&local_);
    layout_.addWidget(&other_);
}

} // namespace burrowlight
