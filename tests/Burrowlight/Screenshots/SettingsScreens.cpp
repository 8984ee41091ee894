// The settings window's panes and the onboarding window.
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Widgets/Settings/SSHSettingsPane.h"
#include "Burrowlight/Widgets/Settings/SettingsWindow.h"
#include "Burrowlight/Widgets/Shell/OnboardingWindow.h"
#include "Screenshots.h"
#include "TunnelKit/FileIO.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>

using namespace burrowlight;

namespace {

struct NoAlerts : AlertPresenter {
    std::optional<size_t> run(const Alert&) override { return std::nullopt; }
};

// The language this picture is taken in, chosen by the user too: no relaunch offered.
void chooseRunningLanguage(AppModel& model) {
    applyAppLanguage(runningLocalization() == QLatin1String("it") ? AppLanguage::italian
                                                                  : AppLanguage::english,
                     model.settings());
}

SettingsWindow& settingsWindow(screenshots::Stage& stage, SettingsSection section) {
    AppSettings::registerDefaults();
    AppModel& model = stage.model();
    model.settings().setSelectedSettingsSection(rawValue(section));
    chooseRunningLanguage(model);
    auto& alerts = stage.own(std::make_unique<NoAlerts>());
    return stage.own(std::make_unique<SettingsWindow>(SettingsServices{
        .model = model, .termination = stage.termination(), .alerts = alerts, .openMain = [] {}}));
}

OnboardingWindow& onboardingWindow(screenshots::Stage& stage) {
    return stage.own(std::make_unique<OnboardingWindow>(
        std::make_unique<OnboardingModel>(stage.model(), OnboardingModel::Windows{})));
}

void setSSHConfig(bool present) {
    const auto file = std::filesystem::path(screenshots::Stage::home().toStdString()) / ".ssh" / "config";
    if (present) {
        (void)tunnelkit::writeFileAtomically(file.string(), "Host bastion\n  HostName bastion.example.com\n");
    } else {
        std::filesystem::remove(file);
    }
}

} // namespace

BURROWLIGHT_SCREENSHOT("settings", "general") {
    return settingsWindow(stage, SettingsSection::general);
}

BURROWLIGHT_SCREENSHOT("settings", "general-relaunch") {
    auto& window = settingsWindow(stage, SettingsSection::general);
    applyAppLanguage(runningLocalization() == QLatin1String("it") ? AppLanguage::english
                                                                  : AppLanguage::italian,
                     stage.model().settings());
    return window;
}

// The end of the pane: the version and the tip.
BURROWLIGHT_SCREENSHOT("settings", "general-application") {
    auto& window = settingsWindow(stage, SettingsSection::general);
    window.show();
    QApplication::processEvents();
    auto& pane = static_cast<QScrollArea&>(window.pane());
    pane.verticalScrollBar()->setValue(pane.verticalScrollBar()->maximum());
    return window;
}

BURROWLIGHT_SCREENSHOT("settings", "ssh") {
    auto& window = settingsWindow(stage, SettingsSection::ssh);
    // The version line comes from ssh on another thread.
    auto& pane = static_cast<SSHSettingsPane&>(window.pane());
    const QDeadlineTimer deadline(5000);
    while (!pane.model().version() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return window;
}

BURROWLIGHT_SCREENSHOT("settings", "tunnels") {
    return settingsWindow(stage, SettingsSection::tunnels);
}

BURROWLIGHT_SCREENSHOT("settings", "tunnels-storage-error") {
    AppModel& model = stage.model();
    // A file where the tunnels' folder should be: the next write fails, and the error stays shown.
    const std::filesystem::path folder = std::filesystem::path(model.tunnelsFilePath()).parent_path();
    const auto moved = folder.string() + ".moved";
    std::filesystem::rename(folder, moved);
    (void)tunnelkit::writeFileAtomically(folder.string() + ".blocker", "");
    std::filesystem::rename(folder.string() + ".blocker", folder);
    model.controller().persist();
    std::filesystem::remove(folder);
    std::filesystem::rename(moved, folder);
    return settingsWindow(stage, SettingsSection::tunnels);
}

BURROWLIGHT_SCREENSHOT("onboarding", "with-ssh-config") {
    setSSHConfig(true);
    return onboardingWindow(stage);
}

BURROWLIGHT_SCREENSHOT("onboarding", "without-ssh-config") {
    setSSHConfig(false);
    return onboardingWindow(stage);
}
