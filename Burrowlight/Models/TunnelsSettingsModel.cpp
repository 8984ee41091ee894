#include "Burrowlight/Models/TunnelsSettingsModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Texts/SettingsTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"
#include "Burrowlight/Desktop/FileManager.h"
#include "TunnelKit/FileIO.h"

#include <QFileInfo>

namespace burrowlight {

TunnelsSettingsModel::TunnelsSettingsModel(AppModel& model, AlertPresenter& alerts,
                                           std::function<void()> openMain)
    : model_(model), alerts_(alerts), openMain_(std::move(openMain)) {
    for (const auto signal : {&EngineBridge::tunnelsChanged, &EngineBridge::storageErrorChanged,
                              &EngineBridge::loadErrorChanged}) {
        connect(&model_.engine(), signal, this, &TunnelsSettingsModel::changed);
    }
}

void TunnelsSettingsModel::importFile(const QString& path) {
    model_.importTunnels(path);
}

void TunnelsSettingsModel::importFromSSHConfig() {
    if (!model_.controller().passesTermsGate()) {
        return;
    }
    openMain_();
    model_.setRequestsConfigImport(true);
}

bool TunnelsSettingsModel::canExportAll() const {
    return !model_.controller().liveTunnels().empty();
}

std::optional<ExportFile> TunnelsSettingsModel::exportAll() const {
    TunnelController::Ids ids;
    for (const auto& tunnel : model_.controller().liveTunnels()) {
        ids.push_back(tunnel.id);
    }
    if (ids.empty()) {
        return std::nullopt;
    }
    return ExportFile{QByteArray::fromStdString(model_.controller().exportTunnels(ids)), tr("Tunnels")};
}

QString TunnelsSettingsModel::suggestedFileName(const ExportFile& file) {
    return file.name + QLatin1Char('.') + QLatin1String(ExportFile::fileExtension);
}

QString TunnelsSettingsModel::archivePath(const QString& chosen) {
    if (QFileInfo(chosen).suffix() == QLatin1String(ExportFile::fileExtension)) {
        return chosen;
    }
    return chosen + QLatin1Char('.') + QLatin1String(ExportFile::fileExtension);
}

bool TunnelsSettingsModel::save(const ExportFile& file, const QString& path) {
    const auto written = tunnelkit::writeFileAtomically(path.toStdString(), file.data.toStdString(), 0644);
    if (!written) {
        alerts_.run(texts::exportFailedAlert(written.error()));
        return false;
    }
    return true;
}

QString TunnelsSettingsModel::tunnelsFilePath() const {
    return QString::fromStdString(model_.tunnelsFilePath());
}

void TunnelsSettingsModel::showTunnelsFile() const {
    revealInFileManager(tunnelsFilePath());
}

QString TunnelsSettingsModel::storageProblem() const {
    const auto& controller = model_.controller();
    if (const auto& error = controller.loadError()) {
        return tr("Couldn't read the tunnels: %1 Nothing is saved until the file can be read.")
            .arg(texts::message(*error));
    }
    if (const auto& error = controller.storageError()) {
        return tr("Couldn't save the tunnels: %1").arg(texts::message(*error));
    }
    return {};
}

} // namespace burrowlight
