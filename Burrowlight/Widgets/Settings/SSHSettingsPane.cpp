#include "Burrowlight/Widgets/Settings/SSHSettingsPane.h"

#include "Burrowlight/Widgets/Settings/PaneText.h"

#include <QSignalBlocker>

namespace burrowlight {

SSHSettingsPane::SSHSettingsPane(std::unique_ptr<SSHSettingsModel> model) : model_(std::move(model)) {
    usesSSHConfig_.setText(tr("Read ~/.ssh/config"));
    addSection(
        tr("Configuration"),
        tr("Hosts, keys and options from ~/.ssh/config and /etc/ssh/ssh_config also apply to tunnels; "
           "a tunnel's own settings come first. Connected tunnels use the change when they reconnect."))
        .addRow(&usesSSHConfig_);

    executable_.setText(model_->executable());
    makeMonospacedCallout(executable_);
    makeMonospacedCallout(version_);
    showKnownHosts_.setText(tr("Show in Files"));
    QFormLayout& program = addSection(tr("Program"));
    program.addRow(QStringLiteral("ssh"), &executable_);
    program.addRow(tr("Version"), &version_);
    program.addRow(tr("Known hosts"), &showKnownHosts_);

    connect(&usesSSHConfig_, &QCheckBox::toggled, model_.get(), &SSHSettingsModel::setUsesSSHConfig);
    connect(&showKnownHosts_, &QPushButton::clicked, model_.get(), &SSHSettingsModel::showKnownHosts);
    connect(model_.get(), &SSHSettingsModel::changed, this, &SSHSettingsPane::refresh);
    refresh();
}

SSHSettingsPane::~SSHSettingsPane() = default;

void SSHSettingsPane::refresh() {
    const QSignalBlocker quiet(usesSSHConfig_);
    usesSSHConfig_.setChecked(model_->usesSSHConfig());
    version_.setText(model_->versionText());
}

} // namespace burrowlight
