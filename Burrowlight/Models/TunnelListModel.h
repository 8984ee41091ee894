#pragma once

#include "Burrowlight/Models/KeyedListModel.h"
#include "Burrowlight/Models/SidebarItem.h"
#include "Burrowlight/Models/TunnelRow.h"
#include "Burrowlight/Models/WindowSources.h"
#include "TunnelKit/Tunnel.h"
#include "TunnelKit/TunnelConnection.h"

#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>

namespace burrowlight {

class AppModel;

// One row of the tunnel list.
struct TunnelListRow {
    enum class Kind {
        newTunnel, // the unsaved new tunnel, on top outside Recently Deleted
        note,      // the note heading Recently Deleted; never selectable
        saved,
    };

    Kind kind = Kind::saved;
    // The tunnel's, or the new draft's; none for the note.
    tunnelkit::Uuid id{};
    // What a saved row shows of its record: a copy of the whole record per row made every refresh
    // of thousands of tunnels slow.
    QString title{};
    bool isPinned = false;
    std::optional<tunnelkit::Date> deletedAt{};

    const tunnelkit::Uuid& key() const { return id; }
    bool operator==(const TunnelListRow&) const = default;
};

// What the list shows when it has no rows.
struct EmptyListState {
    QString title;
    QString symbol;
    QString description;
    // "Import from SSH Config…" and "Import…".
    bool offersImport = false;

    bool operator==(const EmptyListState&) const = default;
};

// The middle column's rows: the chosen group's tunnels narrowed by the search and sorted, the new
// draft on top. Follows the manager, the connections and the drafts as they change, row by row:
// a state change or an edit emits `dataChanged` for its row only.
class TunnelListModel : public KeyedListModel<TunnelListRow> {
    Q_OBJECT

  public:
    enum Role {
        KindRole = Qt::UserRole + 1,
        IdRole,        // QVariant of tunnelkit::Uuid
        StateRole,     // QVariant of tunnelkit::TunnelState, saved rows
        StateTextRole, // "Connected", "Not Connected", ...; saved rows
        SubtitleRole,  // "not saved yet", "Deleted yesterday"
        PinnedRole,    // bool
        EditedRole,    // bool: an open draft has unsaved changes
        InTrashRole,   // bool
    };
    TunnelListModel(AppModel& app, WindowSources sources, QObject* parent = nullptr);
    ~TunnelListModel() override;

    const SidebarItem& group() const { return group_; }
    void setGroup(const SidebarItem& group);
    const QString& search() const { return search_; }
    void setSearch(const QString& search);

    // None while there are rows.
    const std::optional<EmptyListState>& emptyState() const { return emptyState_; }
    // The column's title: the group's name, a tag's own text as titles show names.
    QString title() const;
    // While the rows change as one: a view waits for `refreshed` rather than follow each step.
    bool isRefreshing() const { return refreshing_; }

    // The on/off switch of a saved row outside Recently Deleted; none for the other rows.
    std::optional<RowSwitchLook> rowSwitch(const QModelIndex& index) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Recomputes the rows; called on every change the model follows.
    void refresh();

  signals:
    void emptyStateChanged();
    void refreshed();

  private:
    QString titleOf(const TunnelListRow& row) const;
    QString subtitleOf(const TunnelListRow& row) const;
    QString accessibleTextOf(const TunnelListRow& row) const;
    QString accessibleDescriptionOf(const TunnelListRow& row) const;
    const QStringList& searchTextsOf(const tunnelkit::Tunnel& tunnel) const;
    void stateChanged(const tunnelkit::Uuid& id, const tunnelkit::TunnelState& old,
                      const tunnelkit::TunnelState& now);
    void tunnelChanged(const tunnelkit::Uuid& id, const QList<int>& roles = {});
    void watchNewTunnel();
    void watchEditedDrafts();
    void updateEmptyState();

    AppModel& app_;
    WindowSources sources_;
    SidebarItem group_;
    QString search_;
    std::optional<EmptyListState> emptyState_;
    bool refreshing_ = false;
    // Made on the first search after the tunnels changed.
    mutable std::unordered_map<tunnelkit::Uuid, QStringList> searchTexts_;
    QMetaObject::Connection newTunnelEdits_;
    std::map<tunnelkit::Uuid, QMetaObject::Connection> draftEdits_;
};

// The platform's words for a search that finds nothing, and the list's other empty states.
class TunnelListTexts {
    Q_DECLARE_TR_FUNCTIONS(TunnelList)

  public:
    // What an empty list says for the group and the search as typed.
    static EmptyListState emptyState(const SidebarItem& group, const QString& typedSearch, bool hasTray);
    static QString trashNote();
};

} // namespace burrowlight
