#pragma once

#include "TunnelKit/TunnelConnection.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace burrowlight {

class AppModel;

// What choosing a tray menu item does.
namespace tray {
struct OpenTerms {
    bool operator==(const OpenTerms&) const = default;
};
// Quits without the tip prompt: the terms-only menu's Quit.
struct Terminate {
    bool operator==(const Terminate&) const = default;
};
struct CheckForUpdates {
    bool operator==(const CheckForUpdates&) const = default;
};
// Connects the tunnel when `turnOn`, else disconnects it.
struct ToggleTunnel {
    tunnelkit::Uuid id;
    bool turnOn = true;
    bool operator==(const ToggleTunnel&) const = default;
};
struct ShowAllTunnels {
    bool operator==(const ShowAllTunnels&) const = default;
};
struct ConnectAll {
    bool operator==(const ConnectAll&) const = default;
};
struct DisconnectAll {
    bool operator==(const DisconnectAll&) const = default;
};
struct ConnectTagged {
    std::string tag;
    bool operator==(const ConnectTagged&) const = default;
};
struct DisconnectTagged {
    std::string tag;
    bool operator==(const DisconnectTagged&) const = default;
};
struct NewTunnel {
    bool operator==(const NewTunnel&) const = default;
};
struct OpenMain {
    bool operator==(const OpenMain&) const = default;
};
struct OpenSettings {
    bool operator==(const OpenSettings&) const = default;
};
struct OpenTipPage {
    bool operator==(const OpenTipPage&) const = default;
};
struct ReportProblem {
    bool operator==(const ReportProblem&) const = default;
};
// The application's own Quit command, which may lead to the tip prompt.
struct Quit {
    bool operator==(const Quit&) const = default;
};
} // namespace tray

// None: a divider, or a submenu's own title.
using TrayMenuAction =
    std::variant<std::monostate, tray::OpenTerms, tray::Terminate, tray::CheckForUpdates, tray::ToggleTunnel,
                 tray::ShowAllTunnels, tray::ConnectAll, tray::DisconnectAll, tray::ConnectTagged,
                 tray::DisconnectTagged, tray::NewTunnel, tray::OpenMain, tray::OpenSettings,
                 tray::OpenTipPage, tray::ReportProblem, tray::Quit>;

// One item of the tray menu as a value. The title is plain text, never markup or a mnemonic.
struct TrayMenuItem {
    enum class Kind { command, divider, submenu };

    Kind kind = Kind::command;
    QString title{};
    // A symbol of symbolIcons(); empty for none.
    QString iconName{};
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    TrayMenuAction action{};
    std::vector<TrayMenuItem> children{};

    static TrayMenuItem divider() { return {.kind = Kind::divider}; }

    bool operator==(const TrayMenuItem&) const = default;
};

struct TrayMenu {
    std::vector<TrayMenuItem> items{};
    // 0: as wide as its items.
    int minimumWidth = 0;

    bool operator==(const TrayMenu&) const = default;
};

// What the menu is made from, read from the application model and the manager.
struct TrayMenuFacts {
    struct Entry {
        tunnelkit::Tunnel tunnel{};
        tunnelkit::TunnelState state{};
        std::optional<tunnelkit::TunnelProblem> problem{};
    };

    bool termsAccepted = false;
    bool updateWaiting = false;
    bool updatesConfigured = false;
    // Without a settings window there is no "Settings…".
    bool showsSettings = true;
    // The live tunnels in list order.
    std::vector<Entry> tunnels{};
    // Tags of the live tunnels, in the manager's order.
    std::vector<std::string> tags{};
};

// At most this many tunnels get a toggle; "All Tunnels…" leads to the rest.
inline constexpr size_t trayMenuTunnelLimit = 20;
// The width the full menu keeps at least, as the decoration gives it.
inline constexpr int trayMenuMinimumWidth = 280;

// The menu for these facts: the terms-only form until the terms are accepted, then the full one,
// decorated.
TrayMenu buildTrayMenu(const TrayMenuFacts& facts);

// A title the decoration knows, in the running language, and its symbol.
struct MenuSymbol {
    QString title;
    const char* symbol;
};
// Twelve rows, their titles distinct in every language.
std::array<MenuSymbol, 12> menuSymbolTable();
// The full menu, recognised by its "Open Burrowlight" and "Quit Burrowlight", gets its minimum
// width and a symbol on each of its own items whose title the table knows and that has none yet.
// Submenus' items and the terms-only menu stay as they are.
void decorate(TrayMenu& menu);

// The tray menu over the application model: recomputed whenever the terms, the updates, the
// tunnel list or any tunnel's state or problem changes, and announced only when it looks different,
// so a menu open on screen follows a connecting tunnel. Choosing an item runs its action.
class TrayMenuModel : public QObject {
    Q_OBJECT

  public:
    // What the menu asks of the windows and the application.
    struct Handlers {
        // Opens the window "main" and brings the application forward.
        std::function<void()> openMain{};
        std::function<void()> openTerms{};
        // None: no "Settings…".
        std::function<void()> openSettings{};
        // Opens the main window with a new tunnel.
        std::function<void()> newTunnel{};
        std::function<void()> reportProblem{};
        std::function<void()> openTipPage{};
        // The application's own Quit command.
        std::function<void()> quit{};
        // Quits without the tip prompt.
        std::function<void()> terminate{};
    };

    TrayMenuModel(AppModel& model, Handlers handlers, QObject* parent = nullptr);

    const TrayMenu& menu() const { return menu_; }
    TrayMenuFacts facts() const;
    // Reads everything afresh, as when the menu is about to open.
    void refresh();
    void trigger(const TrayMenuAction& action);

  signals:
    void changed();

  private:
    AppModel& model_;
    Handlers handlers_;
    TrayMenu menu_;
};

} // namespace burrowlight
