#include "Burrowlight/Models/TunnelListing.h"

#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "TunnelKit/Text.h"

#include <algorithm>

namespace burrowlight::listing {

using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

QString trimmedSearch(const QString& typed) {
    return QString::fromStdString(tunnelkit::text::trim(typed.toStdString(), tunnelkit::text::isBlank));
}

QStringList searchTexts(const Tunnel& tunnel) {
    QStringList texts;
    texts.reserve(5 + static_cast<qsizetype>(tunnel.tags.size() + tunnel.forwards.size()));
    for (const std::string* field :
         {&tunnel.name, &tunnel.host, &tunnel.user, &tunnel.note, &tunnel.jumpHosts}) {
        texts << QString::fromStdString(*field);
    }
    for (const auto& tag : tunnel.tags) {
        texts << QString::fromStdString(tag);
    }
    for (const auto& forward : tunnel.forwards) {
        texts << texts::summary(forward);
    }
    return texts;
}

bool matchesSearch(const QStringList& texts, const QString& trimmed) {
    return std::ranges::any_of(
        texts, [&](const QString& text) { return text.contains(trimmed, Qt::CaseInsensitive); });
}

bool belongsTo(const Tunnel& tunnel, const SidebarItem& group, const TunnelState& state) {
    if (group.isTrash()) {
        return tunnel.isTrashed();
    }
    if (tunnel.isTrashed()) {
        return false;
    }
    switch (group.kind) {
    case SidebarItem::Kind::all:
        return true;
    case SidebarItem::Kind::pinned:
        return tunnel.isPinned;
    case SidebarItem::Kind::connected:
        return state.isActive();
    case SidebarItem::Kind::untagged:
        return tunnel.tags.empty();
    case SidebarItem::Kind::tag:
        return std::ranges::find(tunnel.tags, group.tag) != tunnel.tags.end();
    case SidebarItem::Kind::trash:
        break;
    }
    return false;
}

std::vector<const Tunnel*> listedTunnels(const std::vector<Tunnel>& tunnels, const SidebarItem& group,
                                         const QString& search, const StateOf& stateOf,
                                         const TextsOf& textsOf) {
    const QString trimmed = trimmedSearch(search);
    const bool needsState = group.kind == SidebarItem::Kind::connected;
    std::vector<const Tunnel*> listed;
    for (const auto& tunnel : tunnels) {
        const TunnelState state = needsState ? stateOf(tunnel.id) : TunnelState::disconnected();
        if (belongsTo(tunnel, group, state) &&
            (trimmed.isEmpty() || matchesSearch(textsOf(tunnel), trimmed))) {
            listed.push_back(&tunnel);
        }
    }
    tunnelkit::sortForList(listed);
    return listed;
}

int SidebarCounts::count(const SidebarItem& item) const {
    switch (item.kind) {
    case SidebarItem::Kind::all:
        return all;
    case SidebarItem::Kind::pinned:
        return pinned;
    case SidebarItem::Kind::connected:
        return connected;
    case SidebarItem::Kind::untagged:
        return untagged;
    case SidebarItem::Kind::trash:
        return trash;
    case SidebarItem::Kind::tag: {
        const auto found = std::ranges::find(tags, item.tag, &std::pair<std::string, int>::first);
        return found == tags.end() ? 0 : found->second;
    }
    }
    return 0;
}

SidebarCounts sidebarCounts(const std::vector<Tunnel>& tunnels, const StateOf& stateOf) {
    SidebarCounts counts;
    for (const auto& tunnel : tunnels) {
        if (tunnel.isTrashed()) {
            ++counts.trash;
            continue;
        }
        ++counts.all;
        counts.pinned += tunnel.isPinned ? 1 : 0;
        counts.connected += stateOf(tunnel.id).isActive() ? 1 : 0;
        counts.untagged += tunnel.tags.empty() ? 1 : 0;
        for (auto tag = tunnel.tags.begin(); tag != tunnel.tags.end(); ++tag) {
            if (std::find(tunnel.tags.begin(), tag, *tag) != tag) {
                continue;
            }
            auto found = std::ranges::find(counts.tags, *tag, &std::pair<std::string, int>::first);
            if (found == counts.tags.end()) {
                counts.tags.emplace_back(*tag, 1);
            } else {
                ++found->second;
            }
        }
    }
    std::ranges::stable_sort(counts.tags, [](const auto& a, const auto& b) {
        return tunnelkit::text::localizedStandardCompare(a.first, b.first) < 0;
    });
    return counts;
}

std::vector<std::string> tagPieces(const QString& typed) {
    std::vector<std::string> pieces;
    for (const auto& piece : tunnelkit::text::split(typed.toStdString(), ',')) {
        auto trimmed = tunnelkit::text::trimBlanksAndLineBreaks(piece);
        if (!trimmed.empty()) {
            pieces.push_back(std::move(trimmed));
        }
    }
    return pieces;
}

} // namespace burrowlight::listing
