#pragma once

#include "Burrowlight/Models/MainWindowDialogs.h"
#include "Burrowlight/Models/MainWindowState.h"
#include "Burrowlight/Models/MenuEntry.h"
#include "Burrowlight/Models/SidebarModel.h"
#include "Burrowlight/Models/TunnelActions.h"
#include "Burrowlight/Models/TunnelListModel.h"

#include <QObject>
#include <string>
#include <vector>

namespace burrowlight {

class AppModel;

// The main window without its widgets: the state its columns share, the sidebar and list models
// kept in step with it, the tunnel actions, the menus of the list and the sidebar, the Delete key
// and double-click, the detail pane's choice, and the answers to what other parts of the
// application ask of the window (a new tunnel, the ssh-config import, a tunnel to show).
// Lives as long as the window.
class MainWindowModel : public QObject {
    Q_OBJECT

  public:
    // Without sources, the system clock and the manager's states.
    MainWindowModel(AppModel& app, MainWindowDialogs& dialogs,
                    std::optional<WindowSources> sources = std::nullopt, QObject* parent = nullptr);
    ~MainWindowModel() override;

    AppModel& app() const { return app_; }
    MainWindowState& state() { return state_; }
    TunnelActions& actions() { return actions_; }
    SidebarModel& sidebar() { return sidebar_; }
    TunnelListModel& list() { return list_; }

    // The window appeared: requests made before it existed are honoured now.
    void appear();

    // The unsaved new tunnel, started in the chosen group (tagged or pinned), and selected; an
    // existing one is selected again instead.
    void createNewTunnel();

    const DetailPane& detailPane() const { return detailPane_; }
    // The title of the tunnel on show: "New Tunnel", the tunnel's display name; empty otherwise.
    const QString& detailTitle() const { return detailTitle_; }
    const WindowSources& sources() const { return sources_; }

    // The ids that name stored tunnels, trashed ones included.
    TunnelIds savedSelection(const TunnelIds& ids) const;
    // The list's context menu for the rows it was opened on.
    Menu contextMenu(const TunnelIds& ids);
    // The "Tags" submenu: each tag of the live tunnels, on when every one of the tunnels has it.
    Menu tagMenu(const TunnelIds& ids);
    // Double-click or Return on rows: the editor of the one saved tunnel.
    void openRows(const TunnelIds& ids);
    // The Delete key on the list: the selected saved tunnels to the trash, or in Recently Deleted
    // deleted for good after asking; nothing when none is selected.
    void deleteSelection();
    // A row's switch.
    void toggle(const tunnelkit::Uuid& id);
    // The multi-selection pane's buttons.
    void connectSelection();
    void disconnectSelection();

    // The context menu of a tag's sidebar row.
    Menu tagRowMenu(const std::string& tag);
    // Asks for the new name; a name that holds no tag ("", ",,") is not accepted.
    void renameTag(const std::string& tag);
    TextPrompt renameTagPrompt(const std::string& tag) const;
    void deleteTag(const std::string& tag);

    // The ssh-config import sheet imported these tunnels.
    void configImported(const std::vector<tunnelkit::Tunnel>& tunnels);

  signals:
    void detailPaneChanged();
    void detailTitleChanged();

  private:
    void followRequests();
    void followSidebar();
    void followFocusRequest();
    void updateDetailPane();

    AppModel& app_;
    MainWindowDialogs& dialogs_;
    WindowSources sources_;
    MainWindowState state_;
    TunnelActions actions_;
    SidebarModel sidebar_;
    TunnelListModel list_;
    DetailPane detailPane_;
    QString detailTitle_;
};

class MainWindowTexts {
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

  public:
    static QString searchPrompt();
    static QString clearSearch();
    // The list and the sidebar, for screen readers.
    static QString tunnelsAccessibleName();
    static QString groupsAccessibleName();
    static QString newTunnel();
    static QString noTunnelSelected();
    static QString noTunnelSelectedHint();
    static QString tunnelsSelected(int count);
    static QString connect();
    static QString disconnect();
    static QString importFromSSHConfig();
    static QString importFile();
    // The detail's title before the product name, as window titles read; the name alone without one.
    static QString windowTitle(const QString& detailTitle);
};

} // namespace burrowlight
