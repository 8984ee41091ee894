#include "Burrowlight/Models/TrayMenuModel.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Cases.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <algorithm>

namespace burrowlight {

namespace {

struct TrayMenuWords {
    Q_DECLARE_TR_FUNCTIONS(TrayMenu)
};

QString openTitle() {
    return TrayMenuWords::tr("Open %1").arg(appDisplayName());
}

QString quitTitle() {
    return TrayMenuWords::tr("Quit %1").arg(appDisplayName());
}

// No shortcut hints: a tray menu's keys do nothing there.
TrayMenuItem command(QString title, TrayMenuAction action) {
    return {.title = std::move(title), .action = std::move(action)};
}

QString statusLine(const TrayMenuFacts::Entry& entry) {
    if (entry.state.isConnected()) {
        return texts::forwardsSummary(entry.tunnel);
    }
    if (entry.state.is<tunnelkit::TunnelState::Failed>() && entry.problem) {
        return texts::message(*entry.problem, texts::Quoting::isolated);
    }
    return texts::text(entry.state);
}

TrayMenuItem toggle(const TrayMenuFacts::Entry& entry) {
    const bool on = entry.state.isActive();
    return {.title = shortened(texts::displayName(entry.tunnel)) + QLatin1Char('\n') +
                     shortened(statusLine(entry)),
            .checkable = true,
            .checked = on,
            .action = tray::ToggleTunnel{entry.tunnel.id, !on}};
}

std::vector<TrayMenuItem> termsOnlyMenu() {
    return {command(TrayMenuWords::tr("Terms of Use…"), tray::OpenTerms{}), TrayMenuItem::divider(),
            command(quitTitle(), tray::Terminate{})};
}

TrayMenuItem tagsSubmenu(const std::vector<std::string>& tags) {
    TrayMenuItem submenu{.kind = TrayMenuItem::Kind::submenu, .title = TrayMenuWords::tr("Tags")};
    for (const auto& tag : tags) {
        submenu.children.push_back(
            {.kind = TrayMenuItem::Kind::submenu,
             .title = shortened(QString::fromStdString(tag)),
             .children = {command(TrayMenuWords::tr("Connect All"), tray::ConnectTagged{tag}),
                          command(TrayMenuWords::tr("Disconnect All"), tray::DisconnectTagged{tag})}});
    }
    return submenu;
}

void addTunnelGroup(std::vector<TrayMenuItem>& items, const TrayMenuFacts& facts) {
    const auto& tunnels = facts.tunnels;
    if (tunnels.empty()) {
        items.push_back(command(TrayMenuWords::tr("New Tunnel…"), tray::NewTunnel{}));
        return;
    }
    const size_t shown = std::min(tunnels.size(), trayMenuTunnelLimit);
    for (size_t index = 0; index < shown; ++index) {
        items.push_back(toggle(tunnels[index]));
    }
    if (tunnels.size() > trayMenuTunnelLimit) {
        items.push_back(command(TrayMenuWords::tr("All Tunnels…"), tray::ShowAllTunnels{}));
    }
    items.push_back(TrayMenuItem::divider());
    const auto isActive = [](const TrayMenuFacts::Entry& entry) { return entry.state.isActive(); };
    auto connectAll = command(TrayMenuWords::tr("Connect All"), tray::ConnectAll{});
    connectAll.enabled = !std::ranges::all_of(tunnels, isActive);
    items.push_back(connectAll);
    auto disconnectAll = command(TrayMenuWords::tr("Disconnect All"), tray::DisconnectAll{});
    disconnectAll.enabled = std::ranges::any_of(tunnels, isActive);
    items.push_back(disconnectAll);
    if (!facts.tags.empty()) {
        items.push_back(tagsSubmenu(facts.tags));
    }
}

std::vector<TrayMenuItem> fullMenu(const TrayMenuFacts& facts) {
    std::vector<TrayMenuItem> items;
    if (facts.updateWaiting) {
        items.push_back(command(TrayMenuWords::tr("Install Update…"), tray::CheckForUpdates{}));
        items.push_back(TrayMenuItem::divider());
    }
    addTunnelGroup(items, facts);
    items.push_back(TrayMenuItem::divider());
    items.push_back(command(openTitle(), tray::OpenMain{}));
    if (facts.showsSettings) {
        items.push_back(command(TrayMenuWords::tr("Settings…"), tray::OpenSettings{}));
    }
    if (facts.updatesConfigured) {
        items.push_back(command(TrayMenuWords::tr("Check for Updates…"), tray::CheckForUpdates{}));
    }
    items.push_back(command(TrayMenuWords::tr("Buy Me a Coffee"), tray::OpenTipPage{}));
    items.push_back(command(TrayMenuWords::tr("Report a Problem…"), tray::ReportProblem{}));
    items.push_back(TrayMenuItem::divider());
    items.push_back(command(quitTitle(), tray::Quit{}));
    return items;
}

} // namespace

TrayMenu buildTrayMenu(const TrayMenuFacts& facts) {
    TrayMenu menu{.items = facts.termsAccepted ? fullMenu(facts) : termsOnlyMenu()};
    decorate(menu);
    return menu;
}

std::array<MenuSymbol, 12> menuSymbolTable() {
    return {{
        {TrayMenuWords::tr("New Tunnel…"), "plus"},
        {TrayMenuWords::tr("All Tunnels…"), "list.bullet"},
        {TrayMenuWords::tr("Connect All"), "play.circle"},
        {TrayMenuWords::tr("Disconnect All"), "stop.circle"},
        {TrayMenuWords::tr("Tags"), "tag"},
        {openTitle(), "macwindow"},
        {TrayMenuWords::tr("Settings…"), "gearshape"},
        {TrayMenuWords::tr("Check for Updates…"), "arrow.down.circle"},
        {TrayMenuWords::tr("Install Update…"), "arrow.down.circle"},
        {TrayMenuWords::tr("Buy Me a Coffee"), "cup.and.heat.waves"},
        {TrayMenuWords::tr("Report a Problem…"), "exclamationmark.bubble"},
        {quitTitle(), "power"},
    }};
}

void decorate(TrayMenu& menu) {
    const auto hasTitle = [&](const QString& title) {
        return std::ranges::any_of(menu.items, [&](const TrayMenuItem& item) {
            return item.kind != TrayMenuItem::Kind::divider && item.title == title;
        });
    };
    if (!hasTitle(openTitle()) || !hasTitle(quitTitle())) {
        return;
    }
    menu.minimumWidth = trayMenuMinimumWidth;
    const auto table = menuSymbolTable();
    for (auto& item : menu.items) {
        const auto row = std::ranges::find(table, item.title, &MenuSymbol::title);
        if (item.kind != TrayMenuItem::Kind::divider && row != table.end() && item.iconName.isEmpty()) {
            item.iconName = QString::fromLatin1(row->symbol);
        }
    }
}

TrayMenuModel::TrayMenuModel(AppModel& model, Handlers handlers, QObject* parent)
    : QObject(parent), model_(model), handlers_(std::move(handlers)) {
    EngineBridge& engine = model_.engine();
    connect(&engine, &EngineBridge::tunnelsChanged, this, &TrayMenuModel::refresh);
    connect(&engine, &EngineBridge::stateChanged, this, &TrayMenuModel::refresh);
    connect(&engine, &EngineBridge::problemChanged, this, &TrayMenuModel::refresh);
    connect(&model_, &AppModel::termsAcceptedChanged, this, &TrayMenuModel::refresh);
    connect(&model_.updates(), &UpdateController::updateWaitingChanged, this, &TrayMenuModel::refresh);
    menu_ = buildTrayMenu(facts());
}

TrayMenuFacts TrayMenuModel::facts() const {
    auto& controller = model_.controller();
    TrayMenuFacts facts{.termsAccepted = model_.termsAccepted(),
                        .updateWaiting = model_.updates().updateWaiting(),
                        .updatesConfigured = model_.updates().isConfigured(),
                        .showsSettings = static_cast<bool>(handlers_.openSettings),
                        .tags = controller.allTags()};
    std::vector<const tunnelkit::Tunnel*> tunnels;
    for (const auto& tunnel : controller.tunnels()) {
        if (!tunnel.isTrashed()) {
            tunnels.push_back(&tunnel);
        }
    }
    tunnelkit::sortForList(tunnels);
    facts.tunnels.reserve(tunnels.size());
    for (const auto* tunnel : tunnels) {
        // Read without making a connection: a tunnel that has none is disconnected, without a problem.
        const auto id = tunnel->id;
        auto problem = controller.hasConnection(id) ? controller.connection(id)->problem() : std::nullopt;
        facts.tunnels.push_back({*tunnel, controller.state(id), std::move(problem)});
    }
    return facts;
}

void TrayMenuModel::refresh() {
    auto menu = buildTrayMenu(facts());
    if (menu != menu_) {
        menu_ = std::move(menu);
        emit changed();
    }
}

void TrayMenuModel::trigger(const TrayMenuAction& action) {
    auto& controller = model_.controller();
    const auto run = [](const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    };
    std::visit(Cases{
                   [](const std::monostate&) {},
                   [&](const tray::OpenTerms&) { run(handlers_.openTerms); },
                   [&](const tray::Terminate&) { run(handlers_.terminate); },
                   [&](const tray::CheckForUpdates&) { model_.updates().checkForUpdates(); },
                   [&](const tray::ToggleTunnel& chosen) {
                       if (chosen.turnOn) {
                           controller.connect({chosen.id});
                       } else {
                           controller.disconnect({chosen.id});
                       }
                   },
                   [&](const tray::ShowAllTunnels&) { run(handlers_.openMain); },
                   [&](const tray::OpenMain&) { run(handlers_.openMain); },
                   [&](const tray::ConnectAll&) { controller.connectAll(); },
                   [&](const tray::DisconnectAll&) { controller.disconnectAll(); },
                   [&](const tray::ConnectTagged& chosen) { controller.connect(chosen.tag); },
                   [&](const tray::DisconnectTagged& chosen) { controller.disconnect(chosen.tag); },
                   [&](const tray::NewTunnel&) { run(handlers_.newTunnel); },
                   [&](const tray::OpenSettings&) { run(handlers_.openSettings); },
                   [&](const tray::OpenTipPage&) { run(handlers_.openTipPage); },
                   [&](const tray::ReportProblem&) { run(handlers_.reportProblem); },
                   [&](const tray::Quit&) { run(handlers_.quit); },
               },
               action);
}

} // namespace burrowlight
