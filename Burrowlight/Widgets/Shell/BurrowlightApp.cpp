#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/QtMainQueue.h"
#include "Burrowlight/Core/SiteLink.h"
#include "Burrowlight/Desktop/SingleInstance.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"
#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"
#include "Burrowlight/Widgets/Shell/OnboardingStandIn.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "Platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

namespace burrowlight {

namespace {

// The running instance of this user's, or the reason there is none.
using InstanceClaim = SingleInstance::Claim;

InstanceClaim claimInstance(const LaunchRequest& request) {
    const auto folder = platform::folders::applicationSupportDirectory(bundleIdentifier);
    if (!folder) {
        return InstanceError{InstanceError::Kind::lockFailed, QStringLiteral("no home folder is known")};
    }
    if (const int code = platform::folders::createPrivateFolders(*folder); code != 0) {
        return InstanceError{InstanceError::Kind::lockFailed,
                             QString::fromStdString(*folder) + QStringLiteral(": ") +
                                 QString::fromLocal8Bit(std::strerror(code))};
    }
    return SingleInstance::claim(QString::fromStdString(*folder), request);
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int index = 1; index < argc; ++index) {
        arguments.append(QString::fromLocal8Bit(argv[index]));
    }
    return arguments;
}

} // namespace

int BurrowlightApp::main(int argc, char** argv) {
    // Read before the application object, which takes the launcher's activation token for itself.
    LaunchRequest request = LaunchRequest::fromArguments(argumentsOf(argc, argv), QDir::currentPath());
    QApplication application(argc, argv);
    // Without the options Qt took for itself.
    request.files = LaunchRequest::fromArguments(QApplication::arguments().mid(1), QDir::currentPath()).files;

    // A second instance would end the first one's ssh as orphans: it hands its request over instead.
    auto claim = claimInstance(request);
    if (std::holds_alternative<SingleInstance::HandedOver>(claim)) {
        return EXIT_SUCCESS;
    }
    if (const auto* error = std::get_if<InstanceError>(&claim)) {
        std::fprintf(stderr, "Burrowlight: %s\n",
                     qPrintable(error->kind == InstanceError::Kind::alreadyRunning
                                    ? QStringLiteral("already running, and it can't be reached over D-Bus")
                                    : error->detail));
        return EXIT_FAILURE;
    }
    const auto instance = std::move(std::get<std::unique_ptr<SingleInstance>>(claim));

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
