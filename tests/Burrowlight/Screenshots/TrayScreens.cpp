// The tray menu in its forms, the tip panel and the problem report.
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/ProblemReport.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Core/Texts/ProblemReportTexts.h"
#include "Burrowlight/Widgets/Shell/AppTray.h"
#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"
#include "Burrowlight/Widgets/Shell/TipPromptPanel.h"
#include "Screenshots.h"

using namespace burrowlight;
using tunnelkit::SSHFailure;
using tunnelkit::TunnelProblem;
using tunnelkit::TunnelState;

namespace {

QWidget& openMenu(screenshots::Stage& stage, const TrayMenuFacts& facts) {
    auto& menu = stage.own(std::make_unique<QMenu>());
    auto& view = stage.own(std::make_unique<TrayMenuView>(menu, [](const TrayMenuAction&) {}));
    view.render(buildTrayMenu(facts));
    menu.popup(QPoint(0, 0));
    return menu;
}

// Three of the stage's tunnels as the manager would hand them: one up, one on its way, one failed.
TrayMenuFacts threeTunnels() {
    const auto tunnels = screenshots::Stage::tunnels();
    TrayMenuFacts facts{.termsAccepted = true, .tags = {"databases", "home", "work"}};
    facts.tunnels = {
        {tunnels[0], TunnelState::connected(screenshots::Stage::nowDate()), std::nullopt},
        {tunnels[2], TunnelState::failed(), TunnelProblem::ssh(SSHFailure::hostNotFound())},
        {tunnels[1], TunnelState::connecting(), std::nullopt},
    };
    return facts;
}

} // namespace

BURROWLIGHT_SCREENSHOT("tray", "terms-only") {
    return openMenu(stage, {});
}

BURROWLIGHT_SCREENSHOT("tray", "empty") {
    return openMenu(stage, {.termsAccepted = true});
}

BURROWLIGHT_SCREENSHOT("tray", "tunnels") {
    return openMenu(stage, threeTunnels());
}

BURROWLIGHT_SCREENSHOT("tip-prompt", "panel") {
    return stage.own(std::make_unique<TipPromptPanel>());
}

BURROWLIGHT_SCREENSHOT("problem-report", "alert") {
    const ProblemFacts facts{.appVersion = appVersion(),
                             .distribution = QStringLiteral("Debian GNU/Linux 12 (bookworm)"),
                             .kernelRelease = QStringLiteral("6.1.0-28-amd64"),
                             .sshVersion =
                                 QStringLiteral("OpenSSH_9.2p1 Debian-2+deb12u3, OpenSSL 3.0.15 3 Sep 2024"),
                             .usesSSHConfig = true};
    auto box = MessageBoxAlerts::makeBox(texts::problemAlert(texts::factsText(facts)));
    auto& shown = *box.box;
    stage.own(std::make_unique<MessageBoxAlerts::Box>(std::move(box)));
    return shown;
}
