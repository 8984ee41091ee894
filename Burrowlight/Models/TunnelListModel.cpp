#include "Burrowlight/Models/TunnelListModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Models/TunnelListing.h"
#include "Burrowlight/Models/TunnelRow.h"

namespace burrowlight {

using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;
using Kind = TunnelListRow::Kind;

TunnelListModel::TunnelListModel(AppModel& app, WindowSources sources, QObject* parent)
    : KeyedListModel(parent), app_(app), sources_(std::move(sources)) {
    connect(&app_.engine(), &EngineBridge::tunnelsChanged, this, [this] {
        searchTexts_.clear();
        refresh();
    });
    connect(&app_.engine(), &EngineBridge::stateChanged, this, &TunnelListModel::stateChanged);
    connect(&app_, &AppModel::hasTrayChanged, this, &TunnelListModel::updateEmptyState);
    connect(&app_.drafts(), &TunnelDrafts::newTunnelChanged, this, [this] {
        watchNewTunnel();
        refresh();
    });
    connect(&app_.drafts(), &TunnelDrafts::editedChanged, this, &TunnelListModel::watchEditedDrafts);
    watchNewTunnel();
    watchEditedDrafts();
    refresh();
}

TunnelListModel::~TunnelListModel() {
    disconnect(newTunnelEdits_);
    for (const auto& [id, connection] : draftEdits_) {
        disconnect(connection);
    }
}

void TunnelListModel::setGroup(const SidebarItem& group) {
    if (group != group_) {
        group_ = group;
        refresh();
    }
}

void TunnelListModel::setSearch(const QString& search) {
    if (search != search_) {
        search_ = search;
        refresh();
    }
}

QString TunnelListModel::title() const {
    return shortened(SidebarTexts::title(group_));
}

void TunnelListModel::refresh() {
    auto& controller = app_.controller();
    const auto listed =
        listing::listedTunnels(controller.tunnels(), group_, search_, sources_.states,
                               [this](const Tunnel& tunnel) { return searchTextsOf(tunnel); });
    std::vector<TunnelListRow> rows;
    rows.reserve(listed.size() + 1);
    const auto& newTunnel = app_.drafts().newTunnel();
    // While it is being saved the new tunnel is already the manager's: one row under its id.
    if (newTunnel && !group_.isTrash() && !controller.tunnel(newTunnel->id())) {
        rows.push_back({.kind = Kind::newTunnel, .id = newTunnel->id()});
    }
    if (group_.isTrash() && !listed.empty()) {
        rows.push_back({.kind = Kind::note});
    }
    for (const Tunnel* tunnel : listed) {
        rows.push_back(
            {Kind::saved, tunnel->id, texts::shownName(*tunnel), tunnel->isPinned, tunnel->deletedAt});
    }
    refreshing_ = true;
    applyRows(std::move(rows));
    refreshing_ = false;
    updateEmptyState();
    emit refreshed();
}

void TunnelListModel::updateEmptyState() {
    std::optional<EmptyListState> state;
    if (rows().empty()) {
        state = TunnelListTexts::emptyState(group_, search_, app_.hasTray());
    }
    if (state != emptyState_) {
        emptyState_ = std::move(state);
        emit emptyStateChanged();
    }
}

const QStringList& TunnelListModel::searchTextsOf(const Tunnel& tunnel) const {
    auto found = searchTexts_.find(tunnel.id);
    if (found == searchTexts_.end()) {
        found = searchTexts_.emplace(tunnel.id, listing::searchTexts(tunnel)).first;
    }
    return found->second;
}

void TunnelListModel::stateChanged(const Uuid& id, const TunnelState& old, const TunnelState& now) {
    if (group_.kind == SidebarItem::Kind::connected && old.isActive() != now.isActive()) {
        refresh();
    }
    tunnelChanged(id, {StateRole, StateTextRole, Qt::AccessibleDescriptionRole});
}

void TunnelListModel::tunnelChanged(const Uuid& id, const QList<int>& roles) {
    if (const auto row = rowOf(id)) {
        rowsChanged(*row, *row, roles);
    }
}

void TunnelListModel::watchNewTunnel() {
    disconnect(newTunnelEdits_);
    if (const auto& draft = app_.drafts().newTunnel()) {
        newTunnelEdits_ = connect(draft.get(), &TunnelDraft::changed, this,
                                  [this, id = draft->id()] { tunnelChanged(id, {Qt::DisplayRole}); });
    }
}

// The edited mark follows every keystroke in an open draft.
void TunnelListModel::watchEditedDrafts() {
    auto previous = std::move(draftEdits_);
    draftEdits_.clear();
    for (const auto& [id, connection] : previous) {
        disconnect(connection);
        if (!app_.drafts().edited().contains(id)) {
            tunnelChanged(id, {EditedRole, Qt::AccessibleTextRole});
        }
    }
    for (const auto& [id, draft] : app_.drafts().edited()) {
        draftEdits_[id] = connect(draft.get(), &TunnelDraft::changed, this, [this, id = id] {
            tunnelChanged(id, {EditedRole, Qt::AccessibleTextRole});
        });
        if (!previous.contains(id)) {
            tunnelChanged(id, {EditedRole, Qt::AccessibleTextRole});
        }
    }
}

QString TunnelListModel::titleOf(const TunnelListRow& row) const {
    switch (row.kind) {
    case Kind::newTunnel: {
        const auto& draft = app_.drafts().newTunnel();
        return TunnelRowTexts::newTunnelTitle(draft ? QString::fromStdString(draft->tunnel().name)
                                                    : QString());
    }
    case Kind::note:
        return TunnelListTexts::trashNote();
    case Kind::saved:
        return row.title;
    }
    return {};
}

QString TunnelListModel::subtitleOf(const TunnelListRow& row) const {
    if (row.kind == Kind::newTunnel) {
        return TunnelRowTexts::notSavedYet();
    }
    if (row.kind == Kind::saved && group_.isTrash() && row.deletedAt) {
        return texts::deletedLine(*row.deletedAt, sources_.now());
    }
    return {};
}

// What the row shows beside its state, as one text: the title and its marks.
QString TunnelListModel::accessibleTextOf(const TunnelListRow& row) const {
    QStringList parts{titleOf(row)};
    if (row.kind == Kind::saved && row.isPinned) {
        parts << TunnelRowTexts::pinned();
    }
    if (row.kind == Kind::saved && app_.drafts().isEdited(row.id)) {
        parts << TunnelRowTexts::unsavedChanges();
    }
    return parts.join(QStringLiteral(", "));
}

QString TunnelListModel::accessibleDescriptionOf(const TunnelListRow& row) const {
    QStringList parts;
    if (row.kind == Kind::saved) {
        parts << texts::text(sources_.states(row.id));
    }
    if (const QString subtitle = subtitleOf(row); !subtitle.isEmpty()) {
        parts << subtitle;
    }
    return parts.join(QStringLiteral(", "));
}

std::optional<RowSwitchLook> TunnelListModel::rowSwitch(const QModelIndex& index) const {
    const TunnelListRow* row = rowAt(index);
    if (!row || row->kind != Kind::saved || group_.isTrash()) {
        return std::nullopt;
    }
    return TunnelRowTexts::rowSwitch(sources_.states(row->id));
}

QVariant TunnelListModel::data(const QModelIndex& index, int role) const {
    const TunnelListRow* row = rowAt(index);
    if (!row) {
        return {};
    }
    const bool saved = row->kind == Kind::saved;
    switch (role) {
    case Qt::DisplayRole:
        return titleOf(*row);
    case Qt::AccessibleTextRole:
        return accessibleTextOf(*row);
    case Qt::AccessibleDescriptionRole:
        return accessibleDescriptionOf(*row);
    case StateTextRole:
        return saved ? texts::text(sources_.states(row->id)) : QVariant();
    case KindRole:
        return static_cast<int>(row->kind);
    case IdRole:
        return row->kind == Kind::note ? QVariant() : QVariant::fromValue(row->id);
    case StateRole:
        return saved ? QVariant::fromValue(sources_.states(row->id)) : QVariant();
    case SubtitleRole:
        return subtitleOf(*row);
    case PinnedRole:
        return saved && row->isPinned;
    case EditedRole:
        return saved && app_.drafts().isEdited(row->id);
    case InTrashRole:
        return saved && group_.isTrash();
    default:
        return {};
    }
}

Qt::ItemFlags TunnelListModel::flags(const QModelIndex& index) const {
    const TunnelListRow* row = rowAt(index);
    if (!row) {
        return Qt::NoItemFlags;
    }
    return row->kind == Kind::note ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QHash<int, QByteArray> TunnelListModel::roleNames() const {
    auto names = KeyedListModel::roleNames();
    names.insert({{KindRole, "kind"},
                  {IdRole, "id"},
                  {StateRole, "state"},
                  {StateTextRole, "stateText"},
                  {SubtitleRole, "subtitle"},
                  {PinnedRole, "pinned"},
                  {EditedRole, "edited"},
                  {InTrashRole, "inTrash"}});
    return names;
}

EmptyListState TunnelListTexts::emptyState(const SidebarItem& group, const QString& typedSearch,
                                           bool hasTray) {
    if (!typedSearch.isEmpty()) {
        return {tr("No Results for “%1”").arg(inSentence(typedSearch)), QStringLiteral("magnifyingglass"),
                tr("Check the spelling or try a new search."), false};
    }
    switch (group.kind) {
    case SidebarItem::Kind::pinned:
        return {tr("No Pinned Tunnels"), QStringLiteral("pin"),
                hasTray ? tr("Pinned tunnels come first here and in the tray menu.")
                        : tr("Pinned tunnels come first here."),
                false};
    case SidebarItem::Kind::connected:
        return {tr("No Tunnels Connected"), QStringLiteral("bolt.horizontal.circle"), {}, false};
    case SidebarItem::Kind::trash:
        return {tr("No Deleted Tunnels"), QStringLiteral("trash"), {}, false};
    case SidebarItem::Kind::all:
    case SidebarItem::Kind::untagged:
    case SidebarItem::Kind::tag:
        break;
    }
    return {tr("No Tunnels"), QStringLiteral("point.3.connected.trianglepath.dotted"),
            tr("Create a tunnel with +, or import the hosts of ~/.ssh/config or a file."), true};
}

QString TunnelListTexts::trashNote() {
    return tr("Tunnels stay here for 30 days, then they are deleted for good.");
}

} // namespace burrowlight
