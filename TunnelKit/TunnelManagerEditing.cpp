#include "TunnelKit/Text.h"
#include "TunnelKit/TunnelManager.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace tunnelkit {

bool TunnelManager::persist() {
    if (loadError_) {
        return false; // the unreadable file stays as it is: this run's changes can't be merged into it
    }
    if (const auto saved = store_.save(tunnels_); !saved) {
        setStorageError(saved.error());
        return false;
    }
    setStorageError(std::nullopt);
    deletePendingSecrets();
    return true;
}

// Only once the file no longer lists the tunnels: until then they would come back at the next start,
// and their secrets with them.
void TunnelManager::deletePendingSecrets() {
    if (secrets_) {
        for (const auto& id : secretsToDelete_) {
            secrets_->deleteAll(id);
        }
    }
    secretsToDelete_.clear();
}

void TunnelManager::handToConnection(const Tunnel& tunnel) {
    if (const auto found = connections_.find(tunnel.id); found != connections_.end()) {
        found->second->update(tunnel);
    }
}

// Only the one record is compared and copied, never the whole list.
void TunnelManager::save(const Tunnel& tunnel) {
    const auto record = tunnel.normalized();
    const auto found = std::ranges::find(tunnels_, record.id, &Tunnel::id);
    if (found == tunnels_.end()) {
        tunnels_.push_back(record);
        tunnelsChanged();
    } else if (*found != record) {
        *found = record;
        tunnelsChanged();
    }
    handToConnection(record);
    persist();
}

namespace {

// The live tunnels' names, trimmed first as the stored record's name will be, so "web " never lands
// beside "web". Kept up as a list grows, so that naming many copies is one look-up each.
class TakenNames {
  public:
    explicit TakenNames(const std::vector<Tunnel>& tunnels) {
        for (const auto& tunnel : tunnels) {
            if (!tunnel.isTrashed()) {
                take(tunnel.name);
            }
        }
    }

    // The name, or the name with " 2", " 3", ... when a live tunnel has it already.
    std::string unique(const std::string& name) {
        const auto wanted = text::trimBlanksAndLineBreaks(name);
        if (!taken_.contains(wanted)) {
            return wanted;
        }
        // Every number below it was found taken, and a taken name stays taken.
        int& number = firstUntried_.try_emplace(wanted, 2).first->second;
        for (;; ++number) {
            auto candidate = wanted + " " + std::to_string(number);
            if (!taken_.contains(candidate)) {
                return candidate;
            }
        }
    }

    void take(const std::string& name) { taken_.insert(text::trimBlanksAndLineBreaks(name)); }

  private:
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, int> firstUntried_;
};

void giveForwardsNewIds(Tunnel& tunnel) {
    for (auto& forward : tunnel.forwards) {
        forward.id = Uuid::random();
    }
}

} // namespace

std::string TunnelManager::uniqueName(const std::string& name) const {
    return TakenNames(tunnels_).unique(name);
}

std::optional<Tunnel> TunnelManager::duplicate(Uuid id,
                                               const std::function<std::string(const std::string&)>& naming) {
    auto copy = tunnel(id);
    if (!copy) {
        return std::nullopt;
    }
    copy->id = Uuid::random();
    copy->name = uniqueName(naming(copy->name));
    copy->createdAt = currentDate();
    copy->connectsAtLaunch = false;
    giveForwardsNewIds(*copy);
    save(*copy);
    return copy;
}

// Changes the list in place, comparing only the selected tunnels. The changes therefore capture
// copies of their texts: a tag passed by reference into a stored tunnel would change under them.
void TunnelManager::modify(const std::function<bool(const Tunnel&)>& selects,
                           const std::function<void(Tunnel&)>& change) {
    bool changed = false;
    std::vector<Tunnel> handedOver;
    for (auto& tunnel : tunnels_) {
        if (!selects(tunnel)) {
            continue;
        }
        auto updated = tunnel;
        change(updated);
        updated = updated.normalized();
        if (updated != tunnel) {
            tunnel = std::move(updated);
            changed = true;
        }
        if (connections_.contains(tunnel.id)) {
            handedOver.push_back(tunnel);
        }
    }
    if (changed) {
        tunnelsChanged();
    }
    for (const auto& tunnel : handedOver) {
        handToConnection(tunnel);
    }
    persist();
}

void TunnelManager::modify(const Ids& ids, const std::function<void(Tunnel&)>& change) {
    const std::unordered_set<Uuid> selected(ids.begin(), ids.end());
    modify([&](const Tunnel& tunnel) { return selected.contains(tunnel.id); }, change);
}

void TunnelManager::setPinned(bool pinned, const Ids& ids) {
    modify(ids, [pinned](Tunnel& tunnel) { tunnel.isPinned = pinned; });
}

void TunnelManager::addTag(const std::string& tag, const Ids& ids) {
    modify(ids, [tag](Tunnel& tunnel) { tunnel.tags.push_back(tag); });
}

void TunnelManager::removeTag(const std::string& tag, const Ids& ids) {
    modify(ids, [tag](Tunnel& tunnel) { std::erase(tunnel.tags, tag); });
}

void TunnelManager::renameTag(const std::string& tag, const std::string& newTag) {
    modify([tag](const Tunnel& tunnel) { return std::ranges::find(tunnel.tags, tag) != tunnel.tags.end(); },
           [tag, newTag](Tunnel& tunnel) { std::ranges::replace(tunnel.tags, tag, newTag); });
}

void TunnelManager::deleteTag(const std::string& tag) {
    modify([](const Tunnel&) { return true; }, [tag](Tunnel& tunnel) { std::erase(tunnel.tags, tag); });
}

std::vector<std::string> TunnelManager::allTags() const {
    std::vector<std::string> tags;
    std::unordered_set<std::string_view> seen;
    for (const auto& tunnel : tunnels_) {
        if (tunnel.isTrashed()) {
            continue;
        }
        for (const auto& tag : tunnel.tags) {
            if (seen.insert(tag).second) {
                tags.push_back(tag);
            }
        }
    }
    std::ranges::stable_sort(tags, [](const std::string& a, const std::string& b) {
        return text::localizedStandardCompare(a, b) < 0;
    });
    return tags;
}

void TunnelManager::moveToTrash(const Ids& ids) {
    disconnect(ids);
    const auto now = currentDate();
    modify(ids, [now](Tunnel& tunnel) { tunnel.deletedAt = now; });
}

void TunnelManager::restore(const Ids& ids) {
    modify(ids, [](Tunnel& tunnel) { tunnel.deletedAt.reset(); });
}

void TunnelManager::deletePermanently(const Ids& ids) {
    const std::unordered_set<Uuid> selected(ids.begin(), ids.end());
    const Ids unique(selected.begin(), selected.end());
    disconnect(unique);
    for (const auto& id : unique) {
        connections_.erase(id);
        connectionStates_.erase(id);
        secretsToDelete_.insert(id);
    }
    if (std::erase_if(tunnels_, [&](const Tunnel& tunnel) { return selected.contains(tunnel.id); }) > 0) {
        tunnelsChanged();
    }
    persist();
}

void TunnelManager::purgeTrash(Date now) {
    Ids expired;
    for (const auto& tunnel : tunnels_) {
        if (tunnel.deletedAt && now - *tunnel.deletedAt > trashRetention) {
            expired.push_back(tunnel.id);
        }
    }
    if (!expired.empty()) {
        deletePermanently(expired);
    }
}

std::string TunnelManager::exportTunnels(const Ids& ids) const {
    const std::unordered_set<Uuid> selected(ids.begin(), ids.end());
    std::vector<Tunnel> chosen;
    std::ranges::copy_if(tunnels_, std::back_inserter(chosen),
                         [&](const Tunnel& tunnel) { return selected.contains(tunnel.id); });
    return TunnelArchive::make(chosen, currentDate()).encoded();
}

std::vector<Tunnel> TunnelManager::importTunnels(const std::vector<Tunnel>& records) {
    if (&records == &tunnels_) {
        return importTunnels(std::vector<Tunnel>(records)); // appended to while read
    }
    std::vector<Tunnel> imported;
    imported.reserve(records.size());
    tunnels_.reserve(tunnels_.size() + records.size());
    TakenNames names(tunnels_);
    for (const auto& record : records) {
        auto copy = record;
        copy.id = Uuid::random();
        copy.deletedAt.reset();
        copy.connectsAtLaunch = false;
        copy.logFile.reset();
        const auto name = text::trimBlanksAndLineBreaks(record.name);
        copy.name = names.unique(name.empty() ? record.host : name);
        giveForwardsNewIds(copy);
        tunnels_.push_back(copy.normalized());
        names.take(tunnels_.back().name);
        imported.push_back(std::move(copy));
    }
    if (!records.empty()) {
        tunnelsChanged();
    }
    persist();
    return imported;
}

} // namespace tunnelkit
