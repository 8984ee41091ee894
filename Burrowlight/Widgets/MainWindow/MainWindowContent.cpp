#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"

#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"

namespace burrowlight {

std::unique_ptr<QWidget> makeMainWindowContent(AppModel& app) {
    MainWindowParts parts;
    parts.configImport = [](MainWindowModel& model, QWidget& window) -> std::unique_ptr<QDialog> {
        return std::make_unique<SSHConfigImportSheet>(model, window);
    };
    return std::make_unique<MainWindowView>(app, std::move(parts));
}

} // namespace burrowlight
