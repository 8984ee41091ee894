#include "Burrowlight/Models/SSHConfigImportModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Background.h"
#include "TunnelKit/SSHConfigReader.h"

#include <unordered_set>

namespace burrowlight {

using tunnelkit::ResolvedHost;
using tunnelkit::SSHCommandBuilder;
using tunnelkit::Tunnel;

SSHConfigImportModel::SSHConfigImportModel(AppModel& app, std::optional<Resolution> resolution,
                                           QObject* parent)
    : QObject(parent), app_(app), resolution_(resolution ? std::move(*resolution) : defaultResolution(app)),
      self_(std::make_shared<SSHConfigImportModel*>(this)) {
    connect(&app_.settings(), &AppSettings::usesSSHConfigChanged, this,
            [this](bool uses) { emit offersSSHConfigChanged(!uses); });
}

SSHConfigImportModel::~SSHConfigImportModel() {
    stop();
}

SSHConfigImportModel::Resolution SSHConfigImportModel::defaultResolution(const AppModel& app) {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, app.parts().homeDirectory);
    builder.wrapperURL = app.parts().wrapperConfigPath;
    return Resolution{.builder = std::move(builder)};
}

void SSHConfigImportModel::load() {
    if (loadStarted_) {
        return;
    }
    loadStarted_ = true;
    const auto& home = app_.parts().homeDirectory;
    inBackground(
        *this, [home] { return tunnelkit::SSHConfigReader::hostAliases(home + "/.ssh/config", home); },
        [this](std::vector<std::string> aliases) { listAliases(std::move(aliases)); });
}

void SSHConfigImportModel::listAliases(std::vector<std::string> aliases) {
    if (stop_.stop_requested()) {
        return;
    }
    std::unordered_set<std::string> existingHosts;
    for (const auto& tunnel : app_.controller().tunnels()) {
        if (!tunnel.isTrashed()) {
            existingHosts.insert(tunnel.host);
        }
    }
    for (auto& alias : aliases) {
        if (SSHCommandBuilder::isValidHostToken(alias)) {
            const bool exists = existingHosts.contains(alias);
            rows_.push_back(
                ConfigImportRow{.alias = std::move(alias), .host = std::nullopt, .exists = exists});
        }
    }
    emit rowsChanged();
    resolve(0);
}

void SSHConfigImportModel::stop() {
    stop_.request_stop();
}

void SSHConfigImportModel::resolve(size_t row) {
    if (stop_.stop_requested()) {
        return;
    }
    if (row >= rows_.size()) {
        setLoading(false);
        return;
    }
    std::weak_ptr<SSHConfigImportModel*> self = self_;
    tunnelkit::SSHConfigResolver::resolve(
        rows_[row].alias, resolution_.builder, resolution_.timeout,
        [queue = app_.mainQueue(), self, row](std::optional<ResolvedHost> host) {
            queue->post([self, row, host = std::move(host)] {
                if (const auto owner = self.lock()) {
                    (*owner)->answered(row, host);
                }
            });
        },
        stop_.get_token());
}

void SSHConfigImportModel::answered(size_t row, std::optional<ResolvedHost> host) {
    if (stop_.stop_requested()) {
        return;
    }
    auto& entry = rows_[row];
    entry.selected = !entry.exists && host && !host->forwards.empty();
    entry.host = std::move(host);
    emit rowChanged(static_cast<int>(row));
    updateCanImport();
    resolve(row + 1);
}

void SSHConfigImportModel::setLoading(bool loading) {
    if (loading != loading_) {
        loading_ = loading;
        emit loadingChanged(loading);
        updateCanImport();
    }
}

bool SSHConfigImportModel::offersSSHConfig() const {
    return !app_.settings().usesSSHConfig();
}

void SSHConfigImportModel::turnOnSSHConfig() {
    // The application follows the setting: the engine's builder and the cached hosts are renewed.
    app_.settings().setUsesSSHConfig(true);
}

void SSHConfigImportModel::setSelected(size_t row, bool selected) {
    if (row >= rows_.size() || rows_[row].exists || rows_[row].selected == selected) {
        return;
    }
    rows_[row].selected = selected;
    emit rowChanged(static_cast<int>(row));
    updateCanImport();
}

bool SSHConfigImportModel::canImport() const {
    return canImport_;
}

void SSHConfigImportModel::updateCanImport() {
    bool chosen = false;
    for (const auto& row : rows_) {
        chosen = chosen || (row.selected && !row.exists);
    }
    const bool canImport = !loading_ && chosen;
    if (canImport != canImport_) {
        canImport_ = canImport;
        emit canImportChanged(canImport);
    }
}

std::vector<Tunnel> SSHConfigImportModel::importSelected() {
    std::vector<Tunnel> imported;
    if (!canImport_) {
        return imported;
    }
    for (const auto& row : rows_) {
        if (row.selected && !row.exists) {
            Tunnel tunnel = Tunnel::created();
            tunnel.name = row.alias;
            tunnel.host = row.alias;
            app_.controller().save(tunnel);
            imported.push_back(std::move(tunnel));
        }
    }
    return imported;
}

QString SSHConfigImportTexts::rowDetail(const ConfigImportRow& row) {
    if (row.exists) {
        return tr("Already a tunnel");
    }
    if (!row.host) {
        return tr("ssh couldn't read this host");
    }
    const QString destination = QString::fromStdString(row.host->destination());
    if (row.host->forwards.empty()) {
        return destination;
    }
    return tr("%1 · %n forwards", nullptr, static_cast<int>(row.host->forwards.size())).arg(destination);
}

} // namespace burrowlight
