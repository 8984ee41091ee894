#pragma once

#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHConfigResolver.h"
#include "TunnelKit/Tunnel.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace burrowlight {

class AppModel;

// One host alias of the user's ssh configuration, as the import sheet lists it.
struct ConfigImportRow {
    std::string alias;
    // What ssh made of the alias; none until it answered, and when it failed or took too long.
    std::optional<tunnelkit::ResolvedHost> host;
    bool selected = false;
    // A tunnel outside the trash already has this alias as its host.
    bool exists = false;

    bool operator==(const ConfigImportRow&) const = default;
};

// The ssh-config import sheet without its widgets: the aliases of ~/.ssh/config and its includes,
// resolved by ssh one after another off the GUI thread, which of them to import, and the import.
// Destroying it stops the resolution and the ssh it runs.
class SSHConfigImportModel : public QObject {
    Q_OBJECT

  public:
    // How the aliases are asked of ssh.
    struct Resolution {
        tunnelkit::SSHCommandBuilder builder;
        std::chrono::milliseconds timeout = tunnelkit::SSHConfigResolver::defaultTimeout;
    };

    // Without a resolution, ssh reads the user's configuration files, whatever the application's
    // setting says, so that the aliases resolve.
    explicit SSHConfigImportModel(AppModel& app, std::optional<Resolution> resolution = std::nullopt,
                                  QObject* parent = nullptr);
    ~SSHConfigImportModel() override;

    static Resolution defaultResolution(const AppModel& app);

    // In the order of the configuration files.
    const std::vector<ConfigImportRow>& rows() const { return rows_; }
    // Until every alias has had its answer.
    bool loading() const { return loading_; }

    // Reads the aliases off the GUI thread and then resolves them. Once.
    void load();
    // No further alias is resolved, and a running ssh ends.
    void stop();

    // The application doesn't let ssh read ~/.ssh/config: imported aliases would not work.
    bool offersSSHConfig() const;
    void turnOnSSHConfig();

    // Rows of existing tunnels can't be chosen.
    void setSelected(size_t row, bool selected);
    bool canImport() const;
    // Saves one new tunnel per chosen alias, in file order, and returns them in that order.
    std::vector<tunnelkit::Tunnel> importSelected();

  signals:
    void rowsChanged();
    void rowChanged(int row);
    void loadingChanged(bool loading);
    void canImportChanged(bool canImport);
    void offersSSHConfigChanged(bool offers);

  private:
    void listAliases(std::vector<std::string> aliases);
    void resolve(size_t row);
    void answered(size_t row, std::optional<tunnelkit::ResolvedHost> host);
    void setLoading(bool loading);
    void updateCanImport();

    AppModel& app_;
    Resolution resolution_;
    std::vector<ConfigImportRow> rows_;
    bool loading_ = true;
    bool loadStarted_ = false;
    bool canImport_ = false;
    std::stop_source stop_;
    // Held by answers on their way back: they find it gone once this object is.
    std::shared_ptr<SSHConfigImportModel*> self_;
};

class SSHConfigImportTexts {
    Q_DECLARE_TR_FUNCTIONS(SSHConfigImport)

  public:
    // "Already a tunnel", the destination and the forwards, or the failure.
    static QString rowDetail(const ConfigImportRow& row);
};

} // namespace burrowlight
