#pragma once

#include "Burrowlight/Models/MainWindowDialogs.h"
#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace burrowlight {

// A small dialog with one text field: its accept button is enabled only while the prompt accepts
// the text.
class TextPromptDialog : public QDialog {
  public:
    TextPromptDialog(const TextPrompt& prompt, QWidget* parent = nullptr);

    QLineEdit& field() { return field_; }
    QPushButton& acceptButton() { return *accept_; }
    // What the field holds: the given text as it was, with the user's changes.
    const QString& text() const { return text_; }

  private:
    QString text_;
    QLabel title_;
    QLabel label_;
    QLineEdit field_;
    QDialogButtonBox buttons_;
    QPushButton* accept_; // owned by the button box
    QVBoxLayout layout_{this};
};

// The main window's questions, each shown over the window: message boxes, the file panels for
// archives and the text prompts.
class WindowDialogs : public MainWindowDialogs {
  public:
    explicit WindowDialogs(QWidget& window) : window_(window), alerts_(&window) {}

    std::optional<size_t> run(const Alert& alert) override { return alerts_.run(alert); }
    std::optional<QString> chooseExportPath(const QString& fileName) override;
    std::optional<QString> chooseImportFile() override;
    std::optional<QString> ask(const TextPrompt& prompt) override;

  private:
    QWidget& window_;
    MessageBoxAlerts alerts_;
};

} // namespace burrowlight
