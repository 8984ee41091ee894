#pragma once

#include <QWidget>
#include <memory>

namespace burrowlight {

class AppModel;

// What the main window shows inside its frame: the sidebar, the list and the detail over the model.
std::unique_ptr<QWidget> makeMainWindowContent(AppModel& app);

} // namespace burrowlight
