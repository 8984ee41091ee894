#pragma once

#include "Burrowlight/Core/EngineBridge.h"
#include "TunnelKit/TunnelManager.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace burrowlight {

// The application's one door to the engine, both ways: it owns the tunnel manager, takes every
// command the menus, windows and scripts give (connect, disconnect, edit, trash, delete), answers
// their questions, and reports every change as the bridge's Qt signals. Nothing else holds the
// manager. Lives on the GUI thread.
class TunnelController : public EngineBridge {
    Q_OBJECT

  public:
    using Ids = tunnelkit::TunnelManager::Ids;

    // How the controller learns whether the terms of use are accepted, and asks for them.
    struct TermsGate {
        std::function<bool()> accepted;
        std::function<void()> request;
    };

    TunnelController(std::shared_ptr<tunnelkit::TunnelManager> manager, TermsGate terms,
                     QObject* parent = nullptr);
    ~TunnelController() override;

    // Whether connecting may go on: true once the terms are accepted; before that, asks for them.
    bool passesTermsGate();

    const std::vector<tunnelkit::Tunnel>& tunnels() const { return manager().tunnels(); }
    std::vector<tunnelkit::Tunnel> liveTunnels() const { return manager().liveTunnels(); }
    std::optional<tunnelkit::Tunnel> tunnel(const tunnelkit::Uuid& id) const { return manager().tunnel(id); }
    std::vector<tunnelkit::Tunnel> tunnels(const std::string& tagged) const {
        return manager().tunnels(tagged);
    }
    std::vector<std::string> allTags() const { return manager().allTags(); }
    const std::optional<tunnelkit::StoreError>& storageError() const { return manager().storageError(); }
    const std::optional<tunnelkit::StoreError>& loadError() const { return manager().loadError(); }
    // Never creates a connection.
    tunnelkit::TunnelState state(const tunnelkit::Uuid& id) const { return manager().state(id); }
    bool hasConnection(const tunnelkit::Uuid& id) const { return manager().hasConnection(id); }
    // Active as the state is: the header's and the Connected group's count.
    int connectedTunnels() const { return manager().connectedTunnels(); }
    // Active as the connection is, a pending restart included: what toggling and the active list see.
    std::vector<tunnelkit::Tunnel> activeTunnels() const { return manager().activeTunnels(); }
    bool isActive(const tunnelkit::Uuid& id) const { return manager().isActive(id); }
    std::string exportTunnels(const Ids& ids) const { return manager().exportTunnels(ids); }

    void connect(const Ids& ids) { manager().connect(ids); }
    void disconnect(const Ids& ids) { manager().disconnect(ids); }
    void toggle(const tunnelkit::Uuid& id) { manager().toggle(id); }
    void connectAll() { manager().connectAll(); }
    void disconnectAll() { manager().disconnectAll(); }
    void connectAtLaunch() { manager().connectAtLaunch(); }
    void connect(const std::string& tagged) { manager().connect(tagged); }
    void disconnect(const std::string& tagged) { manager().disconnect(tagged); }
    // After the computer woke.
    void restartActive() { manager().restartActive(); }
    void setBuilder(const tunnelkit::SSHCommandBuilder& builder) { manager().setBuilder(builder); }
    void start(bool connectingAtLaunch) { manager().start(connectingAtLaunch); }
    void shutdown() { manager().shutdown(); }

    void save(const tunnelkit::Tunnel& tunnel) { manager().save(tunnel); }
    std::optional<tunnelkit::Tunnel> duplicate(const tunnelkit::Uuid& id,
                                               const std::function<std::string(const std::string&)>& naming) {
        return manager().duplicate(id, naming);
    }
    void setPinned(bool pinned, const Ids& ids) { manager().setPinned(pinned, ids); }
    void addTag(const std::string& tag, const Ids& ids) { manager().addTag(tag, ids); }
    void removeTag(const std::string& tag, const Ids& ids) { manager().removeTag(tag, ids); }
    void renameTag(const std::string& tag, const std::string& newTag) { manager().renameTag(tag, newTag); }
    void deleteTag(const std::string& tag) { manager().deleteTag(tag); }
    void moveToTrash(const Ids& ids) { manager().moveToTrash(ids); }
    void restore(const Ids& ids) { manager().restore(ids); }
    void deletePermanently(const Ids& ids) { manager().deletePermanently(ids); }
    std::vector<tunnelkit::Tunnel> importTunnels(const std::vector<tunnelkit::Tunnel>& records) {
        return manager().importTunnels(records);
    }
    // Whether it wrote.
    bool persist() { return manager().persist(); }

  private:
    TermsGate terms_;
};

} // namespace burrowlight
