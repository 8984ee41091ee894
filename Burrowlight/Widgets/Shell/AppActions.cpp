#include "Burrowlight/Widgets/Shell/AppActions.h"

#include "Burrowlight/Core/AppIdentity.h"

#include <QMenuBar>

namespace burrowlight {

namespace {

constexpr const char* supportAnchorName = "supportAnchor";

} // namespace

AppActions::AppActions() {
    newTunnel.setText(tr("New Tunnel"));
    newTunnel.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    importFromSSHConfig.setText(tr("Import from SSH Config…"));
    settings.setText(tr("Settings…"));
    settings.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings.setMenuRole(QAction::PreferencesRole);
    settings.setVisible(false);
    about.setText(tr("About %1").arg(appDisplayName()));
    about.setMenuRole(QAction::AboutRole);
    checkForUpdates.setText(tr("Check for Updates…"));
    checkForUpdates.setVisible(false);
    quit.setText(tr("Quit %1").arg(appDisplayName()));
    quit.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit.setMenuRole(QAction::QuitRole);

    connectAll.setText(tr("Connect All"));
    connectAll.setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    disconnectAll.setText(tr("Disconnect All"));
    disconnectAll.setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));

    help.setText(tr("%1 Help").arg(appDisplayName()));
    help.setShortcut(QKeySequence::HelpContents);
    reportProblem.setText(tr("Report a Problem…"));
    buyMeACoffee.setText(tr("Buy Me a Coffee"));
    privacy.setText(tr("Privacy"));
    termsOfUse.setText(tr("Terms of Use"));
}

void AppActions::fill(QMenuBar& menuBar) {
    QMenu* file = menuBar.addMenu(tr("&File"));
    file->addAction(&newTunnel);
    file->addAction(&importFromSSHConfig);
    file->addSeparator();
    file->addAction(&settings);
    file->addSeparator();
    file->addAction(&quit);

    QMenu* tunnels = menuBar.addMenu(tr("&Tunnels"));
    tunnels->addAction(&connectAll);
    tunnels->addAction(&disconnectAll);

    QMenu* helpMenu = menuBar.addMenu(tr("&Help"));
    helpMenu->addAction(&help);
    helpMenu->addSeparator();
    helpMenu->addAction(&reportProblem);
    helpMenu->addAction(&buyMeACoffee);
    helpMenu->addSeparator()->setObjectName(QLatin1String(supportAnchorName));
    helpMenu->addAction(&privacy);
    helpMenu->addAction(&termsOfUse);
    helpMenu->addSeparator();
    helpMenu->addAction(&about);
    helpMenu->addAction(&checkForUpdates);
}

QAction* AppActions::supportAnchor(QMenuBar& menuBar) {
    for (QAction* menu : menuBar.actions()) {
        if (!menu->menu()) {
            continue;
        }
        for (QAction* item : menu->menu()->actions()) {
            if (item->objectName() == QLatin1String(supportAnchorName)) {
                return item;
            }
        }
    }
    return nullptr;
}

} // namespace burrowlight
