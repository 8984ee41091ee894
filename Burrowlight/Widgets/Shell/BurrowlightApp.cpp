#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include "Burrowlight/Automation/TunnelsService.h"
#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/TipPage.h"
#include "Burrowlight/Desktop/ProcessEndGuard.h"
#include "Burrowlight/Desktop/SingleInstance.h"
#include "Burrowlight/Widgets/MainWindow/AboutWindow.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Settings/SettingsWindow.h"
#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"
#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"
#include "Burrowlight/Widgets/Shell/OnboardingWindow.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "Burrowlight/Widgets/Style/AppStyle.h"
#include "Burrowlight/Widgets/Style/Theme.h"
#include "Platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace burrowlight {

namespace {

SingleInstance::Claim claimInstance(const LaunchRequest& request) {
    const auto folder = platform::folders::applicationSupportDirectory(bundleIdentifier);
    if (!folder) {
        return InstanceError{InstanceError::Kind::lockFailed, QStringLiteral("no home folder is known")};
    }
    if (const int code = platform::folders::createPrivateFolders(*folder); code != 0) {
        return InstanceError{InstanceError::Kind::lockFailed,
                             QString::fromStdString(*folder) + QStringLiteral(": ") +
                                 QString::fromLocal8Bit(std::strerror(code))};
    }
    return SingleInstance::claim(QString::fromLatin1(bundleIdentifier), QString::fromStdString(*folder),
                                 request);
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

    AppSettings settings;
    const AppTranslation translation(startupLocalization());
    QApplication::setApplicationName(QStringLiteral("burrowlight"));
    QApplication::setApplicationDisplayName(appDisplayName());
    QApplication::setOrganizationName(QString::fromLatin1(bundleIdentifier));
    QApplication::setDesktopFileName(QString::fromLatin1(bundleIdentifier));
    QApplication::setWindowIcon(appIcon());
    installAppStyle();
    // The tray keeps the application alive; closing a window never quits it.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxAlerts alerts;
    AppShell shell(settings, alerts);
    // A display that goes away ends the process inside Qt, past the quit: the tunnels still go down.
    const ProcessEndGuard displayLoss([&shell] { shell.model().shutdownUnobserved(); });
    shell.serve(*instance);
    // Scripts reach the tunnels beside the instance's own object, before any launch step acts.
    const TunnelsService scripting(shell.model(), QDBusConnection::sessionBus());
    shell.launch(request.files);
    const int code = application.exec();
    // Tearing down every window, model and bus object one by one takes longer than quitting asks
    // for, and changes nothing outside the process: the kernel frees it all at once.
    shell.settleBeforeExit();
    std::fflush(nullptr);
    std::_Exit(code);
}

AppShell::AppShell(AppSettings& settings, AlertPresenter& alerts, AppModel::Parts parts,
                   std::optional<bool> trayAvailable)
    : settings_(settings), alerts_(alerts),
      model_(settings, alerts,
             [&] {
                 parts.hasTray = trayAvailable ? *trayAvailable : trayIsPresent(parts.sessionBus);
                 return std::move(parts);
             }()),
      termination_({.shouldTerminate = [this] { return delegate_.shouldTerminate(); },
                    .willTerminate = [this] { delegate_.willTerminate(); }}),
      router_([this] { return model_.termsAccepted(); }),
      delegate_(model_, router_, termination_, tipPrompt_),
      commands_(model_, termination_,
                {.openMain = [this] { router_.open(WindowId::main); }, .showAbout = [this] { showAbout(); }}),
      reporter_([this] { return settings_.usesSSHConfig(); }, alerts) {
    installWindows();
    installTray();
    connectActions();
    // The tray is there for the whole run: from now on anything can bring up the terms window.
    model_.termsWindow().install([this] { router_.open(WindowId::terms); });
    // Signals and the end of the session quit without dialogs; the tunnels still go down.
    QObject::connect(&signals_, &TerminationSignals::terminationRequested, &termination_,
                     [this] { termination_.terminateNow(); });
    QObject::connect(&contrast_, &DesktopContrast::highChanged, &contrast_, &setHighContrast);
}

AppShell::~AppShell() = default;

void AppShell::settleBeforeExit() {
    model_.shutdownUnobserved();
    places_.storeShown();
}

void AppShell::launch(const QStringList& files) {
    router_.openAtLaunch({
        .termsAccepted = model_.termsAccepted(),
        .onboardingCompleted = settings_.onboardingCompleted(),
        .showsDockIcon = settings_.showsDockIcon(),
        .trayAvailable = model_.hasTray(),
    });
    delegate_.didFinishLaunching();
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &delegate_, [this, files] { delegate_.openFiles(files); });
    }
}

void AppShell::serve(SingleInstance& instance) {
    QObject::connect(&instance, &SingleInstance::filesOpened, &delegate_,
                     [this](const QStringList& paths) { delegate_.openFiles(paths); });
    QObject::connect(&instance, &SingleInstance::reopenRequested, &delegate_, [this] { delegate_.reopen(); });
}

void AppShell::installWindows() {
    router_.setFactory(WindowId::main, [this] {
        auto frame = std::make_unique<MainWindowFrame>(actions_, makeMainWindowView(model_));
        places_.keep(*frame, identifier(WindowId::main));
        setShownInTaskbar(*frame, settings_.showsDockIcon());
        return frame;
    });
    QObject::connect(&settings_, &AppSettings::showsDockIconChanged, &router_, [this](bool shows) {
        if (QWidget* main = router_.window(WindowId::main)) {
            setShownInTaskbar(*main, shows);
        }
    });
    router_.setFactory(WindowId::terms, [this] {
        return std::make_unique<TermsWindow>(std::make_unique<TermsModel>(
            model_, termination_,
            TermsModel::Windows{.open =
                                    [this](const QString& identifier) {
                                        if (const auto id = windowIdentified(identifier)) {
                                            router_.open(*id);
                                        }
                                    },
                                .dismissTerms = [this] { router_.dismiss(WindowId::terms); }}));
    });
    router_.setFactory(WindowId::onboarding, [this] {
        return std::make_unique<OnboardingWindow>(std::make_unique<OnboardingModel>(
            model_, OnboardingModel::Windows{
                        .openMain = [this] { router_.open(WindowId::main); },
                        .dismissOnboarding = [this] { router_.dismiss(WindowId::onboarding); }}));
    });
    router_.setFactory(WindowId::settings, [this] {
        auto window = std::make_unique<SettingsWindow>(SettingsServices{
            .model = model_, .termination = termination_, .alerts = alerts_, .openMain = [this] {
                router_.open(WindowId::main);
            }});
        places_.keep(*window, identifier(WindowId::settings));
        return window;
    });
    // The window that opens the main window hands that action to the model for whoever has none.
    QObject::connect(&router_, &WindowRouter::windowOpened, &model_, [this](WindowId id) {
        if (id == WindowId::main || id == WindowId::onboarding) {
            model_.setOpenMainWindow([this] { router_.open(WindowId::main); });
        }
    });
}

void AppShell::installTray() {
    TrayMenuModel::Handlers handlers{
        .openMain = [this] { router_.open(WindowId::main); },
        .openTerms = [this] { router_.open(WindowId::terms); },
        .newTunnel = [this] { commands_.newTunnel(); },
        .reportProblem = [this] { reporter_.report(); },
        .openTipPage = [this] { openTipPage(settings_); },
        .quit = [this] { commands_.quit(); },
        // The terms-only menu's Quit is no Quit command of the application's: no tip follows.
        .terminate = [this] { termination_.requestTermination(); },
    };
    if (router_.hasFactory(WindowId::settings)) {
        handlers.openSettings = [this] { router_.open(WindowId::settings); };
    }
    tray_ = std::make_unique<AppTray>(model_, std::move(handlers));
    if (model_.hasTray()) {
        tray_->showIcon();
        return;
    }
    // A panel that starts after the application (or restarts) gets the icon when it comes; from then
    // on nothing says there is no tray. The window that opened for the lack of one stays.
    trayHosts_ = std::make_unique<TrayHostWatch>(model_.parts().sessionBus);
    QObject::connect(trayHosts_.get(), &TrayHostWatch::appeared, &model_, [this] {
        tray_->showIcon();
        model_.setHasTray(true);
    });
}

void AppShell::connectActions() {
    const auto run = [this](QAction& action, void (AppCommands::*command)()) {
        QObject::connect(&action, &QAction::triggered, &commands_, command);
    };
    run(actions_.newTunnel, &AppCommands::newTunnel);
    run(actions_.importFromSSHConfig, &AppCommands::importFromSSHConfig);
    run(actions_.about, &AppCommands::about);
    run(actions_.checkForUpdates, &AppCommands::checkForUpdates);
    run(actions_.connectAll, &AppCommands::connectAll);
    run(actions_.disconnectAll, &AppCommands::disconnectAll);
    run(actions_.help, &AppCommands::help);
    run(actions_.privacy, &AppCommands::privacy);
    run(actions_.termsOfUse, &AppCommands::termsOfUse);
    QObject::connect(&actions_.reportProblem, &QAction::triggered, &reporter_, &ProblemReporter::report);
    QObject::connect(&actions_.buyMeACoffee, &QAction::triggered, &model_,
                     [this] { openTipPage(settings_); });
    QObject::connect(&actions_.quit, &QAction::triggered, &commands_, [this] { commands_.quit(); });
    QObject::connect(&actions_.settings, &QAction::triggered, &router_,
                     [this] { router_.open(WindowId::settings); });
    actions_.settings.setVisible(router_.hasFactory(WindowId::settings));
    actions_.checkForUpdates.setVisible(commands_.showsCheckForUpdates());
}

void AppShell::showAbout() {
    router_.activate();
    if (!about_ || !about_->isVisible()) {
        // Made afresh each time it opens, so that the credits are read again.
        about_ = std::make_unique<AboutWindow>();
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

} // namespace burrowlight
