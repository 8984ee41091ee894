#include "Burrowlight/Automation/ScriptTunnels.h"

#include "Burrowlight/Core/Cases.h"
#include "Burrowlight/Core/Texts/ScriptTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/TunnelListing.h"

#include <QHash>
#include <algorithm>
#include <unordered_map>

namespace burrowlight {

using tunnelkit::Tunnel;
using tunnelkit::Uuid;

namespace {

constexpr uint32_t fourCharacterCode(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
           uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

std::optional<tunnelkit::TunnelProblem> problemOf(TunnelController& controller, const Uuid& id) {
    return controller.hasConnection(id) ? controller.connection(id)->problem() : std::nullopt;
}

QString lastError(TunnelController& controller, const Uuid& id, const tunnelkit::TunnelState& state) {
    using S = tunnelkit::TunnelState;
    if (!(state.is<S::Failed>() || state.is<S::Retrying>())) {
        return {};
    }
    const auto problem = problemOf(controller, id);
    return problem ? texts::message(*problem) : QString();
}

std::vector<Tunnel> inListOrder(std::vector<Tunnel> tunnels) {
    std::ranges::stable_sort(tunnels, tunnelkit::compareTunnelsForList);
    return tunnels;
}

std::optional<Uuid> idFrom(const QString& reference) {
    const QString prefix = QString::fromLatin1(scripting::tunnelsPath) + QLatin1Char('/');
    const bool isPath = reference.startsWith(prefix);
    const QStringView id = isPath ? QStringView(reference).mid(prefix.size()) : QStringView(reference);
    if (id.size() != 36) {
        return std::nullopt;
    }
    QString text = id.toString();
    if (isPath) {
        text.replace(QLatin1Char('_'), QLatin1Char('-'));
    }
    return Uuid::parse(text.toStdString());
}

// The live tunnels found by what scripts call them: the tunnel of an object path or an id, else
// every tunnel of that name; each tunnel with a tag. Made once for all the references of a call;
// each answer is a list of positions in the stored order.
class References {
  public:
    explicit References(const TunnelController& controller) : tunnels_(controller.tunnels()) {
        for (size_t index = 0; index < tunnels_.size(); ++index) {
            if (!tunnels_[index].isTrashed()) {
                byId_.emplace(tunnels_[index].id, index);
            }
        }
    }

    std::vector<size_t> named(const QString& reference) const {
        if (const auto id = idFrom(reference)) {
            const auto found = byId_.find(*id);
            return found == byId_.end() ? std::vector<size_t>() : std::vector<size_t>{found->second};
        }
        if (!byName_) {
            byName_.emplace();
            for (size_t index = 0; index < tunnels_.size(); ++index) {
                if (!tunnels_[index].isTrashed()) {
                    (*byName_)[scripting::busText(texts::displayName(tunnels_[index]))].push_back(index);
                }
            }
        }
        return byName_->value(reference);
    }

    std::vector<size_t> tagged(const QString& tag) const {
        std::vector<size_t> found;
        for (size_t index = 0; index < tunnels_.size(); ++index) {
            const Tunnel& tunnel = tunnels_[index];
            if (!tunnel.isTrashed() && std::ranges::any_of(tunnel.tags, [&](const std::string& own) {
                    return scripting::busText(QString::fromStdString(own)) == tag;
                })) {
                found.push_back(index);
            }
        }
        return found;
    }

    // Tunnels that compare equal keep their stored order, as in the whole list.
    std::vector<Tunnel> inListOrder(const std::vector<size_t>& positions) const {
        std::vector<Tunnel> found;
        found.reserve(positions.size());
        std::ranges::transform(positions, std::back_inserter(found),
                               [&](size_t index) { return tunnels_[index]; });
        std::ranges::stable_sort(found, tunnelkit::compareTunnelsForList);
        return found;
    }

  private:
    const std::vector<Tunnel>& tunnels_;
    std::unordered_map<Uuid, size_t> byId_;
    mutable std::optional<QHash<QString, std::vector<size_t>>> byName_;
};

} // namespace

QString scripting::tunnelPath(const Uuid& id) {
    return QString::fromLatin1(tunnelsPath) + QLatin1Char('/') +
           QString::fromStdString(id.toString()).replace(QLatin1Char('-'), QLatin1Char('_'));
}

QString scripting::busText(QString text) {
    text.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    return text;
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
        tags.append(scripting::busText(QString::fromStdString(tag)));
    }
    return {
        .id = tunnel.id,
        .uniqueID = QString::fromStdString(tunnel.id.toString()),
        .name = scripting::busText(texts::displayName(tunnel)),
        .destination = scripting::busText(QString::fromStdString(tunnel.destination())),
        .tags = tags,
        .state = scriptStateCode(state),
        .lastError = scripting::busText(lastError(controller, tunnel.id, state)),
    };
}

QStringList statusLines(TunnelController& controller, const std::vector<Tunnel>& tunnels) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(tunnels.size()));
    for (const Tunnel& tunnel : tunnels) {
        lines.append(scripting::busText(texts::statusLine(
            texts::displayName(tunnel), controller.state(tunnel.id), problemOf(controller, tunnel.id))));
    }
    return lines;
}

std::vector<Tunnel> liveTunnelsInListOrder(const TunnelController& controller) {
    return inListOrder(controller.liveTunnels());
}

std::vector<ScriptTunnel> scriptTunnels(TunnelController& controller) {
    // Sorted in place rather than copied: there may be thousands.
    std::vector<const Tunnel*> live;
    for (const Tunnel& tunnel : controller.tunnels()) {
        if (!tunnel.isTrashed()) {
            live.push_back(&tunnel);
        }
    }
    std::ranges::stable_sort(live, tunnelkit::compareTunnelsForList,
                             [](const Tunnel* tunnel) -> const Tunnel& { return *tunnel; });
    std::vector<ScriptTunnel> result;
    result.reserve(live.size());
    for (const Tunnel* tunnel : live) {
        result.push_back(scriptTunnel(controller, *tunnel));
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
    const References known(controller);
    std::vector<bool> chosen(controller.tunnels().size());
    const auto choose = [&](const std::vector<size_t>& found) {
        std::ranges::for_each(found, [&](size_t index) { chosen[index] = true; });
    };
    for (const QString& reference : references) {
        const auto found = known.named(reference);
        if (found.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noSuchTunnel(reference)});
        }
        choose(found);
    }
    if (!tag.isEmpty()) {
        const auto tagged = known.tagged(tag);
        if (tagged.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noTunnelTagged(tag)});
        }
        choose(tagged);
    }
    if (references.isEmpty() && tag.isEmpty()) {
        return tunnelkit::Failure(ScriptError{ScriptError::Kind::parameterMissing, texts::sayWhichTunnels()});
    }
    std::vector<size_t> positions;
    for (size_t index = 0; index < chosen.size(); ++index) {
        if (chosen[index]) {
            positions.push_back(index);
        }
    }
    return known.inListOrder(positions);
}

ScriptResult<std::vector<Tunnel>> resolveEntities(const TunnelController& controller,
                                                  const QStringList& references) {
    const References known(controller);
    std::vector<Tunnel> resolved;
    resolved.reserve(static_cast<size_t>(references.size()));
    for (const QString& reference : references) {
        const auto found = known.named(reference);
        if (found.empty()) {
            return tunnelkit::Failure(
                ScriptError{ScriptError::Kind::noSuchTunnel, texts::noSuchTunnel(reference)});
        }
        std::ranges::move(known.inListOrder(found), std::back_inserter(resolved));
    }
    return resolved;
}

std::vector<Tunnel> tunnelsMatching(const TunnelController& controller, const QString& text) {
    std::vector<Tunnel> found;
    if (text.isEmpty()) {
        return found;
    }
    for (const Tunnel& tunnel : controller.tunnels()) {
        if (tunnel.isTrashed()) {
            continue;
        }
        QStringList texts = listing::searchTexts(tunnel);
        std::ranges::for_each(texts, [](QString& own) { own = scripting::busText(std::move(own)); });
        if (listing::matchesSearch(texts, text)) {
            found.push_back(tunnel);
        }
    }
    return found;
}

TunnelController::Ids idsOf(const std::vector<Tunnel>& tunnels) {
    TunnelController::Ids ids;
    std::ranges::transform(tunnels, std::back_inserter(ids), &Tunnel::id);
    return ids;
}

} // namespace burrowlight
