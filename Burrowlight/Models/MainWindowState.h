#pragma once

#include "Burrowlight/Models/SidebarItem.h"
#include "TunnelKit/Identifiers.h"

#include <QObject>
#include <QString>
#include <optional>
#include <set>
#include <vector>

namespace burrowlight {

class TunnelController;
class TunnelDrafts;

// Selected rows of the list: saved tunnels' ids and the unsaved new tunnel's.
using TunnelIds = std::set<tunnelkit::Uuid>;

std::vector<tunnelkit::Uuid> idList(const TunnelIds& ids);

// What the main window's three columns share: the chosen sidebar group, the selected rows, the
// search text and whether the search field has the keyboard. Each setter announces a real change
// only.
class MainWindowState : public QObject {
    Q_OBJECT

  public:
    explicit MainWindowState(QObject* parent = nullptr);

    // None when no sidebar row is chosen.
    const std::optional<SidebarItem>& sidebar() const { return sidebar_; }
    // The chosen group; no choice reads as All Tunnels.
    SidebarItem group() const { return sidebar_.value_or(SidebarItem::all()); }
    void setSidebar(const std::optional<SidebarItem>& item);

    const TunnelIds& selection() const { return selection_; }
    void setSelection(const TunnelIds& ids);
    void deselect(const TunnelIds& ids);

    const QString& search() const { return search_; }
    void setSearch(const QString& text);
    void setSearchFocused(bool focused);
    // The detail's Return and Escape act only while the search field doesn't have the keyboard.
    bool keysActive() const { return !searchFocused_; }

    // The ssh-config import sheet is open.
    bool importingConfig() const { return importingConfig_; }
    void setImportingConfig(bool importing);

  signals:
    void sidebarChanged();
    void selectionChanged();
    void searchChanged();
    void searchFocusedChanged();
    void importingConfigChanged();

  private:
    std::optional<SidebarItem> sidebar_ = SidebarItem::all();
    TunnelIds selection_;
    QString search_;
    bool searchFocused_ = false;
    bool importingConfig_ = false;
};

// What the detail column shows for a selection.
struct DetailPane {
    enum class Kind {
        empty,   // "No Tunnel Selected"
        editor,  // the editor of a live tunnel or of the unsaved new tunnel
        trashed, // the read-only page of a tunnel in Recently Deleted
        several, // "%n Tunnels Selected"
    };

    Kind kind = Kind::empty;
    // The tunnel of `editor` and `trashed`.
    tunnelkit::Uuid id;
    // Selected rows of `several`.
    int count = 0;
    // `several` outside Recently Deleted: Connect and Disconnect act on the whole selection.
    bool offersConnect = false;

    bool operator==(const DetailPane&) const = default;
};

// A trashed tunnel gets its page; the new draft or a known tunnel its editor; fewer than two ids
// that name nothing, the empty placeholder; two or more, the count.
DetailPane chooseDetailPane(const TunnelIds& selection, const SidebarItem& group,
                            const TunnelController& controller, const TunnelDrafts& drafts);

} // namespace burrowlight
