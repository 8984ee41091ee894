#include "Burrowlight/AskPass/AskPassDialog.h"

#include "Burrowlight/Core/AppIdentity.h"

#include <QApplication>
#include <QPushButton>

namespace burrowlight {

namespace {

// Wide enough for a long passphrase at any font size, in the font's own units.
constexpr int fieldWidthInCharacters = 36;

} // namespace

AskPassDialog::Accessory::Accessory(bool remembers) {
    layout.setContentsMargins(0, 0, 0, 0);
    field.setEchoMode(QLineEdit::Password);
    field.setMinimumWidth(field.fontMetrics().averageCharWidth() * fieldWidthInCharacters);
    layout.addWidget(&field);
    if (remembers) {
        remember = std::make_unique<QCheckBox>(AskPassDialogModel::rememberTitle());
        remember->setChecked(true);
        layout.addWidget(remember.get());
    }
}

AskPassDialog::AskPassDialog(AskPassDialogModel model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)) {
    setWindowTitle(appDisplayName());
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);

    const int iconSize = 64;
    icon_.setPixmap(QApplication::windowIcon().pixmap(iconSize, iconSize));
    icon_.setAlignment(Qt::AlignTop);

    // Everything shown comes from ssh, the server or the user: never read as markup.
    message_.setTextFormat(Qt::PlainText);
    message_.setWordWrap(true);
    QFont bold = message_.font();
    bold.setBold(true);
    message_.setFont(bold);
    message_.setText(model_.message);

    informative_.setTextFormat(Qt::PlainText);
    informative_.setWordWrap(true);
    informative_.setTextInteractionFlags(Qt::TextSelectableByMouse);
    informative_.setText(model_.informativeText);

    accept_ = buttons_.addButton(model_.acceptTitle, QDialogButtonBox::AcceptRole);
    reject_ = buttons_.addButton(model_.rejectTitle, QDialogButtonBox::RejectRole);
    accept_->setDefault(true);
    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout_.setSizeConstraint(QLayout::SetFixedSize);
    layout_.addWidget(&icon_, 0, 0, 3, 1);
    layout_.addWidget(&message_, 0, 1);
    layout_.addWidget(&informative_, 1, 1);
    if (model_.showsSecretField()) {
        accessory_ = std::make_unique<Accessory>(model_.showsRememberBox());
        layout_.addWidget(accessory_.get(), 2, 1);
        accessory_->field.setAccessibleName(model_.message);
        accessory_->field.setFocus();
    }
    layout_.addWidget(&buttons_, 3, 0, 1, 2);
}

AskPassOutcome AskPassDialog::outcome() const {
    if (result() != QDialog::Accepted) {
        return model_.refused();
    }
    return model_.accepted(secretField() ? secretField()->text() : QString(),
                           rememberBox() && rememberBox()->isChecked());
}

} // namespace burrowlight
