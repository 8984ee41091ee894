#pragma once

#include "Burrowlight/Models/TrayMenuModel.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace burrowlight {

// A tray menu drawn into a QMenu with plain actions only (text, icon, check, enabling, submenus):
// all that a panel shows of a menu exported over D-Bus. Each menu value is applied at once, in place
// when only texts, checks, enabling or icons changed, so a menu open on screen follows a connecting
// tunnel. A chosen item runs from the event loop, after the menu has closed and the panel has had
// its answer.
class TrayMenuView {
  public:
    // Who draws the menu: Qt, or a panel that reads it over D-Bus (com.canonical.dbusmenu).
    enum class Drawing { byQt, byPanel };
    using Choose = std::function<void(const TrayMenuAction&)>;

    TrayMenuView(QMenu& menu, Choose choose);
    TrayMenuView(const TrayMenuView&) = delete;
    TrayMenuView& operator=(const TrayMenuView&) = delete;

    void render(const TrayMenu& menu);
    // Titles are written for whoever draws them, each keeping its "&" and "_" as typed.
    void setDrawing(Drawing drawing);
    // The action of a QAction of the menu or its submenus as it is now; none for another.
    const TrayMenuAction* actionOf(const QAction* action) const;

  private:
    void redraw();
    void rebuild(QMenu& menu, const std::vector<TrayMenuItem>& items);
    void update(QMenu& menu, const std::vector<TrayMenuItem>& items);
    void apply(QAction& action, const TrayMenuItem& item);
    void choose(const QAction* action);

    QMenu& menu_;
    Choose choose_;
    Drawing drawing_ = Drawing::byQt;
    std::optional<TrayMenu> shown_;
    std::vector<std::pair<const QAction*, TrayMenuAction>> bindings_;
    std::unique_ptr<PaletteFollower> palette_;
};

// The application in the tray: its menu, over the application model, for the whole run, and its
// icon from the moment a tray is there.
class AppTray {
  public:
    AppTray(AppModel& model, TrayMenuModel::Handlers handlers);

    QMenu& menu() { return menu_; }
    const TrayMenuView& view() const { return view_; }

    // Qt settles how it reaches a tray (a StatusNotifier host over D-Bus, else XEmbed on X11) when
    // its first tray icon is made, for the whole process: an icon made while no host is there never
    // reaches one that comes later. So the icon is made only once there is a tray to show it.
    void showIcon();
    // None until shown.
    QSystemTrayIcon* icon() { return tray_.get(); }

  private:
    TrayMenuModel model_;
    QMenu menu_;
    TrayMenuView view_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    PaletteFollower palette_;
};

// A title as the one who draws it reads it. Qt reads "&&" as one "&", and draws an item on one line
// with the text after a tab in a column on the right. Qt hands a panel the title with only its first
// "&" turned into the dbusmenu access key "_", and a panel drops a single "_": so the first "&" is
// doubled and every "_" too.
QString menuText(const QString& title, TrayMenuView::Drawing drawing);

// The tray's symbol drawn for the palette: dark on a light theme, light on a dark one; a mask for
// panels that tint it themselves.
QIcon trayIconFor(const QPalette& palette);

} // namespace burrowlight
