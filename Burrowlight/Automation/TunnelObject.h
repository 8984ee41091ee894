#pragma once

#include "Burrowlight/Automation/ScriptTunnels.h"

#include <QObject>
#include <QVariantMap>

namespace burrowlight {

// One live tunnel on the bus, with the properties of the last snapshot it was given. It exports
// them itself (com.tolvan.burrowlight.Tunnel.xml describes them): an adaptor would make two more
// objects for each of thousands of tunnels.
class TunnelObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.tolvan.burrowlight.Tunnel")
    Q_PROPERTY(QString UniqueID READ uniqueID)
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(QString Destination READ destination)
    Q_PROPERTY(QStringList Tags READ tags)
    Q_PROPERTY(uint State READ state)
    Q_PROPERTY(QString LastError READ lastError)

  public:
    explicit TunnelObject(ScriptTunnel snapshot, QObject* parent = nullptr);

    const tunnelkit::Uuid& id() const { return snapshot_.id; }
    QString path() const { return scripting::tunnelPath(snapshot_.id); }
    // Takes the new snapshot; answers the properties that changed, by their D-Bus names.
    QVariantMap update(const ScriptTunnel& now);

    QString uniqueID() const { return snapshot_.uniqueID; }
    QString name() const { return snapshot_.name; }
    QString destination() const { return snapshot_.destination; }
    QStringList tags() const { return snapshot_.tags; }
    uint state() const { return snapshot_.state; }
    QString lastError() const { return snapshot_.lastError; }

  private:
    ScriptTunnel snapshot_;
};

} // namespace burrowlight
