#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

Tunnel named(const std::string& name) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = name + ".example.com";
    return tunnel;
}

struct Window {
    ThrowawayHome& home;
    AppModel app{home.settings, home.alerts, home.parts()};
    MainWindowView view{app};

    explicit Window(ThrowawayHome& home) : home(home) {
        view.resize(1040, 660);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    QListView& list() { return view.list().view(); }
    QModelIndex row(const Uuid& id) { return view.model().list().index(*view.model().list().rowOf(id)); }
    // The texts the detail column shows.
    QStringList detailTexts() {
        QStringList texts;
        for (const auto* label : view.detail().findChildren<QLabel*>()) {
            if (label->isVisible()) {
                texts << label->text();
            }
        }
        for (const auto* text : view.detail().findChildren<VerbatimText*>()) {
            if (text->isVisible()) {
                texts << text->text();
            }
        }
        return texts;
    }
    void click(QAbstractItemView& view, const QModelIndex& index, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.visualRect(index).center());
    }
};

} // namespace

class MainWindowViewTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void selectingAndSearchingReachTheWindowState() {
        ThrowawayHome home;
        const Tunnel web = named("web");
        const Tunnel db = named("db");
        home.storeTunnels({web, db});
        Window window(home);
        auto& state = window.view.model().state();
        QCOMPARE(window.view.detail().pane().kind, DetailPane::Kind::empty);

        window.click(window.list(), window.row(web.id));
        QCOMPARE(state.selection(), TunnelIds{web.id});
        QVERIFY(window.detailTexts().contains(QStringLiteral("web")));
        window.click(window.list(), window.row(db.id), Qt::ControlModifier);
        QCOMPARE(state.selection(), (TunnelIds{web.id, db.id}));
        QVERIFY(window.detailTexts().contains(QStringLiteral("2 Tunnels Selected")));

        // A search hides a selected row; the window keeps it selected.
        QTest::keyClick(&window.view, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(window.view.searchField().hasFocus());
        QVERIFY(!state.keysActive());
        QTest::keyClicks(&window.view.searchField(), QStringLiteral("we"));
        QCOMPARE(window.view.model().list().rowCount(), 1);
        QCOMPARE(state.selection(), (TunnelIds{web.id, db.id}));
        window.view.searchField().clear();
        QCOMPARE(window.list().selectionModel()->selectedIndexes().size(), 2);

        window.list().setFocus();
        QVERIFY(state.keysActive());
        window.click(window.list(), window.row(db.id));
        QTest::keyClick(&window.list(), Qt::Key_Delete);
        QVERIFY(window.app.controller().tunnel(db.id)->isTrashed());
        QVERIFY(state.selection().empty());

        const QModelIndex pinned = window.view.model().sidebar().indexOf(SidebarItem::trash());
        window.click(window.view.sidebar().view(), pinned);
        QCOMPARE(state.sidebar(), SidebarItem::trash());
        QCOMPARE(window.view.list().title().text(), QStringLiteral("Recently Deleted"));
    }

    // Wider than its column, a tag's title is cut at its end with "…"; whoever reads the window
    // hears it whole.
    void aLongTitleEndsInAnEllipsis() {
        ThrowawayHome home;
        const QString tag =
            QStringLiteral("customer-production-environment-eu-west-1, recovery in Frankfurt");
        QCOMPARE(shortened(tag), tag);
        Tunnel web = named("web");
        web.tags = {tag.toStdString()};
        home.storeTunnels({web});
        Window window(home);
        window.view.model().state().setSidebar(SidebarItem::tagged(web.tags.front()));
        const QLabel& title = window.view.list().title();
        QVERIFY(title.text().endsWith(QChar(0x2026)));
        QVERIFY(tag.startsWith(title.text().chopped(1)));
        QCOMPARE(title.accessibleName(), tag);
    }

    // Qt would show nothing after a U+009C; in a title it shows as another control character does,
    // whole where it fits and else cut at the end, and whoever reads the window hears it as it is.
    void aTitleShowsU009CAsAnotherControlCharacter() {
        const auto holding = [](char16_t control, const char* around) {
            return QString::fromUtf8(around).replace(QLatin1Char('|'), QChar(control)).toStdString();
        };
        const char* fits = "web|prod";
        const char* cut = "customer-production|environment-eu-west-1, recovery site in Frankfurt";
        Tunnel web = named("web");
        for (const char* around : {fits, cut}) {
            web.tags.push_back(holding(0x9C, around));
            web.tags.push_back(holding(0x01, around));
        }
        ThrowawayHome home;
        home.storeTunnels({web});
        Window window(home);
        const QLabel& title = window.view.list().title();
        const auto shown = [&](const std::string& tag) {
            window.view.model().state().setSidebar(SidebarItem::tagged(tag));
            QCoreApplication::processEvents();
            return window.view.grab(QRect(title.mapTo(&window.view, QPoint()), title.size())).toImage();
        };
        for (const char* around : {fits, cut}) {
            QCOMPARE(shown(holding(0x9C, around)), shown(holding(0x01, around)));
        }
        shown(holding(0x9C, cut));
        QVERIFY(title.text().endsWith(QChar(0x2026)));
        QVERIFY(title.text().size() > QStringLiteral("customer-production…").size());
        QCOMPARE(title.accessibleName(), QString::fromStdString(holding(0x9C, cut)));
    }

    void newTunnelButtonAndEmptyStates() {
        ThrowawayHome home;
        Window window(home);
        auto& list = window.view.list();
        QVERIFY(list.emptyState().isVisible());
        QCOMPARE(list.emptyState().title().text(), QStringLiteral("No Tunnels"));
        QCOMPARE(list.emptyState().buttons().size(), size_t(2));

        window.view.newTunnelButton().click();
        const auto& draft = window.app.drafts().newTunnel();
        QVERIFY(draft);
        QVERIFY(!list.emptyState().isVisible());
        QVERIFY(window.list().selectionModel()->isSelected(window.row(draft->id())));
        QVERIFY(window.detailTexts().contains(QStringLiteral("New Tunnel")));
        // The placeholder detail took the request to show it up.
        QVERIFY(!window.app.drafts().focusRequest());
    }

    void theSwitchFlipsWithoutSelectingTheRow() {
        ThrowawayHome home;
        Tunnel broken = named("broken");
        broken.host = "-bad";
        home.storeTunnels({broken});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Window window(home);
        QStyleOptionViewItem option;
        option.rect = window.list().visualRect(window.row(broken.id));
        option.font = window.list().font();
        const auto* delegate = qobject_cast<TunnelRowDelegate*>(window.list().itemDelegate());
        const QRect toggle = delegate->geometry(option, window.row(broken.id)).toggle;
        QVERIFY(!toggle.isEmpty());
        QTest::mouseClick(window.list().viewport(), Qt::LeftButton, {}, toggle.center());
        QCOMPARE(window.app.controller().state(broken.id), TunnelState::failed());
        QVERIFY(window.view.model().state().selection().empty());
    }

    // A tunnel stays connecting while ssh waits on its proxy command.
    void theDotPulsesOnlyWhileARowIsConnecting() {
        ThrowawayHome home;
        Tunnel waiting = named("waiting");
        waiting.options = {{Uuid::random(), "ProxyCommand", "sleep 30"}};
        home.storeTunnels({waiting, named("idle")});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Window window(home);
        QVERIFY(!window.view.list().isPulsing());

        window.view.model().toggle(waiting.id);
        QCOMPARE(window.app.controller().state(waiting.id), TunnelState::connecting());
        QVERIFY(window.view.list().isPulsing());

        StatusDot dot;
        dot.setState(TunnelState::connecting());
        QVERIFY(!dot.isPulsing());
        dot.show();
        QVERIFY(dot.isPulsing());
        dot.setState(TunnelState::disconnecting());
        QVERIFY(!dot.isPulsing());

        window.view.model().toggle(waiting.id);
        QTRY_COMPARE_WITH_TIMEOUT(window.app.controller().state(waiting.id), TunnelState::disconnected(),
                                  10'000);
        QVERIFY(!window.view.list().isPulsing());
        window.app.shutdown();
    }

    // Whichever window has the keyboard, the question is asked, over the main window.
    void deletingForGoodAlwaysAsksOverTheWindow() {
        ThrowawayHome home;
        Tunnel old = named("old");
        old.deletedAt = tunnelkit::currentDate();
        home.storeTunnels({old});
        Window window(home);
        window.view.model().state().setSidebar(SidebarItem::trash());
        window.view.model().state().setSelection({old.id});
        QWidget* askedOver = nullptr;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            askedOver = box->parentWidget();
            box->reject();
        });
        window.list().setFocus();
        QTest::keyClick(&window.list(), Qt::Key_Delete);
        QCOMPARE(askedOver, &window.view);
        QVERIFY(window.app.controller().tunnel(old.id));
    }

    void menusOfferTheModelsEntries() {
        ThrowawayHome home;
        Tunnel work = named("web");
        work.tags = {"work & play"};
        home.storeTunnels({work});
        Window window(home);
        QMenu menu;
        window.view.list().fillContextMenu(menu, {work.id});
        QStringList titles;
        for (const auto* action : menu.actions()) {
            titles << action->text();
        }
        QCOMPARE(titles.size(), 10);
        QCOMPARE(titles.front(), QStringLiteral("Connect"));
        QMenu* tags = menu.actions().at(6)->menu();
        QVERIFY(tags);
        QCOMPARE(tags->actions().front()->text(), QStringLiteral("work && play"));
        QVERIFY(tags->actions().front()->isChecked());
        tags->actions().front()->trigger();
        QVERIFY(window.app.controller().tunnel(work.id)->tags.empty());
    }
};

QTEST_MAIN(MainWindowViewTests)
#include "MainWindowViewTests.moc"
