#include "Burrowlight/Models/MainWindowModel.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/TunnelListing.h"
#include "TunnelKit/Text.h"

namespace burrowlight {

using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

struct ListMenuWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelList)
};
struct SidebarWords {
    Q_DECLARE_TR_FUNCTIONS(Sidebar)
};

bool offersConnect(const TunnelState& state) {
    return state.is<TunnelState::Disconnected>() || state.is<TunnelState::Failed>() ||
           state.is<TunnelState::Disconnecting>();
}

} // namespace

MainWindowModel::MainWindowModel(AppModel& app, MainWindowDialogs& dialogs,
                                 std::optional<WindowSources> sources, QObject* parent)
    : QObject(parent), app_(app), dialogs_(dialogs),
      sources_(sources ? *sources : WindowSources::of(app.controller())), actions_(app, state_, dialogs),
      sidebar_(app, sources_), list_(app, sources_) {
    list_.setGroup(state_.group());
    connect(&app_, &AppModel::requestsConfigImportChanged, this, &MainWindowModel::followRequests);
    connect(&app_, &AppModel::requestsNewTunnelChanged, this, &MainWindowModel::followRequests);
    connect(&state_, &MainWindowState::sidebarChanged, this, &MainWindowModel::followSidebar);
    connect(&app_.drafts(), &TunnelDrafts::focusRequestChanged, this, &MainWindowModel::followFocusRequest);
    connect(&app_.engine(), &EngineBridge::tunnelsChanged, this, [this] {
        app_.drafts().prune(app_.controller().tunnels());
        updateDetailPane();
    });
    connect(&state_, &MainWindowState::searchChanged, this, [this] { list_.setSearch(state_.search()); });
    connect(&state_, &MainWindowState::selectionChanged, this, &MainWindowModel::updateDetailPane);
    connect(&app_.drafts(), &TunnelDrafts::newTunnelChanged, this, &MainWindowModel::updateDetailPane);
}

MainWindowModel::~MainWindowModel() = default;

void MainWindowModel::appear() {
    followRequests();
    followFocusRequest();
}

void MainWindowModel::followRequests() {
    if (app_.requestsConfigImport()) {
        app_.setRequestsConfigImport(false);
        state_.setImportingConfig(true);
    }
    if (app_.requestsNewTunnel()) {
        app_.setRequestsNewTunnel(false);
        createNewTunnel();
    }
}

void MainWindowModel::createNewTunnel() {
    if (state_.group().isTrash()) {
        state_.setSidebar(SidebarItem::all());
    }
    Tunnel tunnel = Tunnel::created();
    const SidebarItem group = state_.group();
    if (group.kind == SidebarItem::Kind::tag) {
        tunnel.tags = {group.tag};
    } else if (group.kind == SidebarItem::Kind::pinned) {
        tunnel.isPinned = true;
    }
    actions_.edit(app_.drafts().beginNewTunnel(tunnel));
}

void MainWindowModel::followSidebar() {
    const SidebarItem group = state_.group();
    list_.setGroup(group);
    TunnelIds kept;
    const auto& draft = app_.drafts().newTunnel();
    if (!group.isTrash() && draft && state_.selection().contains(draft->id())) {
        kept.insert(draft->id());
    }
    state_.setSelection(kept);
    updateDetailPane();
}

void MainWindowModel::followFocusRequest() {
    const auto& request = app_.drafts().focusRequest();
    if (!request) {
        return;
    }
    const auto& draft = app_.drafts().newTunnel();
    const auto tunnel = app_.controller().tunnel(*request);
    if ((draft && draft->id() == *request) || (tunnel && !tunnel->isTrashed())) {
        state_.setSelection({*request});
    } else {
        app_.drafts().setFocusRequest(std::nullopt);
    }
}

void MainWindowModel::updateDetailPane() {
    auto pane = chooseDetailPane(state_.selection(), state_.group(), app_.controller(), app_.drafts());
    if (pane != detailPane_) {
        detailPane_ = pane;
        emit detailPaneChanged();
    }
    QString title;
    if (detailPane_.kind == DetailPane::Kind::editor || detailPane_.kind == DetailPane::Kind::trashed) {
        const auto& draft = app_.drafts().newTunnel();
        title = DetailModel::title(draft && draft->id() == detailPane_.id,
                                   app_.controller().tunnel(detailPane_.id));
    }
    if (title != detailTitle_) {
        detailTitle_ = title;
        emit detailTitleChanged();
    }
}

TunnelIds MainWindowModel::savedSelection(const TunnelIds& ids) const {
    TunnelIds saved;
    for (const auto& id : ids) {
        if (app_.controller().tunnel(id)) {
            saved.insert(id);
        }
    }
    return saved;
}

Menu MainWindowModel::contextMenu(const TunnelIds& rows) {
    const TunnelIds ids = savedSelection(rows);
    if (ids.empty()) {
        return {};
    }
    auto& controller = app_.controller();
    const auto idVector = idList(ids);
    if (state_.group().isTrash()) {
        return {MenuEntry::action(ListMenuWords::tr("Restore"), QStringLiteral("arrow.uturn.backward"),
                                  [&controller, idVector] { controller.restore(idVector); }),
                MenuEntry::action(
                    ListMenuWords::tr("Delete Permanently…"), QStringLiteral("trash"),
                    [this, ids] { actions_.deletePermanently(ids); }, true)};
    }
    Menu menu;
    const bool anyOff =
        std::ranges::any_of(ids, [&](const Uuid& id) { return offersConnect(sources_.states(id)); });
    const bool anyOn =
        std::ranges::any_of(ids, [&](const Uuid& id) { return sources_.states(id).isActive(); });
    if (anyOff) {
        menu.push_back(MenuEntry::action(ListMenuWords::tr("Connect"), QStringLiteral("play.circle"),
                                         [&controller, idVector] { controller.connect(idVector); }));
    }
    if (anyOn) {
        menu.push_back(MenuEntry::action(ListMenuWords::tr("Disconnect"), QStringLiteral("stop.circle"),
                                         [&controller, idVector] { controller.disconnect(idVector); }));
    }
    menu.push_back(MenuEntry::separator());
    if (ids.size() == 1) {
        const Uuid id = *ids.begin();
        menu.push_back(MenuEntry::action(ListMenuWords::tr("Edit…"), QStringLiteral("pencil"),
                                         [this, id] { actions_.edit(id); }));
        menu.push_back(MenuEntry::action(ListMenuWords::tr("Duplicate"),
                                         QStringLiteral("plus.square.on.square"),
                                         [this, id] { actions_.duplicate(id); }));
        menu.push_back(MenuEntry::action(ListMenuWords::tr("Copy SSH Command"), QStringLiteral("terminal"),
                                         [this, id] { actions_.copyCommand(id); }));
    }
    const bool anyUnpinned = std::ranges::any_of(ids, [&](const Uuid& id) {
        const auto tunnel = controller.tunnel(id);
        return tunnel && !tunnel->isPinned;
    });
    menu.push_back(
        anyUnpinned ? MenuEntry::action(ListMenuWords::tr("Pin"), QStringLiteral("pin"),
                                        [&controller, idVector] { controller.setPinned(true, idVector); })
                    : MenuEntry::action(ListMenuWords::tr("Unpin"), QStringLiteral("pin.slash"),
                                        [&controller, idVector] { controller.setPinned(false, idVector); }));
    menu.push_back(MenuEntry::submenu(ListMenuWords::tr("Tags"), QStringLiteral("tag"), tagMenu(ids)));
    menu.push_back(MenuEntry::action(ListMenuWords::tr("Export…"), QStringLiteral("square.and.arrow.up"),
                                     [this, ids] { actions_.exportTunnels(ids); }));
    menu.push_back(MenuEntry::separator());
    menu.push_back(MenuEntry::action(
        ListMenuWords::tr("Move to Trash"), QStringLiteral("trash"),
        [this, ids] { actions_.moveToTrash(ids); }, true));
    return menu;
}

Menu MainWindowModel::tagMenu(const TunnelIds& ids) {
    auto& controller = app_.controller();
    std::vector<Tunnel> tunnels;
    for (const auto& id : ids) {
        if (auto tunnel = controller.tunnel(id)) {
            tunnels.push_back(std::move(*tunnel));
        }
    }
    const auto idVector = idList(ids);
    Menu menu;
    const auto tags = controller.allTags();
    for (const auto& tag : tags) {
        const bool everyOne = std::ranges::all_of(tunnels, [&](const Tunnel& tunnel) {
            return std::ranges::find(tunnel.tags, tag) != tunnel.tags.end();
        });
        const QString title = shortened(QString::fromStdString(tag));
        menu.push_back(MenuEntry::toggle(title, everyOne, [&controller, tag, everyOne, idVector] {
            if (everyOne) {
                controller.removeTag(tag, idVector);
            } else {
                controller.addTag(tag, idVector);
            }
        }));
    }
    if (!tags.empty()) {
        menu.push_back(MenuEntry::separator());
    }
    menu.push_back(
        MenuEntry::action(ListMenuWords::tr("New Tag…"), {}, [this, ids] { actions_.newTag(ids); }));
    return menu;
}

void MainWindowModel::openRows(const TunnelIds& rows) {
    if (state_.group().isTrash()) {
        return;
    }
    const TunnelIds ids = savedSelection(rows);
    if (ids.size() == 1) {
        actions_.edit(*ids.begin());
    }
}

void MainWindowModel::deleteSelection() {
    const TunnelIds ids = savedSelection(state_.selection());
    if (ids.empty()) {
        return;
    }
    if (state_.group().isTrash()) {
        actions_.deletePermanently(ids);
    } else {
        actions_.moveToTrash(ids);
    }
}

void MainWindowModel::toggle(const Uuid& id) {
    app_.controller().toggle(id);
}

void MainWindowModel::connectSelection() {
    app_.controller().connect(idList(state_.selection()));
}

void MainWindowModel::disconnectSelection() {
    app_.controller().disconnect(idList(state_.selection()));
}

Menu MainWindowModel::tagRowMenu(const std::string& tag) {
    auto& controller = app_.controller();
    return {
        MenuEntry::action(SidebarWords::tr("Connect All in Tag"), QStringLiteral("play.circle"),
                          [&controller, tag] { controller.connect(tag); }),
        MenuEntry::action(SidebarWords::tr("Disconnect All in Tag"), QStringLiteral("stop.circle"),
                          [&controller, tag] { controller.disconnect(tag); }),
        MenuEntry::separator(),
        MenuEntry::action(SidebarWords::tr("Rename Tag…"), {}, [this, tag] { renameTag(tag); }),
        MenuEntry::action(
            SidebarWords::tr("Delete Tag"), QStringLiteral("trash"), [this, tag] { deleteTag(tag); }, true)};
}

TextPrompt MainWindowModel::renameTagPrompt(const std::string& tag) const {
    return {.title = SidebarWords::tr("Rename Tag"),
            .fieldLabel = SidebarWords::tr("Tag Name"),
            .text = QString::fromStdString(tag),
            .acceptTitle = SidebarWords::tr("Rename"),
            .cancelTitle = SidebarWords::tr("Cancel"),
            .accepts = [](const QString& text) { return !listing::tagPieces(text).empty(); }};
}

void MainWindowModel::renameTag(const std::string& tag) {
    const auto typed = dialogs_.ask(renameTagPrompt(tag));
    if (!typed) {
        return;
    }
    const auto newTag = tunnelkit::text::trimBlanks(typed->toStdString());
    const auto pieces = listing::tagPieces(QString::fromStdString(newTag));
    if (pieces.empty()) {
        return;
    }
    const bool followed = state_.sidebar() && state_.sidebar()->isTag(tag);
    app_.controller().renameTag(tag, newTag);
    if (followed) {
        state_.setSidebar(SidebarItem::tagged(pieces.front()));
    }
}

void MainWindowModel::deleteTag(const std::string& tag) {
    if (state_.sidebar() && state_.sidebar()->isTag(tag)) {
        state_.setSidebar(SidebarItem::all());
    }
    app_.controller().deleteTag(tag);
}

void MainWindowModel::configImported(const std::vector<Tunnel>& tunnels) {
    if (state_.group().isTrash()) {
        state_.setSidebar(SidebarItem::all());
    }
    TunnelIds ids;
    for (const auto& tunnel : tunnels) {
        ids.insert(tunnel.id);
    }
    state_.setSelection(ids);
    app_.configHosts().resolveAll(tunnels, [] {});
}

QString MainWindowTexts::searchPrompt() {
    return tr("Search Tunnels");
}

QString MainWindowTexts::clearSearch() {
    return tr("Clear Search");
}

QString MainWindowTexts::tunnelsAccessibleName() {
    return tr("Tunnels");
}

QString MainWindowTexts::groupsAccessibleName() {
    return tr("Groups");
}

QString MainWindowTexts::newTunnel() {
    return tr("New Tunnel");
}

QString MainWindowTexts::noTunnelSelected() {
    return tr("No Tunnel Selected");
}

QString MainWindowTexts::noTunnelSelectedHint() {
    return tr("Select a tunnel, or create one to forward ports through SSH.");
}

QString MainWindowTexts::tunnelsSelected(int count) {
    return tr("%n Tunnels Selected", nullptr, count);
}

QString MainWindowTexts::connect() {
    return tr("Connect");
}

QString MainWindowTexts::disconnect() {
    return tr("Disconnect");
}

QString MainWindowTexts::importFromSSHConfig() {
    return tr("Import from SSH Config…");
}

QString MainWindowTexts::importFile() {
    return tr("Import…");
}

QString MainWindowTexts::windowTitle(const QString& detailTitle) {
    return detailTitle.isEmpty() ? appDisplayName()
                                 : inSentence(detailTitle) + QStringLiteral(" — ") + appDisplayName();
}

} // namespace burrowlight
