#include "Burrowlight/Widgets/Shell/TermsWindow.h"

#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QCloseEvent>

namespace burrowlight {

TermsWindow::TermsWindow(std::unique_ptr<TermsModel> model)
    : model_(std::move(model)), acceptsTerms_(tr("I have read and accept the terms of use.")),
      approvesLiability_(tr("I specifically approve the Warranty and Liability section (articles 1341 and "
                            "1342 of the Italian Civil Code).")) {
    setWindowTitle(tr("Terms of Use"));

    title_.setText(tr("Terms of Use"));
    scaleFont(title_, 1.6, QFont::DemiBold);
    setWrappedPlainText(introduction_,
                        tr("Burrowlight is free. Before you use it, read and accept the terms of use."));
    readTerms_.setText(tr("Read the Terms of Use"));
    readTerms_.setAutoDefault(false);
    introLayout_.setContentsMargins(0, 0, 0, 0);
    introLayout_.setSpacing(sizes::scaled(6));
    introLayout_.addWidget(&title_);
    introLayout_.addWidget(&introduction_);
    introLayout_.addWidget(&readTerms_, 0, Qt::AlignLeft);

    liabilityTitle_.setText(tr("Warranty and Liability"));
    scaleFont(liabilityTitle_, 1.0, QFont::Medium);
    setWrappedPlainText(
        liabilityText_,
        tr("Burrowlight is distributed for free in the hope that it will be useful, but as is "
           "and without warranties. We aren't liable for damages arising from its use, "
           "including data loss and interruptions. This exclusion applies to the extent "
           "permitted by law and doesn't affect your rights as a consumer."));
    scaleFont(liabilityText_, 0.92, QFont::Normal);
    liability_.content().setContentsMargins(sizes::scaled(QMargins(16, 16, 16, 16)));
    liability_.content().setSpacing(sizes::scaled(8));
    liability_.content().addWidget(&liabilityTitle_);
    liability_.content().addWidget(&liabilityText_);

    ticksLayout_.setContentsMargins(0, 0, 0, 0);
    ticksLayout_.setSpacing(sizes::scaled(10));
    ticksLayout_.addWidget(&acceptsTerms_);
    ticksLayout_.addWidget(&approvesLiability_);

    quit_.setText(tr("Quit"));
    quit_.setAutoDefault(false);
    accept_.setText(tr("Accept"));
    accept_.setDefault(true);
    accept_.setEnabled(model_->canAccept());
    buttonsLayout_.setContentsMargins(0, 0, 0, 0);
    buttonsLayout_.addStretch();
    buttonsLayout_.addWidget(&quit_);
    buttonsLayout_.addWidget(&accept_);

    layout_.setContentsMargins(sizes::scaled(QMargins(28, 28, 28, 28)));
    layout_.setSpacing(sizes::scaled(20));
    layout_.addWidget(&headerRow_);
    layout_.addWidget(&introColumn_);
    layout_.addWidget(&liability_);
    layout_.addWidget(&ticksColumn_);
    layout_.addWidget(&buttonRow_);

    connect(&acceptsTerms_.box(), &QCheckBox::toggled, model_.get(), &TermsModel::setAcceptsTerms);
    connect(&approvesLiability_.box(), &QCheckBox::toggled, model_.get(), &TermsModel::setApprovesLiability);
    connect(model_.get(), &TermsModel::canAcceptChanged, &accept_, &QPushButton::setEnabled);
    connect(&accept_, &QPushButton::clicked, model_.get(), &TermsModel::accept);
    connect(&quit_, &QPushButton::clicked, model_.get(), &TermsModel::quit);
    connect(&readTerms_, &QPushButton::clicked, model_.get(), &TermsModel::readTerms);

    sizes::fixToWidth(*this, width);
    sizes::keepOnScreen(*this);
}

void TermsWindow::applyTheme() {
    applyTolvanSurface(*this);
    headerRow_.applyTheme();
    makeSecondary(introduction_);
    makeSecondary(liabilityText_);
    makeLink(readTerms_);
    makeProminent(accept_);
}

void TermsWindow::reject() {
    // Escape: the cancel action, Quit.
    model_->quit();
}

void TermsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    model_->closed();
}

void TermsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

} // namespace burrowlight
