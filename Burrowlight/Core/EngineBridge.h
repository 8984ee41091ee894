#pragma once

#include "TunnelKit/TunnelManager.h"

#include <QMetaType>
#include <QObject>
#include <memory>
#include <optional>
#include <unordered_map>

Q_DECLARE_METATYPE(tunnelkit::Uuid)
Q_DECLARE_METATYPE(tunnelkit::TunnelState)

namespace burrowlight {

// The one place where the application listens to the engine: the manager's and every connection's
// changes come out as Qt signals carrying the tunnel's id, emitted synchronously on the GUI thread
// while the engine reports them, so a slot reads the engine's state as of that change. Models and
// widgets connect here and never hold an engine subscription themselves.
class EngineBridge : public QObject {
    Q_OBJECT

  public:
    explicit EngineBridge(std::shared_ptr<tunnelkit::TunnelManager> manager, QObject* parent = nullptr);
    ~EngineBridge() override;

    // The tunnel's connection, made on first request; from then on its changes are reported here.
    std::shared_ptr<tunnelkit::TunnelConnection> connection(const tunnelkit::Uuid& id);
    // The record the tunnel's ssh was last started with; a save without reconnecting changes the
    // connection's record but not the running ssh.
    std::optional<tunnelkit::Tunnel> launchedTunnel(const tunnelkit::Uuid& id) const;
    // Stops listening: nothing the engine does from here on comes out as a signal.
    void detach();

  signals:
    void tunnelsChanged();
    void storageErrorChanged();
    void loadErrorChanged();
    // Every real change of any connection's state; its problem is already in place.
    void stateChanged(const tunnelkit::Uuid& id, const tunnelkit::TunnelState& old,
                      const tunnelkit::TunnelState& now);
    void problemChanged(const tunnelkit::Uuid& id);
    // The record the connection works with was replaced.
    void connectionTunnelChanged(const tunnelkit::Uuid& id);
    // Lines were appended to the log, or it was cleared.
    void logAppended(const tunnelkit::Uuid& id);
    void sessionChanged(const tunnelkit::Uuid& id);

  protected:
    tunnelkit::TunnelManager& manager() const { return *manager_; }

  private:
    void watch(const tunnelkit::Uuid& id);
    void forgetDeletedConnections();

    std::shared_ptr<tunnelkit::TunnelManager> manager_;
    tunnelkit::ObserverList<tunnelkit::TunnelManager::Change>::Subscription managerChanges_;
    tunnelkit::ObserverList<tunnelkit::TunnelManager::StateChange>::Subscription stateChanges_;
    std::unordered_map<tunnelkit::Uuid,
                       tunnelkit::ObserverList<tunnelkit::TunnelConnection::Change>::Subscription>
        connections_;
    std::unordered_map<tunnelkit::Uuid, tunnelkit::Tunnel> launched_;
    bool detached_ = false;
};

} // namespace burrowlight
