#include "Burrowlight/Widgets/Editor/FileField.h"

#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace burrowlight {

FileField::FileField(const QString& title, const QString& prompt, FileChoice choice, QString homeDirectory,
                     Read read, Write write, QWidget* parent)
    : QWidget(parent), choice_(std::move(choice)), homeDirectory_(std::move(homeDirectory)),
      read_(std::move(read)), write_(std::move(write)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    edit_ = new QLineEdit(this);
    edit_->setPlaceholderText(prompt);
    edit_->setAccessibleName(title);
    edit_->setFont(editorLook::monospaced(edit_->font()));
    editorLook::keepRoomForPath(*edit_);
    layout->addWidget(edit_, 1);
    fieldText::bind(*edit_, [this](const QString& text) { write_(pathFromText(text)); });
    auto* button = new QPushButton(tr("Choose…"), this);
    button->setAccessibleDescription(title);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, &FileField::choose);
    setFocusProxy(edit_);
    refresh();
}

void FileField::refresh() {
    fieldText::showUnlessTyping(*edit_, QString::fromStdString(read_().value_or(std::string())));
}

void FileField::choose() {
    QFileDialog dialog(window());
    dialog.setDirectory(choice_.folder);
    if (choice_.savesNewFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.selectFile(choice_.proposedName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setFilter(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = storedPath(dialog.selectedFiles().constFirst(), homeDirectory_);
    fieldText::show(*edit_, path);
    write_(path.toStdString());
}

} // namespace burrowlight
