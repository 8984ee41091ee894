#pragma once

#include <QSettings>
#include <memory>

namespace burrowlight {

// The application's own settings store, under the bundle identifier.
std::unique_ptr<QSettings> openAppSettings();

} // namespace burrowlight
