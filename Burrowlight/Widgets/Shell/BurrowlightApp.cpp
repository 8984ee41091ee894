#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/QtMainQueue.h"
#include "Burrowlight/Core/SiteLink.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"
#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"
#include "Burrowlight/Widgets/Shell/OnboardingStandIn.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"

#include <QApplication>
#include <QMessageBox>

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
    AppShell shell;
    shell.launch();
    return application.exec();
}

AppPresence::AppPresence(std::function<void()> quit) : tray_(trayIcon()) {
    quit_ = menu_.addAction(tr("Quit %1").arg(appDisplayName()));
    QObject::connect(quit_, &QAction::triggered, std::move(quit));
    tray_.setToolTip(appDisplayName());
    tray_.setContextMenu(&menu_);
    tray_.show();
}

AppShell::AppShell()
    : termination_({}), router_([] { return currentTermsAccepted(); }),
      presence_([this] { termination_.requestTerminationFromMenu(); }) {
    installWindows();
    connectActions();
}

AppShell::~AppShell() = default;

void AppShell::launch() {
    const auto settings = openAppSettings();
    router_.openAtLaunch({
        .termsAccepted = currentTermsAccepted(*settings),
        .onboardingCompleted = settings->value(QStringLiteral("onboardingCompleted"), false).toBool(),
        .showsDockIcon = settings->value(QStringLiteral("showsDockIcon"), true).toBool(),
        .trayAvailable = QSystemTrayIcon::isSystemTrayAvailable(),
    });
}

void AppShell::installWindows() {
    router_.setFactory(WindowId::main, [this] {
        return std::make_unique<MainWindowFrame>(actions_, makeMainWindowContent());
    });
    router_.setFactory(WindowId::terms, [this] {
        auto window = std::make_unique<TermsWindow>(std::make_unique<TermsModel>());
        QObject::connect(&window->model(), &TermsModel::quitRequested, &termination_, [this] {
            if (!currentTermsAccepted()) {
                termination_.requestTermination();
            }
        });
        return window;
    });
    router_.setFactory(WindowId::onboarding, [this] {
        auto window = std::make_unique<OnboardingStandIn>();
        QObject::connect(window.get(), &OnboardingStandIn::continued, &router_, [this] {
            openAppSettings()->setValue(QStringLiteral("onboardingCompleted"), true);
            router_.open(WindowId::main);
            router_.dismiss(WindowId::onboarding);
        });
        return window;
    });
}

void AppShell::connectActions() {
    QObject::connect(&actions_.quit, &QAction::triggered, &termination_,
                     [this] { termination_.requestTerminationFromMenu(); });
    QObject::connect(&actions_.help, &QAction::triggered,
                     [] { openSite(QStringLiteral("/guida"), QStringLiteral("/en/guide")); });
    QObject::connect(&actions_.privacy, &QAction::triggered,
                     [] { openSite(QStringLiteral("/privacy"), QStringLiteral("/en/privacy")); });
    QObject::connect(&actions_.termsOfUse, &QAction::triggered,
                     [] { openSite(QStringLiteral("/condizioni"), QStringLiteral("/en/terms")); });
}

} // namespace burrowlight
