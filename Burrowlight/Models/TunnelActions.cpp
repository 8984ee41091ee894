#include "Burrowlight/Models/TunnelActions.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/Text.h"

namespace burrowlight {

using tunnelkit::Uuid;

namespace {

constexpr auto archiveExtension = ".burrowlight";

} // namespace

TunnelActions::TunnelActions(AppModel& app, MainWindowState& state, MainWindowDialogs& dialogs)
    : app_(app), state_(state), dialogs_(dialogs) {}

void TunnelActions::edit(const Uuid& id) {
    // Set afresh, so that a request still standing from before is followed again.
    app_.drafts().setFocusRequest(std::nullopt);
    app_.drafts().setFocusRequest(id);
}

void TunnelActions::duplicate(const Uuid& id) {
    const auto copy = app_.controller().duplicate(id, [](const std::string& name) {
        return tr("%1 Copy").arg(QString::fromStdString(name)).toStdString();
    });
    if (copy) {
        state_.setSelection({copy->id});
    }
}

QString TunnelActions::exportFileName(const TunnelIds& ids) const {
    QString name = tr("Tunnels");
    if (ids.size() == 1) {
        if (const auto tunnel = app_.controller().tunnel(*ids.begin())) {
            name = texts::displayName(*tunnel);
        }
    }
    // A name is not a path: a slash would propose a folder.
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return name + QLatin1String(archiveExtension);
}

void TunnelActions::exportTunnels(const TunnelIds& ids) {
    const std::string archive = app_.controller().exportTunnels(idList(ids));
    const auto path = dialogs_.chooseExportPath(exportFileName(ids));
    if (!path) {
        return;
    }
    const auto written = tunnelkit::writeFileAtomically(path->toStdString(), archive);
    if (!written) {
        dialogs_.run(texts::exportFailedAlert(static_cast<int>(ids.size()), written.error()));
    }
}

void TunnelActions::importFile() {
    if (const auto path = dialogs_.chooseImportFile()) {
        app_.importTunnels(*path);
    }
}

void TunnelActions::importConfig() {
    state_.setImportingConfig(true);
}

void TunnelActions::copyCommand(const Uuid& id) {
    if (const auto tunnel = app_.controller().tunnel(id)) {
        app_.copyCommand(*tunnel);
    }
}

void TunnelActions::deletePermanently(const TunnelIds& ids) {
    if (ids.empty()) {
        return;
    }
    QString name;
    if (ids.size() == 1) {
        if (const auto tunnel = app_.controller().tunnel(*ids.begin())) {
            name = texts::shownName(*tunnel);
        }
    }
    if (dialogs_.run(texts::deletePermanentlyAlert(static_cast<int>(ids.size()), name)) != 0) {
        return;
    }
    app_.controller().deletePermanently(idList(ids));
    state_.deselect(ids);
}

void TunnelActions::moveToTrash(const TunnelIds& ids) {
    app_.controller().moveToTrash(idList(ids));
    state_.deselect(ids);
}

void TunnelActions::newTag(const TunnelIds& ids) {
    const auto typed = dialogs_.ask({.title = tr("New Tag"),
                                     .fieldLabel = tr("Tag Name"),
                                     .text = {},
                                     .acceptTitle = tr("Add"),
                                     .cancelTitle = tr("Cancel"),
                                     .accepts = {}});
    if (!typed) {
        return;
    }
    const auto tag = tunnelkit::text::trimBlanks(typed->toStdString());
    if (!tag.empty()) {
        app_.controller().addTag(tag, idList(ids));
    }
}

} // namespace burrowlight
