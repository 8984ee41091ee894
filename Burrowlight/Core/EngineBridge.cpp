#include "Burrowlight/Core/EngineBridge.h"

namespace burrowlight {

using tunnelkit::TunnelConnection;
using tunnelkit::TunnelManager;

EngineBridge::EngineBridge(std::shared_ptr<TunnelManager> manager, QObject* parent)
    : QObject(parent), manager_(std::move(manager)) {
    managerChanges_ = manager_->observe([this](const TunnelManager::Change& change) {
        switch (change) {
        case TunnelManager::Change::tunnels:
            forgetDeletedConnections();
            emit tunnelsChanged();
            break;
        case TunnelManager::Change::storageError:
            emit storageErrorChanged();
            break;
        case TunnelManager::Change::loadError:
            emit loadErrorChanged();
            break;
        }
    });
    stateChanges_ = manager_->observeStateChanges([this](const TunnelManager::StateChange& change) {
        // A connection the manager made on its own (a connect) shows up here first.
        watch(change.tunnel.id);
        if (change.now.is<tunnelkit::TunnelState::Connecting>()) {
            launched_.insert_or_assign(change.tunnel.id, change.tunnel);
        }
        emit stateChanged(change.tunnel.id, change.old, change.now);
    });
}

EngineBridge::~EngineBridge() = default;

std::shared_ptr<TunnelConnection> EngineBridge::connection(const tunnelkit::Uuid& id) {
    auto connection = manager_->connection(id);
    watch(id);
    return connection;
}

std::optional<tunnelkit::Tunnel> EngineBridge::launchedTunnel(const tunnelkit::Uuid& id) const {
    const auto found = launched_.find(id);
    if (found == launched_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void EngineBridge::detach() {
    detached_ = true;
    managerChanges_.cancel();
    stateChanges_.cancel();
    connections_.clear();
}

void EngineBridge::watch(const tunnelkit::Uuid& id) {
    if (detached_ || connections_.contains(id) || !manager_->hasConnection(id)) {
        return;
    }
    connections_[id] = manager_->connection(id)->observe([this, id](const TunnelConnection::Change& change) {
        switch (change) {
        case TunnelConnection::Change::tunnel:
            emit connectionTunnelChanged(id);
            break;
        case TunnelConnection::Change::problem:
            emit problemChanged(id);
            break;
        case TunnelConnection::Change::log:
            emit logAppended(id);
            break;
        case TunnelConnection::Change::session:
            emit sessionChanged(id);
            break;
        case TunnelConnection::Change::state:
            // Reported through the manager, with the old and the new state.
            break;
        }
    });
}

void EngineBridge::forgetDeletedConnections() {
    std::erase_if(connections_, [this](const auto& entry) { return !manager_->hasConnection(entry.first); });
    std::erase_if(launched_, [this](const auto& entry) { return !manager_->hasConnection(entry.first); });
}

} // namespace burrowlight
