#pragma once

#include <QIcon>

namespace burrowlight {

// The application's icon and the tray's, from the resources compiled into the program.
QIcon appIcon();
QIcon trayIcon();

} // namespace burrowlight
