#include "Burrowlight/Widgets/MainWindow/WindowDialogs.h"

#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

namespace burrowlight {

namespace {

struct PanelWords {
    Q_DECLARE_TR_FUNCTIONS(ArchivePanels)
};

QString archiveFilter() {
    return PanelWords::tr("Burrowlight Tunnels (*.burrowlight)");
}

} // namespace

TextPromptDialog::TextPromptDialog(const TextPrompt& prompt, QWidget* parent) : QDialog(parent) {
    setWindowTitle(prompt.title);
    title_.setText(prompt.title);
    title_.setTextFormat(Qt::PlainText);
    QFont font = title_.font();
    font.setWeight(QFont::DemiBold);
    title_.setFont(font);
    label_.setText(prompt.fieldLabel);
    label_.setBuddy(&field_);
    const auto follow = [this, accepts = prompt.accepts](const QString& text) {
        text_ = text;
        accept_->setEnabled(!accepts || accepts(text));
    };
    fieldText::bind(field_, follow);
    fieldText::show(field_, prompt.text);
    field_.selectAll();
    field_.setMinimumWidth(sizes::scaled(260));
    field_.setAccessibleName(prompt.fieldLabel);
    accept_ = buttons_.addButton(prompt.acceptTitle, QDialogButtonBox::AcceptRole);
    buttons_.addButton(prompt.cancelTitle, QDialogButtonBox::RejectRole);
    accept_->setDefault(true);
    connect(&buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(&buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    follow(prompt.text);
    layout_.setSpacing(sizes::scaled(10));
    layout_.addWidget(&title_);
    layout_.addWidget(&label_);
    layout_.addWidget(&field_);
    layout_.addWidget(&buttons_);
    layout_.setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<QString> WindowDialogs::chooseExportPath(const QString& fileName) {
    QFileDialog panel(&window_);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setNameFilter(archiveFilter());
    panel.setDefaultSuffix(QStringLiteral("burrowlight"));
    panel.setDirectory(QDir::home());
    panel.selectFile(fileName);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return panel.selectedFiles().front();
}

std::optional<QString> WindowDialogs::chooseImportFile() {
    QFileDialog panel(&window_);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setFileMode(QFileDialog::ExistingFile);
    panel.setNameFilters({archiveFilter(), PanelWords::tr("JSON (*.json)")});
    panel.setDirectory(QDir::home());
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return panel.selectedFiles().front();
}

std::optional<QString> WindowDialogs::ask(const TextPrompt& prompt) {
    TextPromptDialog dialog(prompt, &window_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.text();
}

} // namespace burrowlight
