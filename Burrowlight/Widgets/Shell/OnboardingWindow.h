#pragma once

#include "Burrowlight/Models/OnboardingModel.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

// The window "onboarding": a greeting, the first steps in a card, and Continue. Return is
// Continue; its close button and Escape close it without completing onboarding.
class OnboardingWindow : public QDialog {
    Q_OBJECT

  public:
    static constexpr int width = 620;

    explicit OnboardingWindow(std::unique_ptr<OnboardingModel> model);
    ~OnboardingWindow() override;

    OnboardingModel& model() { return *model_; }
    // The titles of the steps shown, in order.
    QStringList stepTitles() const;
    QPushButton* importButton() { return import_.get(); }
    QPushButton& newTunnelButton() { return newTunnel_; }
    QPushButton& allowNotificationsButton() { return allowNotifications_; }
    QLabel& notificationsAllowed() { return allowed_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Containers come before what they hold, so that each goes first.
    struct Step {
        QWidget row;
        QWidget texts;
        QLabel icon;
        QLabel title;
        QLabel detail;
        QString symbol;
        QVBoxLayout textsLayout{&texts};
        QHBoxLayout layout{&row};
    };

    void addStep(const QString& symbol, const QString& title, const QString& detail, QWidget& control);
    void refresh();
    void showTrayTexts();
    void applyTheme();

    std::unique_ptr<OnboardingModel> model_;
    std::optional<bool> shownWithTray_;
    AppNameHeader headerRow_;
    QWidget introColumn_;
    TolvanCard steps_{nullptr, 12};
    QWidget footerRow_;
    std::vector<std::unique_ptr<Step>> stepRows_;
    std::vector<std::unique_ptr<QFrame>> dividers_;
    QWidget notificationsControl_;
    QLabel title_;
    QLabel introduction_;
    std::unique_ptr<QPushButton> import_;
    QPushButton newTunnel_;
    QPushButton allowNotifications_;
    QLabel allowedIcon_;
    QLabel allowed_;
    QCheckBox openAtLogin_;
    QLabel footerIcon_;
    QLabel footerText_;
    QPushButton continue_;
    QHBoxLayout notificationsLayout_{&notificationsControl_};
    QVBoxLayout introLayout_{&introColumn_};
    QHBoxLayout footerLayout_{&footerRow_};
    QVBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight
