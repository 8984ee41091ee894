#pragma once

#include <QWidget>
#include <memory>

namespace burrowlight {

// What the main window shows inside its frame. For now a placeholder with the product's name.
std::unique_ptr<QWidget> makeMainWindowContent();

} // namespace burrowlight
