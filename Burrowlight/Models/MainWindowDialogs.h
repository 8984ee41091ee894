#pragma once

#include "Burrowlight/Core/Alert.h"

#include <QString>
#include <functional>
#include <optional>

namespace burrowlight {

// A small modal question with one text field, as a value: "New Tag", "Rename Tag".
struct TextPrompt {
    QString title;
    QString fieldLabel;
    QString text;
    QString acceptTitle;
    QString cancelTitle;
    // The accept button is enabled only while this holds for the field's text; none: always.
    std::function<bool(const QString&)> accepts;
};

// The modal questions the main window asks, behind one seam: alerts, the two file panels and
// text prompts. The window's own implementation parents every one of them to the window, so none
// is ever dropped for want of a window to show it on.
class MainWindowDialogs : public AlertPresenter {
  public:
    // The path to write an archive to, proposing `fileName`; none when the user cancels.
    virtual std::optional<QString> chooseExportPath(const QString& fileName) = 0;
    // An archive (or plain JSON) file to import; none when the user cancels.
    virtual std::optional<QString> chooseImportFile() = 0;
    // The text typed when the user accepts; none when they cancel.
    virtual std::optional<QString> ask(const TextPrompt& prompt) = 0;
};

} // namespace burrowlight
