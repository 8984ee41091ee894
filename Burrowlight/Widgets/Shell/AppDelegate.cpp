#include "Burrowlight/Widgets/Shell/AppDelegate.h"

#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Core/TipPage.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/Relaunch.h"
#include "Burrowlight/Widgets/Shell/WindowRouter.h"
#include "TunnelKit/TunnelStore.h"

#include <QFileInfo>
#include <QTimer>

namespace burrowlight {

AppDelegate::AppDelegate(AppModel& model, WindowRouter& router, const AppTermination& termination,
                         TipPrompt& tipPrompt)
    : model_(model), router_(router), termination_(termination), tipPrompt_(tipPrompt) {
    connect(&wake_, &WakeMonitor::woke, this, [this] { model_.controller().restartActive(); });
}

void AppDelegate::didFinishLaunching() {
    AppLog::app().write(QStringLiteral("Launch: language %1, choice %2")
                            .arg(runningLocalization(), rawValue(currentAppLanguage(model_.settings()))));
    // After launch has finished, so that the alert comes over the windows of the launch.
    QTimer::singleShot(0, &model_, [this] { model_.reportLoadError(); });
}

bool AppDelegate::shouldTerminate() {
    if (!model_.confirmQuit()) {
        return false;
    }
    offerTipOnQuit(model_.settings(), tipPrompt_, termination_.quitRequestedFromMenu());
    return true;
}

void AppDelegate::willTerminate() {
    model_.shutdownUnobserved();
    relaunchIfAsked();
}

void AppDelegate::reopen() {
    if (!model_.termsAccepted() || router_.hasVisibleWindows()) {
        router_.activate();
        return;
    }
    if (model_.openMainWindow()) {
        model_.openMainWindow()();
    } else {
        router_.open(WindowId::main);
    }
}

void AppDelegate::openFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    if (!model_.termsAccepted()) {
        AppLog::app().write(
            QStringLiteral("Asked to open %1 file(s) before the terms of use are accepted, ignored")
                .arg(paths.size()));
        if (router_.isOpen(WindowId::terms)) {
            router_.open(WindowId::terms);
        } else {
            model_.termsWindow().request();
        }
        return;
    }
    for (const QString& path : paths) {
        // The extension exactly, as archives are written: "Name.BURROWLIGHT" is not one.
        if (QFileInfo(path).suffix() == QLatin1String(tunnelkit::TunnelArchive::formatIdentifier)) {
            model_.importTunnels(path);
        }
    }
}

} // namespace burrowlight
