#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/QtMainQueue.h"

#include <QApplication>
#include <QPushButton>

namespace burrowlight {

int BurrowlightApp::main(int argc, char** argv) {
    QApplication application(argc, argv);
    const AppTranslation translation(startupLocalization());
    QApplication::setApplicationName(QStringLiteral("burrowlight"));
    QApplication::setApplicationDisplayName(appDisplayName());
    QApplication::setOrganizationName(QString::fromLatin1(bundleIdentifier));
    QApplication::setDesktopFileName(QString::fromLatin1(bundleIdentifier));
    QApplication::setWindowIcon(appIcon());
    // The tray keeps the application alive; closing a window never quits it.
    QApplication::setQuitOnLastWindowClosed(false);
    // The engine's owners run their work on it; it lives as long as the event loop.
    const auto mainQueue = std::make_shared<QtMainQueue>();
    const AppPresence presence;
    return application.exec();
}

AppPresence::AppPresence(bool trayAvailable) : tray_(trayIcon()) {
    const QString quitTitle = tr("Quit %1").arg(appDisplayName());
    quit_ = menu_.addAction(quitTitle);
    QObject::connect(quit_, &QAction::triggered, qApp, &QApplication::quit);
    tray_.setToolTip(appDisplayName());
    tray_.setContextMenu(&menu_);

    if (trayAvailable) {
        tray_.show();
        return;
    }
    fallback_ = std::make_unique<QMessageBox>(QMessageBox::Information, appDisplayName(),
                                              tr("%1 is running.").arg(appDisplayName()));
    fallback_->setStandardButtons(QMessageBox::NoButton);
    QPushButton* button = fallback_->addButton(quitTitle, QMessageBox::AcceptRole);
    QObject::connect(button, &QPushButton::clicked, qApp, &QApplication::quit);
    fallback_->show();
}

} // namespace burrowlight
