#include "Burrowlight/Automation/ScriptTunnels.h"

#include "Burrowlight/Core/Cases.h"
#include "Burrowlight/Core/Texts/ScriptTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <algorithm>
#include <unordered_set>

namespace burrowlight {

using tunnelkit::Tunnel;
using tunnelkit::Uuid;

namespace {

constexpr uint32_t fourCharacterCode(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

QString lastError(TunnelController& controller, const Uuid& id, const tunnelkit::TunnelState& state) {
    using S = tunnelkit::TunnelState;
    if (!(state.is<S::Failed>() || state.is<S::Retrying>()) || !controller.hasConnection(id)) {
        return {};
    }
    const auto& problem = controller.connection(id)->problem();
    return problem ? texts::message(*problem) : QString();
}

std::vector<Tunnel> inListOrder(std::vector<Tunnel> tunnels) {
    std::ranges::stable_sort(tunnels, tunnelkit::compareTunnelsForList);
    return tunnels;
}

std::optional<Uuid> idFromPath(const QString& reference) {
    const QString prefix = QString::fromLatin1(scripting::tunnelsPath) + QLatin1Char('/');
    if (!reference.startsWith(prefix)) {
        return std::nullopt;
    }
    return Uuid::parse(
        reference.mid(prefix.size()).replace(QLatin1Char('_'), QLatin1Char('-')).toStdString());
}

// The live tunnels one reference names, in list order: the tunnel of an object path or an id, else
// every tunnel with that name.
std::vector<Tunnel> named(const std::vector<Tunnel>& live, const QString& reference) {
    auto id = idFromPath(reference);
    if (!id) {
        id = Uuid::parse(reference.toStdString());
    }
    std::vector<Tunnel> found;
    for (const Tunnel& tunnel : live) {
        if (id ? tunnel.id == *id : texts::displayName(tunnel) == reference) {
            found.push_back(tunnel);
        }
    }
    return found;
}

} // namespace

QString scripting::tunnelPath(const Uuid& id) {
    return QString::fromLatin1(tunnelsPath) + QLatin1Char('/') +
           QString::fromStdString(id.toString()).replace(QLatin1Char('-'), QLatin1Char('_'));
}

uint32_t scriptStateCode(const tunnelkit::TunnelState& state) {
    using S = tunnelkit::TunnelState;
    return std::visit(Cases{
                          [](const S::Disconnected&) { return fourCharacterCode("BWs0"); },
                          [](const S::Connecting&) { return fourCharacterCode("BWs1"); },
                          [](const S::Connected&) { return fourCharacterCode("BWs2"); },
                          [](const S::Retrying&) { return fourCharacterCode("BWs3"); },
                          [](const S::Failed&) { return fourCharacterCode("BWs4"); },
                          [](const S::Disconnecting&) { return fourCharacterCode("BWs5"); },
                      },
                      state.value);
}

ScriptTunnel scriptTunnel(TunnelController& controller, const Tunnel& tunnel) {
    const auto state = controller.state(tunnel.id);
    QStringList tags;
    for (const auto& tag : tunnel.tags) {
        tags.append(QString::fromStdString(tag));
    }
    return {
        .id = tunnel.id,
        .uniqueID = QString::fromStdString(tunnel.id.toString()),
        .name = texts::displayName(tunnel),
        .destination = QString::fromStdString(tunnel.destination()),
        .tags = tags,
        .state = scriptStateCode(state),
        .lastError = lastError(controller, tunnel.id, state),
    };
}

std::vector<Tunnel> liveTunnelsInListOrder(const TunnelController& controller) {
    return inListOrder(controller.liveTunnels());
}

std::vector<ScriptTunnel> scriptTunnels(TunnelController& controller) {
    std::vector<ScriptTunnel> result;
    for (const Tunnel& tunnel : liveTunnelsInListOrder(controller)) {
        result.push_back(scriptTunnel(controller, tunnel));
    }
    return result;
}

QString ScriptError::name() const {
    switch (kind) {
    case Kind::parameterMissing:
        return QStringLiteral("com.tolvan.burrowlight.Error.ParameterMissing");
    case Kind::noSuchTunnel:
        return QStringLiteral("com.tolvan.burrowlight.Error.NoSuchTunnel");
    case Kind::failed:
        return QStringLiteral("com.tolvan.burrowlight.Error.Failed");
    }
    return {};
}

ScriptResult<std::vector<Tunnel>> resolveTunnels(const TunnelController& controller,
                                                 const QStringList& references, const QString& tag) {
    const auto live = controller.liveTunnels();
    std::unordered_set<Uuid> ids;
    for (const QString& reference : references) {
        const auto found = named(live, reference);
        if (found.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noSuchTunnel(reference)});
        }
        std::ranges::for_each(found, [&](const Tunnel& tunnel) { ids.insert(tunnel.id); });
    }
    if (!tag.isEmpty()) {
        const auto tagged = controller.tunnels(tag.toStdString());
        if (tagged.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noTunnelTagged(tag)});
        }
        std::ranges::for_each(tagged, [&](const Tunnel& tunnel) { ids.insert(tunnel.id); });
    }
    if (references.isEmpty() && tag.isEmpty()) {
        return tunnelkit::Failure(ScriptError{ScriptError::Kind::parameterMissing, texts::sayWhichTunnels()});
    }
    std::vector<Tunnel> resolved;
    std::ranges::copy_if(live, std::back_inserter(resolved),
                         [&](const Tunnel& tunnel) { return ids.contains(tunnel.id); });
    return inListOrder(std::move(resolved));
}

ScriptResult<std::vector<Tunnel>> resolveEntities(const TunnelController& controller,
                                                  const QStringList& references) {
    const auto live = inListOrder(controller.liveTunnels());
    std::vector<Tunnel> resolved;
    for (const QString& reference : references) {
        const auto found = named(live, reference);
        if (found.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noSuchTunnel(reference)});
        }
        resolved.insert(resolved.end(), found.begin(), found.end());
    }
    return resolved;
}

TunnelController::Ids idsOf(const std::vector<Tunnel>& tunnels) {
    TunnelController::Ids ids;
    std::ranges::transform(tunnels, std::back_inserter(ids), &Tunnel::id);
    return ids;
}

} // namespace burrowlight
