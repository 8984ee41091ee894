#pragma once

#include "Burrowlight/Models/TermsModel.h"
#include "Burrowlight/Widgets/Shell/WrappingCheckBox.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace burrowlight {

// The window "terms": what the terms of use are about, the two ticks, Quit and Accept. Escape and
// its close button quit like Quit, while the terms are not accepted.
class TermsWindow : public QDialog {
    Q_OBJECT

  public:
    static constexpr int width = 560;

    explicit TermsWindow(std::unique_ptr<TermsModel> model);

    TermsModel& model() { return *model_; }

    WrappingCheckBox& acceptsTermsBox() { return acceptsTerms_; }
    WrappingCheckBox& approvesLiabilityBox() { return approvesLiability_; }
    QPushButton& acceptButton() { return accept_; }
    QPushButton& quitButton() { return quit_; }

    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void applyTheme();

    std::unique_ptr<TermsModel> model_;
    // Containers first, their contents next and the layouts last, so that each goes before what
    // holds it.
    AppNameHeader headerRow_;
    QWidget introColumn_;
    TolvanCard liability_{nullptr, 12};
    QWidget ticksColumn_;
    QWidget buttonRow_;
    QLabel title_;
    QLabel introduction_;
    QPushButton readTerms_;
    QLabel liabilityTitle_;
    QLabel liabilityText_;
    WrappingCheckBox acceptsTerms_;
    WrappingCheckBox approvesLiability_;
    QPushButton quit_;
    QPushButton accept_;
    QVBoxLayout introLayout_{&introColumn_};
    QVBoxLayout ticksLayout_{&ticksColumn_};
    QHBoxLayout buttonsLayout_{&buttonRow_};
    QVBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight
