#include "Burrowlight/Models/SSHSettingsModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Desktop/FileManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QThreadPool>
#include <memory>

namespace burrowlight {

SSHSettingsModel::SSHSettingsModel(AppModel& model, std::string executable)
    : model_(model), executable_(std::move(executable)) {
    connect(&model_.settings(), &AppSettings::usesSSHConfigChanged, this, &SSHSettingsModel::changed);
    probeVersion();
}

bool SSHSettingsModel::usesSSHConfig() const {
    return model_.settings().usesSSHConfig();
}

void SSHSettingsModel::setUsesSSHConfig(bool uses) {
    model_.settings().setUsesSSHConfig(uses);
}

QString SSHSettingsModel::versionText() const {
    return version_.value_or(QStringLiteral("…"));
}

QString SSHSettingsModel::knownHostsPath() const {
    return QDir(QString::fromStdString(model_.parts().homeDirectory))
        .filePath(QStringLiteral(".ssh/known_hosts"));
}

void SSHSettingsModel::showKnownHosts() const {
    revealInFileManager(knownHostsPath());
}

// ssh runs on a pool thread; its answer comes back through the event loop, and not at all once the
// pane is gone.
void SSHSettingsModel::probeVersion() {
    QThreadPool::globalInstance()->start([executable = executable_, self = std::weak_ptr(self_)] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [version = sshVersion(executable), self] {
                if (const auto owner = self.lock()) {
                    (*owner)->version_ = version;
                    emit(*owner)->changed();
                }
            },
            Qt::QueuedConnection);
    });
}

} // namespace burrowlight
