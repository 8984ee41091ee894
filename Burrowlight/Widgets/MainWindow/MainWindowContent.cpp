#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"

#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"

namespace burrowlight {

std::unique_ptr<QWidget> makeMainWindowContent(AppModel& app) {
    return std::make_unique<MainWindowView>(app);
}

} // namespace burrowlight
