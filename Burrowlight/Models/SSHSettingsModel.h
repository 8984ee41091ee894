#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace burrowlight {

class AppModel;

// The SSH pane: whether ssh reads the user's configuration files, which ssh runs and its version,
// and where its known hosts are. Made afresh each time the pane is shown, which asks ssh for its
// version again.
class SSHSettingsModel : public QObject {
    Q_OBJECT

  public:
    explicit SSHSettingsModel(AppModel& model, std::string executable = "/usr/bin/ssh");

    bool usesSSHConfig() const;
    // Stores the setting; the application model puts it to use for the next launches.
    void setUsesSSHConfig(bool uses);

    QString executable() const { return QString::fromStdString(executable_); }
    // The version line once ssh has answered; "?" when it can't be started.
    const std::optional<QString>& version() const { return version_; }
    // The version, or "…" while ssh has not answered yet.
    QString versionText() const;

    QString knownHostsPath() const;
    void showKnownHosts() const;

  signals:
    void changed();

  private:
    void probeVersion();

    AppModel& model_;
    std::string executable_;
    std::optional<QString> version_;
    // Let go with the model, so that an answer arriving later finds nobody.
    std::shared_ptr<SSHSettingsModel*> self_ = std::make_shared<SSHSettingsModel*>(this);
};

} // namespace burrowlight
