#include "Burrowlight/Models/SidebarModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Models/TunnelListing.h"

namespace burrowlight {

using tunnelkit::TunnelState;

std::string SidebarRow::key() const {
    if (kind == Kind::header) {
        return "header";
    }
    switch (item.kind) {
    case SidebarItem::Kind::all:
        return "all";
    case SidebarItem::Kind::pinned:
        return "pinned";
    case SidebarItem::Kind::connected:
        return "connected";
    case SidebarItem::Kind::untagged:
        return "untagged";
    case SidebarItem::Kind::trash:
        return "trash";
    case SidebarItem::Kind::tag:
        return "tag:" + item.tag;
    }
    return {};
}

SidebarModel::SidebarModel(AppModel& app, const WindowSources& sources, QObject* parent)
    : KeyedListModel(parent), app_(app), states_(sources.states), connectedCount_(sources.connectedCount) {
    connect(&app_.engine(), &EngineBridge::tunnelsChanged, this, &SidebarModel::refresh);
    connect(&app_.engine(), &EngineBridge::stateChanged, this,
            [this](const tunnelkit::Uuid&, const TunnelState& old, const TunnelState& now) {
                if (old.isActive() != now.isActive()) {
                    recountConnected();
                }
            });
    refresh();
}

void SidebarModel::refresh() {
    auto counts = listing::sidebarCounts(app_.controller().tunnels(), states_);
    if (connectedCount_) {
        counts.connected = connectedCount_();
    }
    const auto item = [&counts](const SidebarItem& item) {
        return SidebarRow{SidebarRow::Kind::item, item, counts.count(item)};
    };
    std::vector<SidebarRow> rows{item(SidebarItem::all()), item(SidebarItem::pinned()),
                                 item(SidebarItem::connected())};
    if (!counts.tags.empty()) {
        rows.push_back({SidebarRow::Kind::header, {}, 0});
        for (const auto& [tag, count] : counts.tags) {
            rows.push_back({SidebarRow::Kind::item, SidebarItem::tagged(tag), count});
        }
        rows.push_back(item(SidebarItem::untagged()));
    }
    rows.push_back(item(SidebarItem::trash()));
    applyRows(std::move(rows));
}

// Only the Connected row's count depends on the states.
void SidebarModel::recountConnected() {
    const auto row = rowOf(SidebarRow{SidebarRow::Kind::item, SidebarItem::connected(), 0}.key());
    const int count = connectedCount_
                          ? connectedCount_()
                          : listing::sidebarCounts(app_.controller().tunnels(), states_).connected;
    if (row && rows()[static_cast<size_t>(*row)].count != count) {
        SidebarRow changed = rows()[static_cast<size_t>(*row)];
        changed.count = count;
        replaceRow(*row, std::move(changed), {CountRole, Qt::AccessibleDescriptionRole});
    }
}

std::optional<SidebarItem> SidebarModel::itemAt(const QModelIndex& index) const {
    const SidebarRow* row = rowAt(index);
    if (!row || row->kind == SidebarRow::Kind::header) {
        return std::nullopt;
    }
    return row->item;
}

QModelIndex SidebarModel::indexOf(const SidebarItem& item) const {
    const auto row = rowOf(SidebarRow{SidebarRow::Kind::item, item, 0}.key());
    return row ? index(*row) : QModelIndex();
}

QVariant SidebarModel::data(const QModelIndex& index, int role) const {
    const SidebarRow* row = rowAt(index);
    if (!row) {
        return {};
    }
    const bool header = row->kind == SidebarRow::Kind::header;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return header ? SidebarTexts::tagsHeader() : SidebarTexts::title(row->item);
    case Qt::AccessibleDescriptionRole:
        return header ? QVariant() : QVariant(QString::number(row->count));
    case CountRole:
        return header ? QVariant() : QVariant(row->count);
    case SymbolRole:
        return header ? QString() : SidebarTexts::symbol(row->item);
    case HeaderRole:
        return header;
    default:
        return {};
    }
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const {
    const SidebarRow* row = rowAt(index);
    if (!row) {
        return Qt::NoItemFlags;
    }
    return row->kind == SidebarRow::Kind::header ? Qt::ItemIsEnabled
                                                 : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace burrowlight
