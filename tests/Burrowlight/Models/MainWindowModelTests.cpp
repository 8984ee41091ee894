#include "Burrowlight/Models/DetailContext.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Models/TunnelRow.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"
#include "TunnelKit/TunnelStore.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

// Answers the window's questions as told, and keeps what it was asked.
struct ScriptedDialogs : MainWindowDialogs {
    std::optional<size_t> alertAnswer;
    std::vector<Alert> alerts;
    std::optional<QString> exportPath;
    std::vector<QString> proposedNames;
    std::optional<QString> importFile;
    std::optional<QString> typed;
    std::vector<TextPrompt> prompts;

    std::optional<size_t> run(const Alert& alert) override {
        alerts.push_back(alert);
        return alertAnswer;
    }
    std::optional<QString> chooseExportPath(const QString& fileName) override {
        proposedNames.push_back(fileName);
        return exportPath;
    }
    std::optional<QString> chooseImportFile() override { return importFile; }
    std::optional<QString> ask(const TextPrompt& prompt) override {
        prompts.push_back(prompt);
        return typed;
    }
};

Tunnel named(const std::string& name, std::vector<std::string> tags = {}) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = name + ".example.com";
    tunnel.tags = std::move(tags);
    return tunnel;
}

Tunnel trashed(Tunnel tunnel) {
    tunnel.deletedAt = tunnelkit::currentDate() - std::chrono::hours(30);
    return tunnel;
}

// A window's models over a model of its own in a throwaway home.
struct Window {
    ThrowawayHome& home;
    AppModel app{home.settings, home.alerts, home.parts()};
    ScriptedDialogs dialogs;
    MainWindowModel model{app, dialogs};
    QAbstractItemModelTester listTester{&model.list(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester sidebarTester{&model.sidebar(),
                                           QAbstractItemModelTester::FailureReportingMode::QtTest};

    explicit Window(ThrowawayHome& home) : home(home) {}

    TunnelController& controller() { return app.controller(); }
    MainWindowState& state() { return model.state(); }

    // The list's rows by title, the new draft's and the note's included.
    QStringList titles() {
        QStringList result;
        for (int row = 0; row < model.list().rowCount(); ++row) {
            result << model.list().index(row).data().toString();
        }
        return result;
    }
    QStringList menuTitles(const Menu& menu) {
        QStringList result;
        for (const auto& entry : menu) {
            result << (entry.kind == MenuEntry::Kind::separator ? QStringLiteral("-") : entry.title);
        }
        return result;
    }
    const MenuEntry& entry(const Menu& menu, const QString& title) {
        const auto found = std::ranges::find(menu, title, &MenuEntry::title);
        if (found == menu.end()) {
            qFatal("no menu entry %s", qPrintable(title));
        }
        return *found;
    }
    std::vector<std::string> tagsOf(const Uuid& id) { return controller().tunnel(id)->tags; }
};

} // namespace

class MainWindowModelTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void theNewTunnelStartsInTheChosenGroupAndStaysOnTop() {
        ThrowawayHome home;
        const Tunnel alpha = named("alpha", {"work"});
        home.storeTunnels({alpha, trashed(named("gone"))});
        Window window(home);

        window.state().setSidebar(SidebarItem::trash());
        window.model.createNewTunnel();
        const auto draft = window.app.drafts().newTunnel();
        QVERIFY(draft);
        QCOMPARE(window.state().sidebar(), SidebarItem::all());
        QCOMPARE(window.state().selection(), TunnelIds{draft->id()});
        QVERIFY(draft->tunnel().tags.empty());
        QVERIFY(!draft->tunnel().isPinned);
        QCOMPARE(window.titles(), (QStringList{"New Tunnel", "alpha"}));
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::editor, draft->id()}));
        draft->editTunnel([](Tunnel& tunnel) { tunnel.name = "  db\t"; });
        QCOMPARE(window.titles().front(), QStringLiteral("db"));

        // Another group keeps the new draft selected, alone; Recently Deleted shows no new draft.
        window.state().setSelection({draft->id(), alpha.id});
        window.state().setSidebar(SidebarItem::tagged("work"));
        QCOMPARE(window.state().selection(), TunnelIds{draft->id()});
        window.state().setSidebar(SidebarItem::trash());
        QVERIFY(window.state().selection().empty());
        QCOMPARE(window.titles(), (QStringList{TunnelListTexts::trashNote(), "gone"}));
        QCOMPARE(window.model.list().index(0).flags() & Qt::ItemIsSelectable, Qt::NoItemFlags);

        // A second request selects the same draft again.
        window.model.createNewTunnel();
        QCOMPARE(window.app.drafts().newTunnel(), draft);
        QCOMPARE(window.state().selection(), TunnelIds{draft->id()});

        window.app.drafts().dropNewTunnel();
        window.state().setSidebar(SidebarItem::tagged("work"));
        window.model.createNewTunnel();
        QCOMPARE(window.app.drafts().newTunnel()->tunnel().tags, std::vector<std::string>{"work"});
        window.app.drafts().dropNewTunnel();
        window.state().setSidebar(SidebarItem::pinned());
        window.model.createNewTunnel();
        QVERIFY(window.app.drafts().newTunnel()->tunnel().isPinned);
    }

    void requestsAndFocusRequestsAreFollowed() {
        ThrowawayHome home;
        const Tunnel live = named("live");
        const Tunnel old = trashed(named("old"));
        home.storeTunnels({live, old});
        Window window(home);
        window.app.setRequestsNewTunnel(true);
        window.model.appear();
        QVERIFY(!window.app.requestsNewTunnel());
        QVERIFY(window.app.drafts().newTunnel());
        QCOMPARE(window.state().selection(), TunnelIds{window.app.drafts().newTunnel()->id()});

        window.app.setRequestsConfigImport(true);
        QVERIFY(!window.app.requestsConfigImport());
        QVERIFY(window.state().importingConfig());

        window.app.drafts().setFocusRequest(old.id);
        QVERIFY(!window.app.drafts().focusRequest());
        QCOMPARE(window.state().selection(), TunnelIds{window.app.drafts().newTunnel()->id()});
        window.model.actions().edit(live.id);
        QCOMPARE(window.app.drafts().focusRequest(), live.id);
        QCOMPARE(window.state().selection(), TunnelIds{live.id});
        // A request still standing is followed again.
        window.state().setSelection({});
        window.model.actions().edit(live.id);
        QCOMPARE(window.state().selection(), TunnelIds{live.id});
    }

    void theDetailPaneFollowsTheSelection() {
        ThrowawayHome home;
        const Tunnel a = named("a");
        const Tunnel b = named("b");
        const Tunnel oldA = trashed(named("old a"));
        const Tunnel oldB = trashed(named("old b"));
        home.storeTunnels({a, b, oldA, oldB});
        Window window(home);
        QSignalSpy changes(&window.model, &MainWindowModel::detailPaneChanged);

        window.state().setSelection({a.id});
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::editor, a.id}));
        window.state().setSelection({a.id, b.id});
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::several, {}, 2, true}));
        window.model.connectSelection();
        QVERIFY(window.controller().state(a.id) != TunnelState::disconnected());
        QVERIFY(window.controller().state(b.id) != TunnelState::disconnected());
        window.model.disconnectSelection();

        window.state().setSidebar(SidebarItem::trash());
        window.state().setSelection({oldA.id});
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::trashed, oldA.id}));
        window.state().setSelection({oldA.id, oldB.id});
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::several, {}, 2, false}));
        window.state().setSelection({Uuid::random()});
        QCOMPARE(window.model.detailPane(), DetailPane{});
        QCOMPARE(changes.count(), 6);

        // A tunnel trashed elsewhere turns its editor into its page.
        window.state().setSidebar(SidebarItem::all());
        window.state().setSelection({a.id});
        window.controller().moveToTrash({a.id});
        QCOMPARE(window.model.detailPane(), (DetailPane{DetailPane::Kind::trashed, a.id}));
    }

    // A tab would open the shortcut column of the Tags submenu, a NUL end the title early.
    void theTagsSubmenuShowsEachTagOnItsOwnLine() {
        ThrowawayHome home;
        const Tunnel web = named("web", {"eu\tprod", std::string("a\0b", 3)});
        home.storeTunnels({web});
        Window window(home);
        QCOMPARE(window.menuTitles(window.model.tagMenu({web.id})),
                 (QStringList{QStringLiteral("a\uFFFDb"), QStringLiteral("eu prod"), "-", "New Tag…"}));
    }

    void theWindowIsTitledAfterTheTunnelOnShow() {
        ThrowawayHome home;
        Tunnel a = named("a");
        const Tunnel old = trashed(named("old"));
        home.storeTunnels({a, old});
        Window window(home);
        const auto title = [&] { return MainWindowTexts::windowTitle(window.model.detailTitle()); };
        QCOMPARE(title(), QStringLiteral("Burrowlight"));

        window.state().setSelection({a.id});
        QCOMPARE(title(), QStringLiteral("\u2068a\u2069 — Burrowlight"));
        a.name.clear();
        window.controller().save(a);
        QCOMPARE(title(), QStringLiteral("\u2068a.example.com\u2069 — Burrowlight"));
        window.state().setSelection({a.id, old.id});
        QCOMPARE(title(), QStringLiteral("Burrowlight"));
        window.state().setSidebar(SidebarItem::trash());
        window.state().setSelection({old.id});
        QCOMPARE(title(), QStringLiteral("\u2068old\u2069 — Burrowlight"));

        // The new tunnel keeps its title while its name is typed, and takes the name once saved.
        window.model.createNewTunnel();
        const auto draft = window.app.drafts().newTunnel();
        QCOMPARE(title(), QStringLiteral("\u2068New Tunnel\u2069 — Burrowlight"));
        draft->editTunnel([](Tunnel& tunnel) {
            tunnel.name = "db";
            tunnel.host = "db.example.com";
        });
        QCOMPARE(title(), QStringLiteral("\u2068New Tunnel\u2069 — Burrowlight"));
        DetailContext detail(window.app, window.model.actions(), draft, window.model.sources());
        QVERIFY(detail.saveDraft(false));
        QCOMPARE(title(), QStringLiteral("\u2068db\u2069 — Burrowlight"));
    }

    void sidebarCountsAndTagOperations() {
        ThrowawayHome home;
        const Tunnel web = named("web", {"work"});
        Tunnel db = named("db", {"work", "eu"});
        db.isPinned = true;
        const Tunnel old = trashed(named("old", {"work"}));
        home.storeTunnels({web, db, old, named("home")});
        Window window(home);
        auto& sidebar = window.model.sidebar();
        QStringList rows;
        for (int row = 0; row < sidebar.rowCount(); ++row) {
            const auto index = sidebar.index(row);
            rows << index.data().toString() + QLatin1Char(' ') +
                        index.data(SidebarModel::CountRole).toString();
        }
        QCOMPARE(rows, (QStringList{"All Tunnels 3", "Pinned 1", "Connected 0", "Tags ", "eu 1", "work 2",
                                    "Untagged 1", "Recently Deleted 1"}));

        // A rename that holds no tag is refused, by the prompt and by the model.
        window.state().setSidebar(SidebarItem::tagged("work"));
        window.dialogs.typed = QStringLiteral(",,");
        window.model.renameTag("work");
        const TextPrompt& prompt = window.dialogs.prompts.back();
        QCOMPARE(prompt.text, QStringLiteral("work"));
        QVERIFY(!prompt.accepts(QStringLiteral(",,")));
        QVERIFY(!prompt.accepts(QStringLiteral(" \t")));
        QVERIFY(prompt.accepts(QStringLiteral("prod")));
        QCOMPARE(window.tagsOf(web.id), std::vector<std::string>{"work"});
        QCOMPARE(window.tagsOf(old.id), std::vector<std::string>{"work"});

        QSignalSpy resets(&sidebar, &QAbstractItemModel::modelReset);
        window.dialogs.typed = QStringLiteral("  prod , blue\t");
        window.model.renameTag("work");
        QCOMPARE(window.tagsOf(web.id), (std::vector<std::string>{"blue", "prod"}));
        QCOMPARE(window.tagsOf(old.id), (std::vector<std::string>{"blue", "prod"}));
        QCOMPARE(window.state().sidebar(), SidebarItem::tagged("prod"));
        QCOMPARE(
            sidebar.index(sidebar.indexOf(SidebarItem::tagged("prod")).row()).data(SidebarModel::CountRole),
            2);

        // Deleting a tag reaches the trash too; deleting the chosen one goes back to All Tunnels.
        window.model.deleteTag("blue");
        QCOMPARE(window.state().sidebar(), SidebarItem::tagged("prod"));
        window.model.deleteTag("prod");
        QCOMPARE(window.state().sidebar(), SidebarItem::all());
        QCOMPARE(window.tagsOf(old.id), std::vector<std::string>{});
        QCOMPARE(window.tagsOf(db.id), std::vector<std::string>{"eu"});
        QCOMPARE(resets.count(), 0);

        // The tags submenu reads on only when every tunnel has the tag.
        Menu tags = window.model.tagMenu({web.id, db.id});
        QCOMPARE(window.menuTitles(tags), (QStringList{"eu", "-", "New Tag…"}));
        QVERIFY(!tags[0].checked);
        tags[0].run();
        QCOMPARE(window.tagsOf(web.id), std::vector<std::string>{"eu"});
        tags = window.model.tagMenu({web.id, db.id});
        QVERIFY(tags[0].checked);
        tags[0].run();
        QVERIFY(window.controller().allTags().empty());
        QCOMPARE(window.menuTitles(window.model.tagMenu({web.id})), QStringList{"New Tag…"});

        window.dialogs.typed = QStringLiteral("  \t ");
        window.model.actions().newTag({web.id});
        QVERIFY(window.tagsOf(web.id).empty());
        window.dialogs.typed = QStringLiteral(" staging ");
        window.model.actions().newTag({web.id});
        QCOMPARE(window.tagsOf(web.id), std::vector<std::string>{"staging"});
    }

    void actionsChangeTheTunnelsAndTheSelection() {
        ThrowawayHome home;
        const Tunnel web = named("web");
        const Tunnel webCopy = named("web Copy");
        const Tunnel db = named("db");
        Tunnel untitled = Tunnel::created();
        home.storeTunnels({web, webCopy, db, untitled});
        Window window(home);
        auto& actions = window.model.actions();

        window.state().setSelection({web.id, db.id});
        actions.duplicate(web.id);
        QCOMPARE(window.state().selection().size(), size_t(1));
        const auto copy = window.controller().tunnel(*window.state().selection().begin());
        QCOMPARE(copy->name, std::string("web Copy 2"));

        QCOMPARE(actions.exportFileName({untitled.id}), QStringLiteral("Untitled Tunnel.burrowlight"));
        QCOMPARE(actions.exportFileName({web.id, db.id}), QStringLiteral("Tunnels.burrowlight"));
        window.dialogs.exportPath = QString::fromStdString(home.folder.file("web.burrowlight"));
        actions.exportTunnels({web.id});
        QCOMPARE(window.dialogs.proposedNames.back(), QStringLiteral("web.burrowlight"));
        QVERIFY(window.dialogs.alerts.empty());
        const auto archive = tunnelkit::TunnelArchive::load(window.dialogs.exportPath->toStdString());
        QVERIFY(archive);
        QCOMPARE(archive->tunnels.size(), size_t(1));
        QCOMPARE(archive->tunnels[0].name, std::string("web"));

        // A failed write is shown, with the reason.
        window.dialogs.exportPath =
            QString::fromStdString(home.folder.file("web.burrowlight/inside.burrowlight"));
        actions.exportTunnels({web.id, db.id});
        QCOMPARE(window.dialogs.alerts.size(), size_t(1));
        QCOMPARE(window.dialogs.alerts[0].message, QStringLiteral("The tunnels couldn't be exported."));
        QVERIFY2(window.dialogs.alerts[0].informativeText.contains(QStringLiteral("isn't a folder")),
                 qPrintable(window.dialogs.alerts[0].informativeText));

        // To the trash without asking; the others stay selected.
        window.state().setSelection({web.id, db.id, copy->id});
        actions.moveToTrash({web.id, db.id});
        QCOMPARE(window.state().selection(), TunnelIds{copy->id});
        QVERIFY(window.controller().tunnel(web.id)->isTrashed());

        // Deleting for good always asks.
        window.state().setSidebar(SidebarItem::trash());
        window.state().setSelection({web.id, db.id});
        window.dialogs.alertAnswer = 1;
        window.model.deleteSelection();
        QCOMPARE(window.dialogs.alerts.back().message, QStringLiteral("Delete 2 tunnels permanently?"));
        QVERIFY(window.controller().tunnel(web.id));
        QCOMPARE(window.state().selection().size(), size_t(2));
        window.dialogs.alertAnswer = 0;
        actions.deletePermanently({web.id});
        QCOMPARE(window.dialogs.alerts.back().message,
                 QStringLiteral("Delete “\u2068web\u2069” permanently?"));
        QCOMPARE(window.dialogs.alerts.back().buttons[0].role, Alert::Button::Role::destructive);
        QVERIFY(!window.controller().tunnel(web.id));
        QCOMPARE(window.state().selection(), TunnelIds{db.id});

        // With nothing selected, Delete does nothing at all.
        const auto asked = window.dialogs.alerts.size();
        window.state().setSelection({});
        window.model.deleteSelection();
        window.state().setSelection({Uuid::random()});
        window.model.deleteSelection();
        QCOMPARE(window.dialogs.alerts.size(), asked);
        QVERIFY(window.controller().tunnel(db.id));

        // Restore from the trash's menu; a double-click there opens nothing.
        window.state().setSelection({db.id});
        const Menu trashMenu = window.model.contextMenu({db.id});
        QCOMPARE(window.menuTitles(trashMenu), (QStringList{"Restore", "Delete Permanently…"}));
        window.model.openRows({db.id});
        QVERIFY(!window.app.drafts().focusRequest());
        trashMenu[0].run();
        QVERIFY(!window.controller().tunnel(db.id)->isTrashed());
    }

    void theListChangesRowByRow() {
        ThrowawayHome home;
        std::vector<Tunnel> tunnels;
        for (const char* name : {"web 1", "web 2", "mail", "db"}) {
            tunnels.push_back(named(name));
        }
        Tunnel broken = named("broken");
        broken.host = "-bad";
        tunnels.push_back(broken);
        home.storeTunnels(tunnels);
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Window window(home);
        auto& list = window.model.list();
        QSignalSpy resets(&list, &QAbstractItemModel::modelReset);
        QSignalSpy removals(&list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changes(&list, &QAbstractItemModel::dataChanged);

        for (const auto* typed : {"w", "we", "web", "web ", "web 2"}) {
            window.state().setSearch(QString::fromLatin1(typed));
        }
        QCOMPARE(window.titles(), QStringList{"web 2"});
        window.state().setSearch(QStringLiteral("zzz"));
        QCOMPARE(list.emptyState()->title, QStringLiteral("No Results for “\u2068zzz\u2069”"));
        window.state().setSearch({});
        QCOMPARE(window.titles(), (QStringList{"broken", "db", "mail", "web 1", "web 2"}));
        QVERIFY(!list.emptyState());

        // A state change is one row's change.
        changes.clear();
        window.model.toggle(broken.id);
        QCOMPARE(window.controller().state(broken.id), TunnelState::failed());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex().row(), 0);
        QCOMPARE(list.index(0).data(TunnelListModel::StateRole).value<TunnelState>(), TunnelState::failed());
        QCOMPARE(statusDot(TunnelState::failed()).tint, StatusDotLook::Tint::red);
        const Menu menu = window.model.contextMenu({broken.id, tunnels[0].id});
        QCOMPARE(window.menuTitles(menu),
                 (QStringList{"Connect", "-", "Pin", "Tags", "Export…", "-", "Move to Trash"}));

        // So is an edit in an open draft: the edited mark follows it.
        const auto draft = window.app.drafts().draft(tunnels[2].id, tunnels[2]);
        window.app.drafts().registerDraft(draft);
        changes.clear();
        draft->editTunnel([](Tunnel& tunnel) { tunnel.note = "changed"; });
        QCOMPARE(changes.count(), 1);
        QVERIFY(list.index(2).data(TunnelListModel::EditedRole).toBool());
        QCOMPARE(resets.count(), 0);
    }

    void theSwitchAndTheMenuConnectAgainstTheServer() {
        ThrowawayHome home;
        home.startServer();
        const Tunnel tunnel = home.client->tunnel({});
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Window window(home);
        const auto row = window.model.list().rowOf(tunnel.id);
        QVERIFY(row);
        const auto stateOfRow = [&] {
            return window.model.list().index(*row).data(TunnelListModel::StateRole).value<TunnelState>();
        };

        window.model.toggle(tunnel.id);
        QTRY_VERIFY_WITH_TIMEOUT(stateOfRow().isConnected(), 20'000);
        QCOMPARE(statusDot(stateOfRow()).tint, StatusDotLook::Tint::green);
        QCOMPARE(TunnelRowTexts::rowSwitch(stateOfRow()),
                 (RowSwitchLook{true, true, QStringLiteral("Disconnect")}));
        QCOMPARE(window.model.sidebar().index(2).data(SidebarModel::CountRole), 1);

        window.state().setSidebar(SidebarItem::connected());
        window.model.toggle(tunnel.id);
        QTRY_COMPARE_WITH_TIMEOUT(window.controller().state(tunnel.id), TunnelState::disconnected(), 10'000);
        QVERIFY(window.titles().isEmpty());
        QCOMPARE(window.model.list().emptyState()->title, QStringLiteral("No Tunnels Connected"));

        window.state().setSidebar(SidebarItem::all());
        const Menu menu = window.model.contextMenu({tunnel.id});
        QCOMPARE(window.menuTitles(menu).mid(0, 5),
                 (QStringList{"Connect", "-", "Edit…", "Duplicate", "Copy SSH Command"}));
        menu[0].run();
        QTRY_VERIFY_WITH_TIMEOUT(stateOfRow().isConnected(), 20'000);
        window.app.shutdown();
    }
};

QTEST_MAIN(MainWindowModelTests)
#include "MainWindowModelTests.moc"
