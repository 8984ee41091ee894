// The shell's windows: the terms of use, the main window's frame and menus.
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "Screenshots.h"

#include <QCheckBox>
#include <QMenuBar>

using namespace burrowlight;

namespace {

TermsWindow& termsWindow(screenshots::Stage& stage) {
    return stage.own(std::make_unique<TermsWindow>(
        std::make_unique<TermsModel>(stage.model(), stage.termination(), TermsModel::Windows{})));
}

MainWindowFrame& mainWindow(screenshots::Stage& stage) {
    auto& actions = stage.own(std::make_unique<AppActions>());
    return stage.own(std::make_unique<MainWindowFrame>(actions, makeMainWindowView(stage.model())));
}

// The main window's menu at `index`, open.
QWidget& openMenu(screenshots::Stage& stage, int index) {
    auto& window = mainWindow(stage);
    window.show();
    QMenu* menu = window.menuBar()->actions().at(index)->menu();
    menu->popup(window.mapToGlobal(
        window.menuBar()->actionGeometry(window.menuBar()->actions().at(index)).bottomLeft()));
    return *menu;
}

} // namespace

BURROWLIGHT_SCREENSHOT("terms", "unticked") {
    return termsWindow(stage);
}

BURROWLIGHT_SCREENSHOT("terms", "ticked") {
    auto& window = termsWindow(stage);
    window.acceptsTermsBox().box().setChecked(true);
    window.approvesLiabilityBox().box().setChecked(true);
    return window;
}

BURROWLIGHT_SCREENSHOT("main", "file-menu") {
    return openMenu(stage, 0);
}

BURROWLIGHT_SCREENSHOT("main", "tunnels-menu") {
    return openMenu(stage, 1);
}

BURROWLIGHT_SCREENSHOT("main", "help-menu") {
    return openMenu(stage, 2);
}

// The settings form container with the stage's tunnels as rows: what the settings panes build on.
BURROWLIGHT_SCREENSHOT("theme", "settings-form") {
    auto& form = stage.own(std::make_unique<TolvanSettingsForm>());
    // As the settings window names its panes.
    form.setAccessibleName(QStringLiteral("Tunnels"));
    const auto tunnels = screenshots::Stage::tunnels();
    for (const auto* section : {"Work", "Home"}) {
        QFormLayout& rows = form.addSection(QString::fromLatin1(section));
        for (const auto& tunnel : tunnels) {
            if ((std::string_view(section) == "Home") == (tunnel.tags == std::vector<std::string>{"home"})) {
                auto& box = stage.own(std::make_unique<QCheckBox>());
                box.setChecked(tunnel.connectsAtLaunch);
                rows.addRow(QString::fromStdString(tunnel.name.empty() ? tunnel.host : tunnel.name), &box);
            }
        }
    }
    form.resize(520, 360);
    return form;
}
