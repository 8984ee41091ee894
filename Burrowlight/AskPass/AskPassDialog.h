#pragma once

#include "Burrowlight/AskPass/AskPassDialogModel.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <memory>

namespace burrowlight {

// The modal dialog built from a model: the application's icon, the message, the informative text,
// the masked field and the box where the question has them, and two buttons. It stays above other
// windows and grows with its texts and the user's font. Its outcome is known once it has finished.
class AskPassDialog final : public QDialog {
  public:
    explicit AskPassDialog(AskPassDialogModel model, QWidget* parent = nullptr);

    const AskPassDialogModel& model() const { return model_; }
    AskPassOutcome outcome() const;

    const VerbatimText& messageLabel() const { return message_; }
    const VerbatimText& informativeLabel() const { return informative_; }
    // ssh's own lines, in a fixed-width font; hidden when there are none.
    const VerbatimText& sshLinesLabel() const { return sshLines_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* rejectButton() const { return reject_; }
    // Nothing where the question has no field, or nothing can be remembered.
    QLineEdit* secretField() const { return accessory_ ? &accessory_->field : nullptr; }
    QCheckBox* rememberBox() const { return accessory_ ? accessory_->remember.get() : nullptr; }
    // Holds the field and the box.
    const QWidget* accessoryView() const { return accessory_.get(); }

  private:
    void fitTextsToScreen();

    // The layout comes last, so that it goes first and never outlives the widgets it holds.
    struct Accessory : QWidget {
        explicit Accessory(bool remembers);
        QLineEdit field;
        std::unique_ptr<QCheckBox> remember;
        QVBoxLayout layout{this};
    };

    AskPassDialogModel model_;
    QLabel icon_;
    VerbatimText message_;
    VerbatimText informative_;
    VerbatimText sshLines_;
    QDialogButtonBox buttons_;
    std::unique_ptr<Accessory> accessory_;
    QPushButton* accept_ = nullptr; // owned by the button box
    QPushButton* reject_ = nullptr;
    QGridLayout layout_{this};
};

} // namespace burrowlight
