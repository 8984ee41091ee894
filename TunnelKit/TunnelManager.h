#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/NetworkMonitor.h"
#include "TunnelKit/Observers.h"
#include "TunnelKit/SecretStore.h"
#include "TunnelKit/Tunnel.h"
#include "TunnelKit/TunnelConnection.h"
#include "TunnelKit/TunnelStore.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tunnelkit {

// The one owner of every tunnel, live and trashed, and of their connections: reads the tunnels file
// once at start and rewrites it whole after each change, connects and disconnects groups, relaunches
// waiting tunnels when the network returns, restarts active ones on wake and stops every ssh in time
// at quit. Lives on the main queue, in a shared_ptr (the network monitor's hop holds it weakly).
class TunnelManager : public std::enable_shared_from_this<TunnelManager> {
    struct Key {};

  public:
    // Which observed property changed.
    enum class Change { tunnels, storageError, loadError };
    // A real state change of any connection: its record, the old and the new state, and its
    // problem at that moment.
    struct StateChange {
        const Tunnel& tunnel;
        const TunnelState& old;
        const TunnelState& now;
        const std::optional<TunnelProblem>& problem;
    };
    using Ids = std::vector<Uuid>;

    // A trashed tunnel older than this is deleted for good at start.
    static constexpr std::chrono::seconds trashRetention{2'592'000};
    // How long quitting waits for ssh to end before killing it.
    static constexpr std::chrono::milliseconds shutdownDeadline{1500};

    // Reads nothing. Without a secret store, deleting leaves saved secrets alone; without a network
    // monitor, the network is never watched.
    static std::shared_ptr<TunnelManager> make(TunnelStore store, ConnectionEnvironment environment,
                                               std::shared_ptr<SecretStore> secrets,
                                               std::unique_ptr<NetworkMonitor> networkMonitor);

    TunnelManager(Key, TunnelStore store, ConnectionEnvironment environment,
                  std::shared_ptr<SecretStore> secrets, std::unique_ptr<NetworkMonitor> networkMonitor);
    TunnelManager(const TunnelManager&) = delete;
    TunnelManager& operator=(const TunnelManager&) = delete;

    // Called once: ends an earlier run's orphans and removes what interrupted writes left behind,
    // reads the file, purges old trash, connects the tunnels marked for launch when asked to, and
    // starts watching the network.
    void start(bool connectingAtLaunch, Date now = currentDate());

    [[nodiscard]] ObserverList<Change>::Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }
    // Called on the main queue for every real state change of every connection, once the manager
    // has done its own part of it.
    [[nodiscard]] ObserverList<StateChange>::Subscription
    observeStateChanges(std::function<void(const StateChange&)> observer) {
        return stateChanges_.subscribe(std::move(observer));
    }

    // Observed properties.
    const std::vector<Tunnel>& tunnels() const { return tunnels_; }
    // The last failed read or write of the file; none once a write succeeded.
    const std::optional<StoreError>& storageError() const { return storageError_; }
    // The failed read at start; kept for the whole run, and no write happens meanwhile.
    const std::optional<StoreError>& loadError() const { return loadError_; }

    // Queries.
    std::vector<Tunnel> liveTunnels() const;
    std::vector<Tunnel> trashedTunnels() const;
    std::optional<Tunnel> tunnel(Uuid id) const;
    // Live tunnels with exactly this tag, letter case included.
    std::vector<Tunnel> tunnels(const std::string& tagged) const;
    // Live tunnels whose state is active (connected, retrying or connecting).
    int connectedTunnels() const;
    // Live tunnels whose connection is active (a pending restart included), in list order.
    std::vector<Tunnel> activeTunnels() const;
    // Whether the tunnel's connection is active, a pending restart included.
    bool isActive(Uuid id) const;
    // Never creates a connection.
    TunnelState state(Uuid id) const;
    // Created on first request and kept until the tunnel is deleted for good; an id that names no
    // tunnel gets an empty placeholder record.
    std::shared_ptr<TunnelConnection> connection(Uuid id);
    bool hasConnection(Uuid id) const { return connections_.contains(id); }

    // Connecting and disconnecting.
    // The live tunnels among the ids, in list order, skipping those already active.
    void connect(const Ids& ids);
    // The ids that have a connection, in the order given.
    void disconnect(const Ids& ids);
    void toggle(Uuid id);
    void connectAll();
    void disconnectAll();
    void connectAtLaunch();
    void connect(const std::string& tagged);
    void disconnect(const std::string& tagged);

    // Life-cycle events.
    // After the computer woke: every active, wanted tunnel starts afresh.
    void restartActive();
    // Used from the next launch on; nothing is relaunched.
    void setBuilder(const SSHCommandBuilder& builder);
    // Blocks for at most about the deadline: disconnects everything, waits for the processes to
    // end, kills what is still running then, removes them all from the registry in one write and
    // stops watching the network.
    void shutdown();
    // The network monitor's entry.
    void networkChanged(bool available);

    // Editing: each change is normalized, handed to the tunnel's connection and written at once.
    void save(const Tunnel& tunnel);
    // A copy under a new id and a unique name made from the source's by `naming`; none for an
    // unknown id.
    std::optional<Tunnel> duplicate(Uuid id, const std::function<std::string(const std::string&)>& naming);
    // The name (trimmed), or the name with " 2", " 3", ... when a live tunnel has it already.
    std::string uniqueName(const std::string& name) const;
    void setPinned(bool pinned, const Ids& ids);
    void addTag(const std::string& tag, const Ids& ids);
    void removeTag(const std::string& tag, const Ids& ids);
    // In every tunnel, trashed ones included.
    void renameTag(const std::string& tag, const std::string& newTag);
    void deleteTag(const std::string& tag);
    // The tags of the live tunnels, each once, in the localized standard order.
    std::vector<std::string> allTags() const;
    void moveToTrash(const Ids& ids);
    // Back to the live tunnels, not reconnected.
    void restore(const Ids& ids);
    // Gone from the list, the file and the connections; the saved secrets go once the file no longer
    // lists the tunnel.
    void deletePermanently(const Ids& ids);
    void purgeTrash(Date now);
    // The archive of the stored tunnels among the ids, in stored order, none of them trashed.
    std::string exportTunnels(const Ids& ids) const;
    // Copies under new ids and unique names, never connecting at launch; one per record, in order.
    std::vector<Tunnel> importTunnels(const std::vector<Tunnel>& records);
    // The only writer of the tunnels file; whether it wrote.
    bool persist();

  private:
    void startNetworkMonitor();
    void removeInterruptedWrites() const;
    void modify(const std::function<bool(const Tunnel&)>& selects,
                const std::function<void(Tunnel&)>& change);
    void modify(const Ids& ids, const std::function<void(Tunnel&)>& change);
    void handToConnection(const Tunnel& tunnel);
    void deletePendingSecrets();

    void setTunnels(std::vector<Tunnel> tunnels);
    // For edits made in place: the caller compared what it changed.
    void tunnelsChanged() { observers_.notify(Change::tunnels); }
    void setStorageError(std::optional<StoreError> error);
    void setLoadError(std::optional<StoreError> error);

    std::vector<Tunnel> tunnels_;
    std::optional<StoreError> storageError_;
    std::optional<StoreError> loadError_;
    ObserverList<Change> observers_;
    ObserverList<StateChange> stateChanges_;
    std::unordered_map<Uuid, std::shared_ptr<TunnelConnection>> connections_;
    std::unordered_map<Uuid, ObserverList<TunnelConnection::StateChange>::Subscription> connectionStates_;
    const TunnelStore store_;
    const std::shared_ptr<SecretStore> secrets_;
    // Tunnels deleted for good whose secrets wait for a write of the file without them.
    std::unordered_set<Uuid> secretsToDelete_;
    ConnectionEnvironment environment_;
    std::unique_ptr<NetworkMonitor> networkMonitor_;
    bool networkAvailable_ = true;
};

} // namespace tunnelkit
