#pragma once

#include "Burrowlight/Widgets/Shell/Theme.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace burrowlight {

// The window "onboarding" until onboarding has screens of its own: its title and Continue, which
// completes onboarding as the real one does.
class OnboardingStandIn : public QDialog {
    Q_OBJECT

  public:
    OnboardingStandIn();

    QPushButton& continueButton() { return continue_; }

  signals:
    void continued();

  private:
    QPushButton continue_;
    QHBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] {
                               applyTolvanSurface(*this);
                               makeProminent(continue_);
                           }};
};

} // namespace burrowlight
