#include "Burrowlight/Widgets/Shell/OnboardingStandIn.h"

namespace burrowlight {

OnboardingStandIn::OnboardingStandIn() {
    setWindowTitle(tr("Welcome to Burrowlight"));
    continue_.setText(tr("Continue"));
    continue_.setDefault(true);
    layout_.setContentsMargins(28, 28, 28, 28);
    layout_.addStretch();
    layout_.addWidget(&continue_);
    connect(&continue_, &QPushButton::clicked, this, &OnboardingStandIn::continued);
    resize(480, sizeHint().height());
}

} // namespace burrowlight
