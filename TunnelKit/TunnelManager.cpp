#include "TunnelKit/TunnelManager.h"

#include <algorithm>
#include <thread>
#include <unordered_set>

namespace tunnelkit {

std::shared_ptr<TunnelManager> TunnelManager::make(TunnelStore store, ConnectionEnvironment environment,
                                                   std::shared_ptr<SecretStore> secrets,
                                                   NetworkMonitorFactory networkMonitors) {
    return std::make_shared<TunnelManager>(Key{}, std::move(store), std::move(environment), std::move(secrets),
                                           std::move(networkMonitors));
}

TunnelManager::NetworkMonitorFactory TunnelManager::netlinkMonitors() {
    return [] { return std::make_unique<platform::NetlinkNetworkMonitor>(); };
}

TunnelManager::TunnelManager(Key, TunnelStore store, ConnectionEnvironment environment,
                             std::shared_ptr<SecretStore> secrets, NetworkMonitorFactory networkMonitors)
    : store_(std::move(store)), secrets_(std::move(secrets)), environment_(std::move(environment)),
      networkMonitors_(std::move(networkMonitors)) {}

void TunnelManager::start(bool connectingAtLaunch, Date now) {
    if (environment_.registry) {
        environment_.registry->reapStale();
    }
    if (auto loaded = store_.load()) {
        setTunnels(std::move(*loaded));
    } else {
        const auto text = describe(loaded.error());
        setLoadError(text);
        setStorageError(text);
    }
    purgeTrash(now);
    if (connectingAtLaunch) {
        connectAtLaunch();
    }
    startNetworkMonitor();
}

void TunnelManager::startNetworkMonitor() {
    if (!networkMonitors_) {
        return;
    }
    networkMonitor_ = networkMonitors_();
    if (!networkMonitor_) {
        return;
    }
    networkMonitor_->start([weak = weak_from_this(), queue = environment_.mainQueue](bool available) {
        queue->post([weak, available] {
            if (const auto self = weak.lock()) {
                self->networkChanged(available);
            }
        });
    });
}

// Queries

std::vector<Tunnel> TunnelManager::liveTunnels() const {
    std::vector<Tunnel> result;
    std::ranges::copy_if(tunnels_, std::back_inserter(result), [](const Tunnel& t) { return !t.isTrashed(); });
    return result;
}

std::vector<Tunnel> TunnelManager::trashedTunnels() const {
    std::vector<Tunnel> result;
    std::ranges::copy_if(tunnels_, std::back_inserter(result), [](const Tunnel& t) { return t.isTrashed(); });
    return result;
}

std::optional<Tunnel> TunnelManager::tunnel(Uuid id) const {
    const auto found = std::ranges::find(tunnels_, id, &Tunnel::id);
    if (found == tunnels_.end()) {
        return std::nullopt;
    }
    return *found;
}

std::vector<Tunnel> TunnelManager::tunnels(const std::string& tagged) const {
    std::vector<Tunnel> result;
    for (const auto& tunnel : tunnels_) {
        if (!tunnel.isTrashed() && std::ranges::find(tunnel.tags, tagged) != tunnel.tags.end()) {
            result.push_back(tunnel);
        }
    }
    return result;
}

int TunnelManager::connectedTunnels() const {
    return static_cast<int>(std::ranges::count_if(tunnels_, [this](const Tunnel& tunnel) {
        const auto found = connections_.find(tunnel.id);
        return !tunnel.isTrashed() && found != connections_.end() && found->second->state().isActive();
    }));
}

std::vector<Tunnel> TunnelManager::activeTunnels() const {
    std::vector<Tunnel> result;
    for (const auto& tunnel : tunnels_) {
        const auto found = connections_.find(tunnel.id);
        if (!tunnel.isTrashed() && found != connections_.end() && found->second->isActive()) {
            result.push_back(tunnel);
        }
    }
    std::ranges::stable_sort(result, compareTunnelsForList);
    return result;
}

TunnelState TunnelManager::state(Uuid id) const {
    const auto found = connections_.find(id);
    return found == connections_.end() ? TunnelState::disconnected() : found->second->state();
}

std::shared_ptr<TunnelConnection> TunnelManager::connection(Uuid id) {
    if (const auto found = connections_.find(id); found != connections_.end()) {
        return found->second;
    }
    auto record = tunnel(id);
    if (!record) {
        record = Tunnel::created();
        record->id = id;
    }
    auto created = TunnelConnection::make(std::move(*record), environment_);
    created->setOnStateChange([weakSelf = weak_from_this(), weakConnection = std::weak_ptr(created)](
                                  const TunnelState& old, const TunnelState& now) {
        const auto self = weakSelf.lock();
        const auto connection = weakConnection.lock();
        if (self && connection) {
            self->reportStateChange(*connection, old, now);
        }
    });
    connections_.emplace(id, created);
    return created;
}

void TunnelManager::reportStateChange(const TunnelConnection& connection, const TunnelState& old,
                                      const TunnelState& now) {
    if (onStateChange_) {
        onStateChange_(connection.tunnel(), old, now, connection.problem());
    }
}

// Connecting and disconnecting

void TunnelManager::connect(const Ids& ids) {
    const std::unordered_set<Uuid> wanted(ids.begin(), ids.end());
    auto candidates = liveTunnels();
    std::erase_if(candidates, [&](const Tunnel& tunnel) { return !wanted.contains(tunnel.id); });
    std::ranges::stable_sort(candidates, compareTunnelsForList);
    for (const auto& candidate : candidates) {
        const auto found = connections_.find(candidate.id);
        if (found != connections_.end() && found->second->isActive()) {
            continue;
        }
        connection(candidate.id)->connect();
    }
}

void TunnelManager::disconnect(const Ids& ids) {
    for (const auto& id : ids) {
        // Held while it runs: the application's handler of its state change may delete the tunnel.
        if (const auto found = connections_.find(id); found != connections_.end()) {
            const auto connection = found->second;
            connection->disconnect();
        }
    }
}

void TunnelManager::toggle(Uuid id) {
    const auto found = connections_.find(id);
    if (found != connections_.end() && found->second->isActive()) {
        disconnect({id});
    } else {
        connect({id});
    }
}

void TunnelManager::connectAll() {
    Ids ids;
    for (const auto& tunnel : liveTunnels()) {
        ids.push_back(tunnel.id);
    }
    connect(ids);
}

void TunnelManager::disconnectAll() {
    Ids ids;
    for (const auto& [id, connection] : connections_) {
        ids.push_back(id);
    }
    disconnect(ids);
}

void TunnelManager::connectAtLaunch() {
    Ids ids;
    for (const auto& tunnel : tunnels_) {
        if (tunnel.connectsAtLaunch) {
            ids.push_back(tunnel.id);
        }
    }
    connect(ids);
}

void TunnelManager::connect(const std::string& tagged) {
    Ids ids;
    for (const auto& tunnel : tunnels(tagged)) {
        ids.push_back(tunnel.id);
    }
    connect(ids);
}

void TunnelManager::disconnect(const std::string& tagged) {
    Ids ids;
    for (const auto& tunnel : tunnels(tagged)) {
        ids.push_back(tunnel.id);
    }
    disconnect(ids);
}

// Life-cycle events

namespace {

// A snapshot, so that handlers called on the way may change the map safely.
std::vector<std::shared_ptr<TunnelConnection>>
snapshot(const std::unordered_map<Uuid, std::shared_ptr<TunnelConnection>>& connections) {
    std::vector<std::shared_ptr<TunnelConnection>> result;
    for (const auto& [id, connection] : connections) {
        result.push_back(connection);
    }
    return result;
}

} // namespace

void TunnelManager::restartActive() {
    for (const auto& connection : snapshot(connections_)) {
        if (connection->state().isActive()) {
            connection->restart();
        }
    }
}

void TunnelManager::setBuilder(const SSHCommandBuilder& builder) {
    environment_.builder = builder;
    for (const auto& connection : snapshot(connections_)) {
        auto environment = connection->environment();
        environment.builder = builder;
        connection->setEnvironment(std::move(environment));
    }
}

void TunnelManager::networkChanged(bool available) {
    if (!available || networkAvailable_) {
        networkAvailable_ = available;
        return;
    }
    for (const auto& connection : snapshot(connections_)) {
        connection->retryNow();
    }
    networkAvailable_ = true;
}

void TunnelManager::shutdown() {
    // Handles, not pids: a handle knows when its child has been reaped and never signals it after,
    // while a bare pid may by then name some other process.
    std::vector<SSHProcess> processes;
    for (const auto& connection : snapshot(connections_)) {
        if (auto process = connection->runningProcess()) {
            processes.push_back(std::move(*process));
        }
    }
    disconnectAll();

    const auto running = [&] {
        return std::ranges::any_of(processes, [](const SSHProcess& process) { return !process.hasExited(); });
    };
    const auto deadline = std::chrono::steady_clock::now() + shutdownDeadline;
    while (std::chrono::steady_clock::now() < deadline && running()) {
        std::this_thread::sleep_for(shutdownPollInterval);
    }
    for (const auto& process : processes) {
        process.killGroup();
    }
    if (environment_.registry) {
        for (const auto& process : processes) {
            environment_.registry->unregisterProcess(process.pid());
        }
    }
    if (networkMonitor_) {
        networkMonitor_->cancel();
    }
}

// Observed properties

void TunnelManager::setTunnels(std::vector<Tunnel> tunnels) {
    observers_.assign(tunnels_, std::move(tunnels), Change::tunnels);
}

void TunnelManager::setStorageError(std::optional<std::string> text) {
    observers_.assign(storageError_, std::move(text), Change::storageError);
}

void TunnelManager::setLoadError(std::optional<std::string> text) {
    observers_.assign(loadError_, std::move(text), Change::loadError);
}

} // namespace tunnelkit
