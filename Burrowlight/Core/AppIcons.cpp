#include "Burrowlight/Core/AppIcons.h"

namespace burrowlight {

QIcon appIcon() {
    return QIcon(QStringLiteral(":/icons/burrowlight.svg"));
}

QIcon trayIcon() {
    return QIcon(QStringLiteral(":/icons/BurrowlightMenuIcon.svg"));
}

} // namespace burrowlight
