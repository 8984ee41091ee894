#pragma once

#include "Burrowlight/Models/MainWindowDialogs.h"
#include "Burrowlight/Models/MainWindowState.h"

#include <QCoreApplication>
#include <QString>

namespace burrowlight {

class AppModel;

// The nine tunnel operations that involve the main window, one object that the list, its rows and
// the detail call: each works on the window's state and the application model, and asks through
// the window's dialogs.
class TunnelActions {
    Q_DECLARE_TR_FUNCTIONS(TunnelActions)

  public:
    TunnelActions(AppModel& app, MainWindowState& state, MainWindowDialogs& dialogs);

    // Asks the window to show the tunnel's editor (the new draft or a live tunnel).
    void edit(const tunnelkit::Uuid& id);
    // A copy named "<name> Copy" (made unique by the manager), selected alone.
    void duplicate(const tunnelkit::Uuid& id);
    // Asks where to save the archive and writes it; a failed write is shown.
    void exportTunnels(const TunnelIds& ids);
    void importFile();
    void importConfig();
    // The saved record's command, never an open draft's.
    void copyCommand(const tunnelkit::Uuid& id);
    // After confirmation; the deleted tunnels leave the selection.
    void deletePermanently(const TunnelIds& ids);
    // At once; the trashed tunnels leave the selection.
    void moveToTrash(const TunnelIds& ids);
    // Asks for a tag name and gives it to the tunnels.
    void newTag(const TunnelIds& ids);

    // The display name of the one tunnel, else "Tunnels", with the archive's extension.
    QString exportFileName(const TunnelIds& ids) const;

  private:
    AppModel& app_;
    MainWindowState& state_;
    MainWindowDialogs& dialogs_;
};

} // namespace burrowlight
