// The tray menu as a value: its two forms, the tunnel group over a real model and manager, the
// enabling of the group commands, the decoration in every language, and a toggle that connects a
// tunnel to the tests' sshd.
#include "../Widgets/Shell/ShellHarness.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Models/TrayMenuModel.h"
#include "PrivateBuses.h"

#include <QSignalSpy>
#include <QTest>
#include <set>

using namespace burrowlight;
using shell_testing::ThrowawayHome;
using tunnelkit::Tunnel;
using tunnelkit::TunnelProblem;
using tunnelkit::TunnelState;
using Kind = TrayMenuItem::Kind;

namespace {

// Titles of the items, "—" for a divider.
QStringList titles(const std::vector<TrayMenuItem>& items) {
    QStringList shown;
    for (const auto& item : items) {
        shown.append(item.kind == Kind::divider ? QStringLiteral("—") : item.title);
    }
    return shown;
}

const TrayMenuItem* itemTitled(const TrayMenu& menu, const QString& title) {
    const auto found = std::ranges::find(menu.items, title, &TrayMenuItem::title);
    return found == menu.items.end() ? nullptr : &*found;
}

Tunnel named(const std::string& name, const std::string& host = "host.example.com") {
    auto tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = host;
    return tunnel;
}

TrayMenuFacts acceptedWith(const std::vector<TunnelState>& states) {
    TrayMenuFacts facts{.termsAccepted = true};
    for (size_t index = 0; index < states.size(); ++index) {
        facts.tunnels.push_back(
            {named("tunnel " + std::to_string(100 + index)), states[index], std::nullopt});
    }
    return facts;
}

struct GroupCommands {
    bool connectAll;
    bool disconnectAll;
    bool operator==(const GroupCommands&) const = default;
};

GroupCommands enabling(const TrayMenu& menu) {
    return {itemTitled(menu, QStringLiteral("Connect All"))->enabled,
            itemTitled(menu, QStringLiteral("Disconnect All"))->enabled};
}

} // namespace

class TrayMenuModelTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void beforeTheTermsOnlyTheTermsAndQuit() {
        TrayMenuFacts facts = acceptedWith({TunnelState::connected({})});
        facts.termsAccepted = false;
        facts.tags = {"work"};
        const TrayMenu menu = buildTrayMenu(facts);
        QCOMPARE(titles(menu.items), (QStringList{"Terms of Use…", "—", "Quit Burrowlight"}));
        QCOMPARE(menu.items[0].action, TrayMenuAction(tray::OpenTerms{}));
        QCOMPARE(menu.items[2].action, TrayMenuAction(tray::Terminate{}));
        QVERIFY2(menu.minimumWidth == 0 && menu.items[2].iconName.isEmpty(),
                 "the terms-only menu is not decorated");
    }

    void withoutTunnelsTheMenuOffersANewOne() {
        const TrayMenu menu = buildTrayMenu({.termsAccepted = true, .tags = {"left over"}});
        QCOMPARE(titles(menu.items),
                 (QStringList{"New Tunnel…", "—", "Open Burrowlight", "Settings…", "Buy Me a Coffee",
                              "Report a Problem…", "—", "Quit Burrowlight"}));
        QCOMPARE(menu.items[0].action, TrayMenuAction(tray::NewTunnel{}));
        QCOMPARE(menu.items.back().action, TrayMenuAction(tray::Quit{}));
        QCOMPARE(menu.minimumWidth, trayMenuMinimumWidth);
        QStringList icons;
        for (const auto& item : menu.items) {
            icons.append(item.iconName);
        }
        QCOMPARE(icons, (QStringList{"plus", "", "macwindow", "gearshape", "cup.and.heat.waves",
                                     "exclamationmark.bubble", "", "power"}));
        QVERIFY(!itemTitled(buildTrayMenu({.termsAccepted = true, .showsSettings = false}), "Settings…"));
    }

    void updatesAddTheirItems() {
        const TrayMenu menu =
            buildTrayMenu({.termsAccepted = true, .updateWaiting = true, .updatesConfigured = true});
        QCOMPARE(titles(menu.items).mid(0, 3), (QStringList{"Install Update…", "—", "New Tunnel…"}));
        QCOMPARE(titles(menu.items).mid(4, 3),
                 (QStringList{"Open Burrowlight", "Settings…", "Check for Updates…"}));
        QCOMPARE(menu.items[0].action, TrayMenuAction(tray::CheckForUpdates{}));
        QCOMPARE(menu.items[6].iconName, QStringLiteral("arrow.down.circle"));
    }

    // 21 live tunnels, one of them unnamed and one pinned, and a tag that only a trashed tunnel
    // carries, read from a real model and manager.
    void theTunnelGroupFollowsTheManager() {
        ThrowawayHome home;
        std::vector<Tunnel> stored;
        for (int index = 1; index <= 19; ++index) {
            auto tunnel =
                named(QStringLiteral("tunnel %1").arg(index, 2, 10, QLatin1Char('0')).toStdString());
            tunnel.tags = {index % 2 ? "odd" : "even"};
            stored.push_back(tunnel);
        }
        auto unnamed = named("", "db1");
        auto pinned = named("zebra");
        pinned.isPinned = true;
        auto trashed = named("old one");
        trashed.tags = {"archive"};
        trashed.deletedAt = tunnelkit::currentDate();
        stored.insert(stored.begin(), {unnamed, pinned, trashed});
        home.storeTunnels(stored);
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        TrayMenuModel tray(model, {});

        const TrayMenu& menu = tray.menu();
        QCOMPARE(std::ranges::count(menu.items, true, &TrayMenuItem::checkable), std::ptrdiff_t(20));
        QCOMPARE(menu.items[0].title, QStringLiteral("zebra\nNot Connected"));
        QCOMPARE(menu.items[0].action, TrayMenuAction(tray::ToggleTunnel{pinned.id, true}));
        QCOMPARE(menu.items[1].title, QStringLiteral("db1\nNot Connected"));
        QCOMPARE(menu.items[19].title, QStringLiteral("tunnel 18\nNot Connected"));
        QCOMPARE(titles(menu.items).mid(20, 6),
                 (QStringList{"All Tunnels…", "—", "Connect All", "Disconnect All", "Tags", "—"}));
        QCOMPARE(menu.items[20].iconName, QStringLiteral("list.bullet"));
        const TrayMenuItem& tags = menu.items[24];
        QCOMPARE(tags.kind, Kind::submenu);
        QCOMPARE(titles(tags.children), (QStringList{"even", "odd"}));
        const TrayMenuItem& odd = tags.children[1];
        QCOMPARE(titles(odd.children), (QStringList{"Connect All", "Disconnect All"}));
        QCOMPARE(odd.children[0].action, TrayMenuAction(tray::ConnectTagged{"odd"}));
        QCOMPARE(odd.children[1].action, TrayMenuAction(tray::DisconnectTagged{"odd"}));
        QVERIFY2(odd.children[0].iconName.isEmpty() && odd.children[1].enabled,
                 "a tag's items are plain, always enabled");

        // The list changes as the manager's does, and only then.
        QSignalSpy changed(&tray, &TrayMenuModel::changed);
        model.controller().moveToTrash({pinned.id});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(menu.items[0].title, QStringLiteral("db1\nNot Connected"));
        QCOMPARE(menu.items[19].title, QStringLiteral("tunnel 19\nNot Connected"));
        QVERIFY2(!itemTitled(menu, "All Tunnels…"), "20 tunnels all fit");
        tray.refresh();
        QCOMPARE(changed.size(), 1);
    }

    void groupCommandsFollowEveryTunnelsState() {
        const auto connected = TunnelState::connected({});
        const auto retrying = TunnelState::retrying(2, {});
        const auto connecting = TunnelState::connecting();
        const auto off = TunnelState::disconnected();
        const auto failed = TunnelState::failed();
        const auto disconnecting = TunnelState::disconnecting();
        QCOMPARE(enabling(buildTrayMenu(acceptedWith({connected, retrying, connecting}))),
                 (GroupCommands{false, true}));
        QCOMPARE(enabling(buildTrayMenu(acceptedWith({off, failed, disconnecting}))),
                 (GroupCommands{true, false}));
        QCOMPARE(enabling(buildTrayMenu(acceptedWith({connected, off}))), (GroupCommands{true, true}));
        // The one tunnel beyond the twenty shown counts too.
        std::vector<TunnelState> states(20, connected);
        states.push_back(off);
        QCOMPARE(enabling(buildTrayMenu(acceptedWith(states))), (GroupCommands{true, true}));
        states.assign(20, off);
        states.push_back(connecting);
        QCOMPARE(enabling(buildTrayMenu(acceptedWith(states))), (GroupCommands{true, true}));
    }

    void theToggleShowsTheStateOrWhyItFailed() {
        TrayMenuFacts facts =
            acceptedWith({TunnelState::failed(), TunnelState::failed(), TunnelState::retrying(2, {}),
                          TunnelState::connected({}), TunnelState::disconnecting()});
        facts.tunnels[1].problem = TunnelProblem::exited(255);
        facts.tunnels[3].tunnel.name = "R&D\twiki";
        const TrayMenu menu = buildTrayMenu(facts);
        QCOMPARE(menu.items[0].title, QStringLiteral("tunnel 100\nFailed"));
        QCOMPARE(menu.items[1].title.section('\n', 0, 0), QStringLiteral("tunnel 101"));
        QVERIFY(menu.items[1].title.section('\n', 1) != QStringLiteral("Failed"));
        QCOMPARE(menu.items[2].title, QStringLiteral("tunnel 102\nRetrying (attempt 2)"));
        QVERIFY(menu.items[2].checked);
        QCOMPARE(menu.items[2].action, TrayMenuAction(tray::ToggleTunnel{facts.tunnels[2].tunnel.id, false}));
        // A tab would open the shortcut column; the "&" stays as typed until the menu draws it.
        QCOMPARE(menu.items[3].title, QStringLiteral("R&D wiki\nNo forwards"));
        QCOMPARE(menu.items[4].title, QStringLiteral("tunnel 104\nDisconnecting…"));
        QVERIFY(!menu.items[4].checked);
    }

    // 80 characters of a long name, none cut in two; the bus that carries the menu ends a text at NUL.
    void aLongOrCraftedNameKeepsToItsLine() {
        TrayMenuFacts facts = acceptedWith({TunnelState::disconnected(), TunnelState::disconnected()});
        QString longName(79, QLatin1Char('x'));
        for (int count = 0; count < 9921; ++count) {
            longName += QStringLiteral("👍");
        }
        facts.tunnels[0].tunnel.name = longName.toStdString();
        facts.tunnels[1].tunnel.name = std::string("a\0b", 3);
        const TrayMenu menu = buildTrayMenu(facts);
        QCOMPARE(menu.items[0].title, QString(79, QLatin1Char('x')) + QStringLiteral("👍…\nNot Connected"));
        QCOMPARE(menu.items[1].title, QStringLiteral("a\uFFFDb\nNot Connected"));
    }

    void everyLanguageKeepsTheDecorationsTitlesApart() {
        for (const char* localization : {"en", "it"}) {
            const AppTranslation translation(QString::fromLatin1(localization));
            std::set<QString> distinct;
            for (const auto& row : menuSymbolTable()) {
                distinct.insert(row.title);
            }
            QCOMPARE(distinct.size(), size_t(12));
            const TrayMenu menu = buildTrayMenu(acceptedWith({TunnelState::disconnected()}));
            QCOMPARE(menu.minimumWidth, trayMenuMinimumWidth);
            QCOMPARE(menu.items.back().iconName, QStringLiteral("power"));
        }
        const AppTranslation italian(QStringLiteral("it"));
        QCOMPARE(buildTrayMenu({.termsAccepted = true}).items.back().title,
                 QStringLiteral("Esci da Burrowlight"));
    }

    void windowAndApplicationItemsRunTheirHandlers() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        QStringList ran;
        const auto record = [&](const char* name) {
            return [&ran, name] { ran.append(QString::fromLatin1(name)); };
        };
        TrayMenuModel tray(model, {.openMain = record("main"),
                                   .openTerms = record("terms"),
                                   .openSettings = record("settings"),
                                   .newTunnel = record("new"),
                                   .reportProblem = record("report"),
                                   .openTipPage = record("tip"),
                                   .quit = record("quit"),
                                   .terminate = record("terminate")});
        for (const TrayMenuAction& action :
             {TrayMenuAction(tray::NewTunnel{}), TrayMenuAction(tray::ShowAllTunnels{}),
              TrayMenuAction(tray::OpenMain{}), TrayMenuAction(tray::OpenSettings{}),
              TrayMenuAction(tray::OpenTipPage{}), TrayMenuAction(tray::ReportProblem{}),
              TrayMenuAction(tray::Quit{}), TrayMenuAction(tray::OpenTerms{}),
              TrayMenuAction(tray::Terminate{})}) {
            tray.trigger(action);
        }
        QCOMPARE(ran, (QStringList{"new", "main", "main", "settings", "tip", "report", "quit", "terms",
                                   "terminate"}));
    }

    // The menu's own action connects the tunnel, and the toggle turns on as the engine reports it.
    void theToggleDrivesTheEngine() {
        ThrowawayHome home;
        home.startServer();
        const Tunnel tunnel = home.client->tunnel({});
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        TrayMenuModel tray(model, {});
        QSignalSpy changed(&tray, &TrayMenuModel::changed);
        QCOMPARE(tray.menu().items[0].action, TrayMenuAction(tray::ToggleTunnel{tunnel.id, true}));

        tray.trigger(tray.menu().items[0].action);
        QVERIFY(tray.menu().items[0].checked);
        QTRY_COMPARE_WITH_TIMEOUT(tray.menu().items[0].title, QStringLiteral("test server\nNo forwards"),
                                  20'000);
        QVERIFY(model.controller().state(tunnel.id).isConnected());
        QVERIFY(!enabling(tray.menu()).connectAll);
        QVERIFY(changed.size() >= 2);

        tray.trigger(tray.menu().items[0].action);
        QTRY_COMPARE(tray.menu().items[0].title, QStringLiteral("test server\nNot Connected"));
        QVERIFY(!tray.menu().items[0].checked);
        model.shutdown();
    }
};

QTEST_GUILESS_MAIN(TrayMenuModelTests)
#include "TrayMenuModelTests.moc"
