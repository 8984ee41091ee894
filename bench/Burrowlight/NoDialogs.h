#pragma once

#include "Burrowlight/Models/MainWindowDialogs.h"

#include <optional>

namespace bench {

// The main window's questions, never answered: the benchmarks measure the window, not a user.
struct NoDialogs : burrowlight::MainWindowDialogs {
    std::optional<size_t> run(const burrowlight::Alert&) override { return std::nullopt; }
    std::optional<QString> chooseExportPath(const QString&) override { return std::nullopt; }
    std::optional<QString> chooseImportFile() override { return std::nullopt; }
    std::optional<QString> ask(const burrowlight::TextPrompt&) override { return std::nullopt; }
};

} // namespace bench
