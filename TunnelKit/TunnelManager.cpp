#include "TunnelKit/TunnelManager.h"

#include <algorithm>
#include <poll.h>
#include <sys/resource.h>
#include <unordered_set>

namespace tunnelkit {

namespace {

// Each running tunnel holds three descriptors (its pipe, its pidfd, its wake-up event); the usual
// soft limit of 1024 would stop the 330th or so from starting.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

std::shared_ptr<TunnelManager> TunnelManager::make(TunnelStore store, ConnectionEnvironment environment,
                                                   std::shared_ptr<SecretStore> secrets,
                                                   std::unique_ptr<NetworkMonitor> networkMonitor) {
    return std::make_shared<TunnelManager>(Key{}, std::move(store), std::move(environment),
                                           std::move(secrets), std::move(networkMonitor));
}

TunnelManager::TunnelManager(Key, TunnelStore store, ConnectionEnvironment environment,
                             std::shared_ptr<SecretStore> secrets,
                             std::unique_ptr<NetworkMonitor> networkMonitor)
    : store_(std::move(store)), secrets_(std::move(secrets)), environment_(std::move(environment)),
      networkMonitor_(std::move(networkMonitor)) {}

void TunnelManager::start(bool connectingAtLaunch, Date now) {
    raiseOpenFileLimit();
    removeInterruptedWrites();
    if (environment_.registry) {
        environment_.registry->reapStale(environment_.builder.wrapperURL);
    }
    if (auto loaded = store_.load()) {
        setTunnels(std::move(*loaded));
    } else {
        setLoadError(loaded.error());
        setStorageError(loaded.error());
    }
    purgeTrash(now);
    if (connectingAtLaunch) {
        connectAtLaunch();
    }
    startNetworkMonitor();
}

// Nothing else writes these files at start, so a temporary beside them is what a write cut short
// by a crash or a kill left behind.
void TunnelManager::removeInterruptedWrites() const {
    removeStaleTemporaries(store_.filePath());
    if (environment_.registry) {
        removeStaleTemporaries(environment_.registry->filePath());
    }
    if (environment_.builder.wrapperURL) {
        removeStaleTemporaries(*environment_.builder.wrapperURL);
    }
}

void TunnelManager::startNetworkMonitor() {
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
    std::ranges::copy_if(tunnels_, std::back_inserter(result),
                         [](const Tunnel& t) { return !t.isTrashed(); });
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
        return !tunnel.isTrashed() && state(tunnel.id).isActive();
    }));
}

std::vector<Tunnel> TunnelManager::activeTunnels() const {
    std::vector<Tunnel> result;
    for (const auto& tunnel : tunnels_) {
        if (!tunnel.isTrashed() && isActive(tunnel.id)) {
            result.push_back(tunnel);
        }
    }
    std::ranges::stable_sort(result, compareTunnelsForList);
    return result;
}

bool TunnelManager::isActive(Uuid id) const {
    const auto found = connections_.find(id);
    return found != connections_.end() && found->second->isActive();
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
    // The subscription lives in the manager, so the manager is there whenever it is called.
    connectionStates_.insert_or_assign(
        id, created->observeStateChanges([this, weakConnection = std::weak_ptr(created)](
                                             const TunnelConnection::StateChange& change) {
            if (const auto connection = weakConnection.lock()) {
                stateChanges_.notify({connection->tunnel(), change.old, change.now, connection->problem()});
            }
        }));
    connections_.emplace(id, created);
    return created;
}

// Connecting and disconnecting

void TunnelManager::connect(const Ids& ids) {
    const std::unordered_set<Uuid> wanted(ids.begin(), ids.end());
    // Only the wanted are copied: at start, none of a large list.
    std::vector<Tunnel> candidates;
    std::ranges::copy_if(tunnels_, std::back_inserter(candidates), [&](const Tunnel& tunnel) {
        return !tunnel.isTrashed() && wanted.contains(tunnel.id);
    });
    std::ranges::stable_sort(candidates, compareTunnelsForList);
    for (const auto& candidate : candidates) {
        if (isActive(candidate.id)) {
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
    if (isActive(id)) {
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

namespace {

// Waits on the processes' pidfds until every one of them has exited or the deadline has passed;
// returns the processes still running then.
std::vector<SSHProcess> waitForExits(std::vector<SSHProcess> processes,
                                     std::chrono::steady_clock::time_point deadline) {
    std::vector<UniqueFd> exits;
    std::vector<SSHProcess> running;
    for (auto& process : processes) {
        if (auto exit = process.exitDescriptor()) {
            exits.push_back(std::move(exit));
            running.push_back(std::move(process));
        }
    }
    while (!running.empty()) {
        std::vector<pollfd> fds;
        for (const auto& exit : exits) {
            fds.push_back({exit.get(), POLLIN, 0});
        }
        const int ready = ::poll(fds.data(), fds.size(), pollTimeoutUntil(deadline));
        if (ready == 0 && std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        for (size_t index = fds.size(); index-- > 0;) {
            if (fds[index].revents != 0) {
                exits.erase(exits.begin() + static_cast<ptrdiff_t>(index));
                running.erase(running.begin() + static_cast<ptrdiff_t>(index));
            }
        }
    }
    return running;
}

} // namespace

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

    std::vector<pid_t> pids;
    for (const auto& process : processes) {
        pids.push_back(process.pid());
    }
    for (const auto& process :
         waitForExits(std::move(processes), std::chrono::steady_clock::now() + shutdownDeadline)) {
        process.killGroup();
    }
    if (environment_.registry && !pids.empty()) {
        environment_.registry->unregisterProcesses(pids);
        environment_.registry->flush();
    }
    if (networkMonitor_) {
        networkMonitor_->cancel();
    }
}

// Observed properties

void TunnelManager::setTunnels(std::vector<Tunnel> tunnels) {
    observers_.assign(tunnels_, std::move(tunnels), Change::tunnels);
}

void TunnelManager::setStorageError(std::optional<StoreError> error) {
    observers_.assign(storageError_, std::move(error), Change::storageError);
}

void TunnelManager::setLoadError(std::optional<StoreError> error) {
    observers_.assign(loadError_, std::move(error), Change::loadError);
}

} // namespace tunnelkit
