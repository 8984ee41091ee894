#include "Burrowlight/BurrowlightApp.h"

#include "Burrowlight/AppIdentity.h"
#include "Burrowlight/QtMainQueue.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>

#include <memory>

namespace burrowlight {

int BurrowlightApp::main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("burrowlight"));
    QApplication::setApplicationDisplayName(appDisplayName());
    QApplication::setOrganizationName(QString::fromLatin1(bundleIdentifier));
    QApplication::setDesktopFileName(QString::fromLatin1(bundleIdentifier));
    QApplication::setWindowIcon(appIcon());
    // The tray keeps the application alive; closing a window never quits it.
    QApplication::setQuitOnLastWindowClosed(false);
    // The engine's owners run their work on it; it lives as long as the event loop.
    const auto mainQueue = std::make_shared<QtMainQueue>();

    QMenu menu;
    QAction* quit = menu.addAction(QObject::tr("Quit %1").arg(appDisplayName()));
    QObject::connect(quit, &QAction::triggered, &application, &QApplication::quit);

    QSystemTrayIcon tray(trayIcon());
    tray.setToolTip(appDisplayName());
    tray.setContextMenu(&menu);

    std::unique_ptr<QMessageBox> fallback;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray.show();
    } else {
        // Without a tray host the application must stay reachable and quittable.
        fallback = std::make_unique<QMessageBox>(QMessageBox::Information, appDisplayName(),
                                                 QObject::tr("%1 is running.").arg(appDisplayName()));
        fallback->setStandardButtons(QMessageBox::NoButton);
        QPushButton* button = fallback->addButton(QObject::tr("Quit %1").arg(appDisplayName()), QMessageBox::AcceptRole);
        QObject::connect(button, &QPushButton::clicked, &application, &QApplication::quit);
        fallback->show();
    }
    return application.exec();
}

} // namespace burrowlight
