#pragma once

#include "Burrowlight/Models/KeyedListModel.h"
#include "Burrowlight/Models/SidebarItem.h"
#include "Burrowlight/Models/TunnelListing.h"
#include "Burrowlight/Models/WindowSources.h"

#include <optional>
#include <string>

namespace burrowlight {

class AppModel;

// One row of the sidebar: a group with its count, or the "Tags" heading.
struct SidebarRow {
    enum class Kind { item, header };

    Kind kind = Kind::item;
    SidebarItem item;
    int count = 0;

    std::string key() const;
    bool operator==(const SidebarRow&) const = default;
};

// The sidebar's rows: All Tunnels, Pinned, Connected; under "Tags" each tag of the live tunnels
// and Untagged (only while some live tunnel has a tag); Recently Deleted. The counts follow the
// tunnels and the connections' states; a changed count is one row's `dataChanged`.
class SidebarModel : public KeyedListModel<SidebarRow> {
    Q_OBJECT

  public:
    enum Role {
        CountRole = Qt::UserRole + 1, // int
        SymbolRole,                   // QString, a symbol of the icon table
        HeaderRole,                   // bool
    };

    SidebarModel(AppModel& app, const WindowSources& sources, QObject* parent = nullptr);

    std::optional<SidebarItem> itemAt(const QModelIndex& index) const;
    QModelIndex indexOf(const SidebarItem& item) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void refresh();

  private:
    void recountConnected();

    AppModel& app_;
    listing::StateOf states_;
    std::function<int()> connectedCount_;
};

} // namespace burrowlight
