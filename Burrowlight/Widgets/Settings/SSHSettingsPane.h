#pragma once

#include "Burrowlight/Models/SSHSettingsModel.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

namespace burrowlight {

// The SSH pane: reading ~/.ssh/config, and the ssh the tunnels run with its version and known
// hosts.
class SSHSettingsPane : public TolvanSettingsForm {
    Q_OBJECT

  public:
    explicit SSHSettingsPane(std::unique_ptr<SSHSettingsModel> model);
    ~SSHSettingsPane() override;

    SSHSettingsModel& model() { return *model_; }

  private:
    void refresh();

    std::unique_ptr<SSHSettingsModel> model_;
    QCheckBox usesSSHConfig_;
    QLabel executable_;
    QLabel version_;
    QPushButton showKnownHosts_;
};

} // namespace burrowlight
