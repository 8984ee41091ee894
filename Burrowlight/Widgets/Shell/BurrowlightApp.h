#pragma once

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Core/ProblemReport.h"
#include "Burrowlight/Desktop/DesktopContrast.h"
#include "Burrowlight/Desktop/TerminationSignals.h"
#include "Burrowlight/Models/AppCommands.h"
#include "Burrowlight/Widgets/Shell/AppActions.h"
#include "Burrowlight/Widgets/Shell/AppDelegate.h"
#include "Burrowlight/Widgets/Shell/AppTray.h"
#include "Burrowlight/Widgets/Shell/ImportProgressWindow.h"
#include "Burrowlight/Widgets/Shell/TipPromptPanel.h"
#include "Burrowlight/Widgets/Shell/TrayHosts.h"
#include "Burrowlight/Widgets/Shell/WindowPlaces.h"
#include "Burrowlight/Widgets/Shell/WindowRouter.h"

#include <memory>
#include <optional>

namespace burrowlight {

class AboutWindow;
class SingleInstance;

// The application role: one instance per user, its windows, the tray, the menu commands and the
// quit sequence, over one event loop.
class BurrowlightApp {
  public:
    static int main(int argc, char** argv);
};

// Everything the running application shows and how it quits, wired together over the model.
class AppShell {
  public:
    // `trayAvailable`: whether a tray shows the icon at launch; none asks the desktop.
    AppShell(AppSettings& settings, AlertPresenter& alerts,
             AppModel::Parts parts = AppModel::Parts::ofThisSession(),
             std::optional<bool> trayAvailable = std::nullopt);
    ~AppShell();

    // The About window while it is open.
    AboutWindow* aboutWindow() const { return about_.get(); }

    AppModel& model() { return model_; }
    AppTermination& termination() { return termination_; }
    WindowRouter& router() { return router_; }
    AppDelegate& delegate() { return delegate_; }
    AppActions& actions() { return actions_; }
    AppCommands& commands() { return commands_; }
    AppTray& tray() { return *tray_; }
    ImportProgressWindow& importProgress() { return importProgress_; }

    // The windows of the launch rules, then the rest of the launch; `files` as if opened after it.
    void launch(const QStringList& files = {});
    // Later launches of this user's hand their requests to this one.
    void serve(SingleInstance& instance);
    // Whatever must outlive the process, done: the tunnels down, the open windows' places written
    // (every setting is written when set). Nothing is left then but memory to free.
    void settleBeforeExit();

  private:
    void installWindows();
    void installTray();
    void connectActions();
    void showAbout();

    AppSettings& settings_;
    AlertPresenter& alerts_;
    AppModel model_;
    AppTermination termination_;
    WindowRouter router_;
    // After the router: the windows still open at the end are remembered before they go.
    WindowPlaces places_{settings_};
    TipPromptDialog tipPrompt_;
    AppDelegate delegate_;
    AppActions actions_;
    AppCommands commands_;
    ProblemReporter reporter_;
    std::unique_ptr<AppTray> tray_;
    std::unique_ptr<TrayHostWatch> trayHosts_;
    ImportProgressWindow importProgress_{model_.archiveImports()};
    TerminationSignals signals_;
    DesktopContrast contrast_;
    std::unique_ptr<AboutWindow> about_;
};

} // namespace burrowlight
