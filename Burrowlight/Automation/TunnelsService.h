#pragma once

#include "Burrowlight/Automation/ConnectionWaits.h"
#include "Burrowlight/Automation/ScriptTunnels.h"
#include "Burrowlight/Automation/TunnelObject.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QObject>
#include <map>
#include <memory>

class TunnelsAdaptor;

namespace burrowlight {

class AppModel;

// The running application's tunnels for scripts, on the session bus beside the single-instance
// object: the tunnels as objects with their properties (kept current, every change announced), and
// the commands that connect and disconnect them. A connect replies once its tunnels have settled,
// at most after 20 seconds; meanwhile the event loop goes on and other calls are served.
class TunnelsService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(QList<QDBusObjectPath> Tunnels READ tunnels)

  public:
    TunnelsService(AppModel& model, QDBusConnection bus, ConnectionWaits::Steps steps = {},
                   QObject* parent = nullptr);
    ~TunnelsService() override;

    // False without a bus, or when another object took the path.
    bool isRegistered() const { return isRegistered_; }
    bool isWaiting() const { return waits_.isWaiting(); }

    // The live tunnels' object paths, in list order.
    QList<QDBusObjectPath> tunnels() const { return paths_; }

    // The interface's methods, as its adaptor calls them.
    void Connect(const QStringList& tunnels, const QString& tag);
    void ConnectAll();
    void Disconnect(const QStringList& tunnels, const QString& tag);
    void DisconnectAll();
    QStringList ConnectTunnels(const QStringList& tunnels);
    void DisconnectTunnels(const QStringList& tunnels);
    QStringList GetTunnelStatus(const QStringList& tunnels);
    QList<QDBusObjectPath> FindTunnels(const QString& text);

  private:
    bool refusedWithoutTunnels();
    bool refusedBeforeTerms(bool logged);
    void connectCommand(const std::vector<tunnelkit::Tunnel>& tunnels);
    void disconnectCommand(const std::vector<tunnelkit::Tunnel>& tunnels);
    void finishConnectCommand(const QDBusMessage& call, const std::vector<tunnelkit::Tunnel>& tunnels);
    QStringList statusLines(const std::vector<tunnelkit::Tunnel>& tunnels);
    void fail(const ScriptError& error);
    void fail(const QDBusMessage& call, const ScriptError& error);
    void forgetCaller(const QString& caller, ConnectionWaits::Ticket ticket);
    void callerLeft(const QString& caller);

    void publishTunnels();
    void publishTunnel(const tunnelkit::Uuid& id);
    void announce(const QString& path, const char* interface, const QVariantMap& changed);

    AppModel& model_;
    QDBusConnection bus_;
    std::unique_ptr<TunnelsAdaptor> adaptor_;
    ConnectionWaits waits_;
    // Callers whose status-reporting connect waits: leaving the bus ends their waits.
    QDBusServiceWatcher callers_;
    std::multimap<QString, ConnectionWaits::Ticket> waitsByCaller_;
    std::map<tunnelkit::Uuid, std::unique_ptr<TunnelObject>> objects_;
    QList<QDBusObjectPath> paths_;
    bool isRegistered_ = false;
};

} // namespace burrowlight
