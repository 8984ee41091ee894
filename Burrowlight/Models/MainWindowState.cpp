#include "Burrowlight/Models/MainWindowState.h"

#include "Burrowlight/Core/TunnelController.h"
#include "Burrowlight/Core/TunnelDrafts.h"
#include "Burrowlight/Models/WindowSources.h"

namespace burrowlight {

WindowSources WindowSources::of(const TunnelController& controller) {
    return {tunnelkit::currentDate,
            [&controller](const tunnelkit::Uuid& id) { return controller.state(id); },
            {},
            [&controller] { return controller.connectedTunnels(); }};
}

std::vector<tunnelkit::Uuid> idList(const TunnelIds& ids) {
    return {ids.begin(), ids.end()};
}

MainWindowState::MainWindowState(QObject* parent) : QObject(parent) {}

void MainWindowState::setSidebar(const std::optional<SidebarItem>& item) {
    if (item != sidebar_) {
        sidebar_ = item;
        emit sidebarChanged();
    }
}

void MainWindowState::setSelection(const TunnelIds& ids) {
    if (ids != selection_) {
        selection_ = ids;
        emit selectionChanged();
    }
}

void MainWindowState::deselect(const TunnelIds& ids) {
    TunnelIds kept;
    std::ranges::set_difference(selection_, ids, std::inserter(kept, kept.end()));
    setSelection(kept);
}

void MainWindowState::setSearch(const QString& text) {
    if (text != search_) {
        search_ = text;
        emit searchChanged();
    }
}

void MainWindowState::setSearchFocused(bool focused) {
    if (focused != searchFocused_) {
        searchFocused_ = focused;
        emit searchFocusedChanged();
    }
}

void MainWindowState::setImportingConfig(bool importing) {
    if (importing != importingConfig_) {
        importingConfig_ = importing;
        emit importingConfigChanged();
    }
}

DetailPane chooseDetailPane(const TunnelIds& selection, const SidebarItem& group,
                            const TunnelController& controller, const TunnelDrafts& drafts) {
    if (selection.size() == 1) {
        const auto& id = *selection.begin();
        const auto tunnel = controller.tunnel(id);
        if (tunnel && tunnel->isTrashed()) {
            return {DetailPane::Kind::trashed, id};
        }
        if (tunnel || (drafts.newTunnel() && drafts.newTunnel()->id() == id)) {
            return {DetailPane::Kind::editor, id};
        }
    }
    if (selection.size() < 2) {
        return {};
    }
    return {DetailPane::Kind::several, {}, static_cast<int>(selection.size()), !group.isTrash()};
}

} // namespace burrowlight
