#pragma once

#include "Burrowlight/Core/Alert.h"

#include <QLabel>
#include <QMessageBox>
#include <memory>

class QWidget;

namespace burrowlight {

// Shows alerts as modal message boxes, every text as plain text.
class MessageBoxAlerts : public AlertPresenter {
  public:
    // With a parent, every box is shown over that window.
    explicit MessageBoxAlerts(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<size_t> run(const Alert& alert) override;

    // The box of an alert, not yet shown, with each button's index; what run() shows.
    struct Box {
        std::unique_ptr<QMessageBox> box;
        std::vector<QAbstractButton*> buttons; // owned by the box
        // The accessory text's label, in the box; goes before it.
        std::unique_ptr<QLabel> accessory;
    };
    static Box makeBox(const Alert& alert, QWidget* parent = nullptr);

  private:
    QWidget* parent_;
};

} // namespace burrowlight
