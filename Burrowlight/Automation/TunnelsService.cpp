#include "Burrowlight/Automation/TunnelsService.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/ScriptTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "TunnelsAdaptor.h"

#include <unordered_set>

namespace burrowlight {

using tunnelkit::Tunnel;
using tunnelkit::Uuid;

TunnelsService::TunnelsService(AppModel& model, QDBusConnection bus, ConnectionWaits::Steps steps,
                               QObject* parent)
    : QObject(parent), model_(model), bus_(std::move(bus)), adaptor_(std::make_unique<TunnelsAdaptor>(this)),
      waits_(model.controller(), steps) {
    callers_.setConnection(bus_);
    callers_.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&callers_, &QDBusServiceWatcher::serviceUnregistered, this, &TunnelsService::callerLeft);

    const EngineBridge& engine = model_.engine();
    connect(&engine, &EngineBridge::tunnelsChanged, this, &TunnelsService::publishTunnels);
    connect(&engine, &EngineBridge::stateChanged, this,
            [this](const Uuid& id, const tunnelkit::TunnelState&, const tunnelkit::TunnelState&) {
                publishTunnel(id);
            });
    connect(&engine, &EngineBridge::problemChanged, this, &TunnelsService::publishTunnel);

    isRegistered_ = bus_.isConnected() && bus_.registerObject(QString::fromLatin1(scripting::tunnelsPath),
                                                              this, QDBusConnection::ExportAdaptors);
    publishTunnels();
}

TunnelsService::~TunnelsService() {
    if (!isRegistered_) {
        return;
    }
    // From the end of the bus's sorted list, so that none moves the others.
    for (auto entry = objects_.rbegin(); entry != objects_.rend(); ++entry) {
        bus_.unregisterObject(entry->second->path());
    }
    bus_.unregisterObject(QString::fromLatin1(scripting::tunnelsPath));
}

// MARK: Commands

void TunnelsService::Connect(const QStringList& tunnels, const QString& tag) {
    if (refusedWithoutTunnels() || refusedBeforeTerms(true)) {
        return;
    }
    const auto resolved = resolveTunnels(model_.controller(), tunnels, tag);
    if (!resolved) {
        fail(resolved.error());
        return;
    }
    connectCommand(*resolved);
}

void TunnelsService::ConnectAll() {
    if (!refusedWithoutTunnels() && !refusedBeforeTerms(true)) {
        connectCommand(liveTunnelsInListOrder(model_.controller()));
    }
}

void TunnelsService::Disconnect(const QStringList& tunnels, const QString& tag) {
    if (refusedWithoutTunnels()) {
        return;
    }
    const auto resolved = resolveTunnels(model_.controller(), tunnels, tag);
    if (!resolved) {
        fail(resolved.error());
        return;
    }
    disconnectCommand(*resolved);
}

void TunnelsService::DisconnectAll() {
    if (!refusedWithoutTunnels()) {
        disconnectCommand(liveTunnelsInListOrder(model_.controller()));
    }
}

// Without the tunnels file there are no tunnels to act on, and saying there are none would be wrong.
bool TunnelsService::refusedWithoutTunnels() {
    const auto& error = model_.controller().loadError();
    if (!error) {
        return false;
    }
    fail({ScriptError::Kind::failed, texts::tunnelsUnreadable(texts::message(*error))});
    return true;
}

bool TunnelsService::refusedBeforeTerms(bool logged) {
    if (model_.controller().passesTermsGate()) {
        return false;
    }
    if (logged) {
        AppLog::app().write(QStringLiteral("Scripting connect refused: the terms of use aren't accepted"));
    }
    fail({ScriptError::Kind::failed, texts::termsNotAccepted()});
    return true;
}

void TunnelsService::connectCommand(const std::vector<Tunnel>& tunnels) {
    AppLog::app().write(QStringLiteral("Scripting connect: %1 tunnels").arg(tunnels.size()));
    const auto ids = idsOf(tunnels);
    model_.controller().connect(ids);
    setDelayedReply(true);
    const QDBusMessage call = message();
    if (!waits_.holds(ids)) {
        finishConnectCommand(call, tunnels);
        return;
    }
    waits_.wait(ids, [this, call, tunnels](ConnectionWaits::Ticket) { finishConnectCommand(call, tunnels); });
}

void TunnelsService::finishConnectCommand(const QDBusMessage& call, const std::vector<Tunnel>& tunnels) {
    QStringList failures;
    for (const Tunnel& tunnel : tunnels) {
        const auto connection = model_.engine().connection(tunnel.id);
        if (auto failure = texts::connectOutcome(texts::displayName(tunnel), connection->state(),
                                                 connection->problem())) {
            failures.append(scripting::busText(*failure));
        }
    }
    if (failures.isEmpty()) {
        bus_.send(call.createReply());
        return;
    }
    AppLog::app().write(QStringLiteral("Scripting connect: %1 tunnels didn't connect").arg(failures.size()));
    fail(call, {ScriptError::Kind::failed, failures.join(QLatin1Char('\n'))});
}

void TunnelsService::disconnectCommand(const std::vector<Tunnel>& tunnels) {
    AppLog::app().write(QStringLiteral("Scripting disconnect: %1 tunnels").arg(tunnels.size()));
    model_.controller().disconnect(idsOf(tunnels));
}

// MARK: Actions that report each tunnel's status

QStringList TunnelsService::ConnectTunnels(const QStringList& tunnels) {
    if (refusedWithoutTunnels() || refusedBeforeTerms(false)) {
        return {};
    }
    const auto entities = resolveEntities(model_.controller(), tunnels);
    if (!entities) {
        fail(entities.error());
        return {};
    }
    const auto ids = idsOf(*entities);
    model_.controller().connect(ids);
    if (!waits_.holds(ids)) {
        return statusLines(*entities);
    }
    setDelayedReply(true);
    const QDBusMessage call = message();
    const QString caller = call.service();
    const auto ticket =
        waits_.wait(ids, [this, call, caller, entities = *entities](ConnectionWaits::Ticket ticket) {
            forgetCaller(caller, ticket);
            bus_.send(call.createReply(QVariant(statusLines(entities))));
        });
    waitsByCaller_.emplace(caller, ticket);
    callers_.addWatchedService(caller);
    return {};
}

void TunnelsService::DisconnectTunnels(const QStringList& tunnels) {
    if (refusedWithoutTunnels()) {
        return;
    }
    const auto entities = resolveEntities(model_.controller(), tunnels);
    if (!entities) {
        fail(entities.error());
        return;
    }
    model_.controller().disconnect(idsOf(*entities));
}

QStringList TunnelsService::GetTunnelStatus(const QStringList& tunnels) {
    if (refusedWithoutTunnels()) {
        return {};
    }
    const auto entities = resolveEntities(model_.controller(), tunnels);
    if (!entities) {
        fail(entities.error());
        return {};
    }
    return statusLines(*entities);
}

QList<QDBusObjectPath> TunnelsService::FindTunnels(const QString& text) {
    if (refusedWithoutTunnels()) {
        return {};
    }
    QList<QDBusObjectPath> found;
    for (const Tunnel& tunnel : tunnelsMatching(model_.controller(), text)) {
        found.append(QDBusObjectPath(scripting::tunnelPath(tunnel.id)));
    }
    return found;
}

QStringList TunnelsService::statusLines(const std::vector<Tunnel>& tunnels) {
    return burrowlight::statusLines(model_.controller(), tunnels);
}

void TunnelsService::fail(const ScriptError& error) {
    setDelayedReply(true);
    fail(message(), error);
}

void TunnelsService::fail(const QDBusMessage& call, const ScriptError& error) {
    // gdbus and busctl print the message as it comes, so a name could reorder or rewrite the terminal.
    bus_.send(call.createErrorReply(error.name(), escapedControlsInLines(scripting::busText(error.message))));
}

// Nobody is left to be told: the tunnels go on as they are.
void TunnelsService::callerLeft(const QString& caller) {
    const auto [first, last] = waitsByCaller_.equal_range(caller);
    for (auto entry = first; entry != last; ++entry) {
        waits_.cancel(entry->second);
    }
    waitsByCaller_.erase(first, last);
    callers_.removeWatchedService(caller);
}

void TunnelsService::forgetCaller(const QString& caller, ConnectionWaits::Ticket ticket) {
    const auto [first, last] = waitsByCaller_.equal_range(caller);
    const auto entry =
        std::find_if(first, last, [ticket](const auto& pair) { return pair.second == ticket; });
    if (entry != last) {
        waitsByCaller_.erase(entry);
    }
    if (!waitsByCaller_.contains(caller)) {
        callers_.removeWatchedService(caller);
    }
}

// MARK: Objects

void TunnelsService::publishTunnels() {
    const auto snapshots = scriptTunnels(model_.controller());
    std::unordered_set<Uuid> present;
    QList<QDBusObjectPath> paths;
    paths.reserve(static_cast<qsizetype>(snapshots.size()));
    std::vector<TunnelObject*> added;
    for (const ScriptTunnel& tunnel : snapshots) {
        present.insert(tunnel.id);
        paths.append(QDBusObjectPath(scripting::tunnelPath(tunnel.id)));
        auto [entry, isNew] = objects_.try_emplace(tunnel.id);
        if (!isNew) {
            announce(entry->second->path(), scripting::tunnelInterface, entry->second->update(tunnel));
            continue;
        }
        entry->second = std::make_unique<TunnelObject>(tunnel);
        added.push_back(entry->second.get());
    }
    std::erase_if(objects_, [&](const auto& entry) {
        const bool gone = !present.contains(entry.first);
        if (gone && isRegistered_) {
            bus_.unregisterObject(entry.second->path());
        }
        return gone;
    });
    if (isRegistered_) {
        // The bus keeps its objects in a list sorted by path: taken in that order, each new one
        // joins at its end rather than moving all that follow it.
        std::ranges::sort(added, {}, &TunnelObject::id);
        for (TunnelObject* object : added) {
            bus_.registerObject(object->path(), object, QDBusConnection::ExportScriptableProperties);
        }
    }
    if (paths != paths_) {
        paths_ = paths;
        announce(QString::fromLatin1(scripting::tunnelsPath), scripting::tunnelsInterface,
                 {{QStringLiteral("Tunnels"), QVariant::fromValue(paths_)}});
    }
}

void TunnelsService::publishTunnel(const Uuid& id) {
    const auto found = objects_.find(id);
    const auto tunnel = model_.controller().tunnel(id);
    if (found == objects_.end() || !tunnel) {
        return;
    }
    announce(found->second->path(), scripting::tunnelInterface,
             found->second->update(scriptTunnel(model_.controller(), *tunnel)));
}

void TunnelsService::announce(const QString& path, const char* interface, const QVariantMap& changed) {
    if (!isRegistered_ || changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interface) << changed << QStringList();
    bus_.send(signal);
}

} // namespace burrowlight
