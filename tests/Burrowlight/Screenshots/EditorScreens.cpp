// The tunnel editor: a tunnel with forwards of all four kinds, two extra options and every section
// open, beside the help of one option as the manual on this computer gives it; the menus of the
// forwards section and of the server field.
#include "Burrowlight/Core/ManualCache.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/EditorSections.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/Editor/OptionsList.h"
#include "Burrowlight/Widgets/MainWindow/WindowDialogs.h"
#include "Screenshots.h"
#include "TunnelKit/FileIO.h"

#include <QDir>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

using namespace burrowlight;
using tunnelkit::Forward;
using tunnelkit::Tunnel;

namespace {

// "Staging web" with a SOCKS forward on each side and two options beside its own forwards.
TunnelDrafts::Draft editedStaging(AppModel& app) {
    tunnelkit::Uuid id;
    for (const auto& tunnel : app.controller().tunnels()) {
        if (tunnel.name == "Staging web") {
            id = tunnel.id;
        }
    }
    auto draft = app.drafts().draft(id, app.controller().tunnel(id));
    app.drafts().registerDraft(draft);
    for (const auto kind : {Forward::Kind::dynamic, Forward::Kind::remoteDynamic}) {
        const auto added = draft->addForward(kind);
        draft->editForward(added, [kind](ForwardDraft& row) {
            row.listenPort = kind == Forward::Kind::dynamic ? QStringLiteral("1080") : QStringLiteral("1081");
            row.listenPortTyped = true;
        });
    }
    draft->editTunnel([](Tunnel& tunnel) {
        tunnel.options = {{tunnelkit::Uuid::random(), "ServerAliveInterval", "30"},
                          {tunnelkit::Uuid::random(), "ProxyCommand", "nc -X 5 -x proxy:1080 %h %p"}};
        tunnel.note = "Shared with the web team.";
    });
    return draft;
}

void waitFor(OptionHelp& help) {
    if (help.isLoaded()) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&help, &OptionHelp::loaded, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::chrono::seconds(30), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

BURROWLIGHT_SCREENSHOT("editor", "every-section") {
    AppModel& app = stage.model();
    auto& page = stage.own(std::make_unique<QWidget>());
    auto& dialogs = stage.own(std::make_unique<WindowDialogs>(page));
    auto& window = stage.own(std::make_unique<MainWindowModel>(app, dialogs));
    auto& sections = stage.own(std::make_unique<EditorSections>());
    auto* layout = new QHBoxLayout(&page);
    auto* detail = new TunnelDetail(window, editedStaging(app), sections, &page);
    layout->addWidget(detail, 1);
    for (auto* toggle : detail->findChildren<QToolButton*>()) {
        if (toggle->isCheckable() && toggle->text() == EditorSections::tr("Advanced")) {
            toggle->setChecked(true);
        }
    }
    const auto* entry = tunnelkit::SSHOptionCatalog::option("ServerAliveInterval");
    auto* help = new OptionHelp(*entry, ManualCache::shared(), &page);
    help->setWindowFlags(Qt::Widget);
    layout->addWidget(help, 0, Qt::AlignTop);
    page.resize(1400, 2000);
    page.show();
    waitFor(*help);
    return page;
}

// The "Other" menu of the forwards section, its second kind under the keyboard.
BURROWLIGHT_SCREENSHOT("editor", "other-menu") {
    auto& buttons = stage.own(std::make_unique<AddForwardButtons>([](Forward::Kind) {}));
    buttons.show();
    QMenu& menu = buttons.otherMenu();
    menu.popup(buttons.mapToGlobal(QPoint(0, buttons.height())));
    menu.setActiveAction(menu.actions().at(1));
    return menu;
}

// The server field's menu of the aliases in ~/.ssh/config, all shorter than its heading.
BURROWLIGHT_SCREENSHOT("editor", "host-menu") {
    const QString folder = QDir(screenshots::Stage::home()).filePath(QStringLiteral(".ssh"));
    QDir().mkpath(folder);
    (void)tunnelkit::writeFileAtomically((folder + QStringLiteral("/config")).toStdString(),
                                         "Host web db nas\n  User anna\nHost *\n  ServerAliveInterval 30\n");
    stage.model().settings().setUsesSSHConfig(true);
    auto& draft = stage.own(std::make_unique<TunnelDraft>(Tunnel::created(), true));
    auto& aliases =
        stage.own(std::make_unique<HostAliases>(stage.model().settings(), screenshots::Stage::home()));
    auto& field = stage.own(std::make_unique<HostField>(draft, aliases, nullptr));
    if (aliases.aliases().isEmpty()) {
        QEventLoop loop;
        QObject::connect(&aliases, &HostAliases::aliasesChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(std::chrono::seconds(30), &loop, &QEventLoop::quit);
        loop.exec();
    }
    field.resize(300, field.sizeHint().height());
    field.show();
    QMenu& menu = *field.aliasesButton().menu();
    menu.popup(field.mapToGlobal(QPoint(field.width(), field.height())));
    return menu;
}
