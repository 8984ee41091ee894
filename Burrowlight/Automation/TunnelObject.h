#pragma once

#include "Burrowlight/Automation/ScriptTunnels.h"

#include <QObject>
#include <QVariantMap>
#include <memory>

class TunnelAdaptor;

namespace burrowlight {

// One live tunnel on the bus, with the properties of the last snapshot it was given.
class TunnelObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString UniqueID READ uniqueID)
    Q_PROPERTY(QString Name READ name)
    Q_PROPERTY(QString Destination READ destination)
    Q_PROPERTY(QStringList Tags READ tags)
    Q_PROPERTY(uint State READ state)
    Q_PROPERTY(QString LastError READ lastError)

  public:
    explicit TunnelObject(ScriptTunnel snapshot, QObject* parent = nullptr);
    ~TunnelObject() override;

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
    std::unique_ptr<TunnelAdaptor> adaptor_;
};

} // namespace burrowlight
