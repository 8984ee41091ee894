#include "Burrowlight/Widgets/Detail/DetailParts.h"
#include "Burrowlight/Widgets/Detail/TrashedTunnelPage.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>
#include <filesystem>
#include <fstream>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Tunnel;
using tunnelkit::Uuid;

namespace {

Tunnel named(const std::string& name) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = name + ".example.com";
    return tunnel;
}

// The main window with the real detail pages.
struct Window {
    ThrowawayHome& home;
    AppModel app{home.settings, home.alerts, home.parts()};
    MainWindowView view{app, parts()};

    explicit Window(ThrowawayHome& home) : home(home) {
        view.resize(1100, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    MainWindowParts parts() {
        MainWindowParts parts;
        parts.details = std::make_unique<TunnelDetails>();
        return parts;
    }

    TunnelDetail* detail() { return dynamic_cast<TunnelDetail*>(view.detail().page()); }
    void select(const Uuid& id) { view.model().state().setSelection({id}); }
};

// Stands in for ssh: says `count` info lines, each followed by a debug line, then waits.
std::string talkativeSSH(const ThrowawayHome& home, int count) {
    const std::string path = home.folder.file("talkative-ssh");
    std::ofstream(path) << "#!/bin/sh\ni=1\nwhile [ $i -le " << count
                        << " ]; do echo \"line $i\" >&2; echo \"debug1: detail $i\" >&2; i=$((i+1)); done\n"
                           "exec sleep 60\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

// While it lives, the application's monospace is the font of `fileName`, as unpacked by
// scripts/install-deps --tests or installed by Debian's package.
class Monospace {
  public:
    explicit Monospace(const QString& fileName)
        : generic_(QFontDatabase::systemFont(QFontDatabase::FixedFont).family()) {
        for (const QString& fonts : {QStringLiteral(TEST_FONTS_DIR "/usr/share/fonts/truetype/"),
                                     QStringLiteral("/usr/share/fonts/truetype/")}) {
            if (QFile::exists(fonts + fileName)) {
                id_ = QFontDatabase::addApplicationFont(fonts + fileName);
                break;
            }
        }
        family_ = QFontDatabase::applicationFontFamilies(id_).value(0);
        // Qt takes a substitute before what fontconfig makes of the generic name.
        QFont::insertSubstitution(generic_, family_);
    }
    ~Monospace() {
        QFont::removeSubstitutions(generic_);
        QFontDatabase::removeApplicationFont(id_);
    }
    Monospace(const Monospace&) = delete;
    Monospace& operator=(const Monospace&) = delete;

    // What the editor's fields take; the system font itself keeps what it found first.
    bool isInUse() const {
        return !family_.isEmpty() &&
               QFontInfo(editorLook::monospaced(QApplication::font())).family() == family_;
    }

  private:
    QString generic_;
    QString family_;
    int id_ = -1;
};

} // namespace

class TunnelDetailTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    // The delayed focus must not reach a detail that another selection has already replaced.
    void aFocusRequestOutlivedByItsDetailTouchesNothing() {
        ThrowawayHome home;
        const Tunnel web = named("web");
        const Tunnel db = named("db");
        home.storeTunnels({web, db});
        Window window(home);
        window.view.model().actions().edit(web.id);
        QVERIFY(window.detail());
        QCOMPARE(window.detail()->context().id(), web.id);
        QVERIFY(!window.app.drafts().focusRequest());
        window.select(db.id);
        QCOMPARE(window.detail()->context().id(), db.id);
        QTest::qWait(int(TunnelDetail::focusDelay.count()) * 2);
        QVERIFY(!window.detail()->header().nameField().hasFocus());

        window.view.model().actions().edit(db.id);
        QTRY_VERIFY(window.detail()->header().nameField().hasFocus());
        QCOMPARE(window.detail()->context().focus().current(),
                 std::optional<EditorFocus>(editorFocus::Name{}));
    }

    void typingEditsTheDraftAndTheBarSavesIt() {
        ThrowawayHome home;
        const Tunnel web = named("web");
        home.storeTunnels({web});
        Window window(home);
        window.select(web.id);
        TunnelDetail& detail = *window.detail();
        QVERIFY(!detail.unsavedBar().isVisible());
        QLineEdit& name = detail.header().nameField();
        name.setFocus();
        QTest::keyClicks(&name, " 2");
        QCOMPARE(detail.context().draft().tunnel().name, std::string("web 2"));
        QVERIFY(detail.unsavedBar().isVisible());
        QCOMPARE(detail.unsavedBar().title().text(), QStringLiteral("Unsaved Changes"));
        QVERIFY(!detail.header().connectButton().isEnabled());

        // Return saves only while the search field does not have the keyboard.
        window.view.model().state().setSearchFocused(true);
        QTest::keyClick(&name, Qt::Key_Return);
        QCOMPARE(window.app.controller().tunnel(web.id)->name, std::string("web"));
        window.view.model().state().setSearchFocused(false);
        QTest::keyClick(&name, Qt::Key_Return);
        QCOMPARE(window.app.controller().tunnel(web.id)->name, std::string("web 2"));
        QVERIFY(!detail.unsavedBar().isVisible());
        QVERIFY(detail.header().connectButton().isEnabled());
    }

    // A server longer than a line edit holds by default shows whole; saved with another field
    // edited, it stays as it was, and with its last letter replaced, only that letter differs.
    void aHugeServerIsKeptWhole() {
        ThrowawayHome home;
        Tunnel huge = named("huge");
        huge.host = std::string(100'000, 'h');
        home.storeTunnels({huge});
        AppModel app{home.settings, home.alerts, home.parts()};
        const auto window = makeMainWindowView(app);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->model().state().setSelection({huge.id});
        TunnelDetail& detail = *dynamic_cast<TunnelDetail*>(window->detail().page());
        QLineEdit& server = detail.findChild<HostField*>()->edit();
        QCOMPARE(server.text().size(), qsizetype(huge.host.size()));
        const auto stored = [&] { return app.controller().tunnel(huge.id).value(); };

        for (auto* toggle : detail.findChildren<QToolButton*>()) {
            if (toggle->text() == QStringLiteral("Advanced")) {
                toggle->setChecked(true);
            }
        }
        QPlainTextEdit& note = detail.findChild<AdvancedFields*>()->note();
        note.setFocus();
        QTest::keyClicks(&note, "prod");
        detail.unsavedBar().prominentSaveButton().click();
        QCOMPARE(stored().note, std::string("prod"));
        QCOMPARE(stored().host, huge.host);

        server.setFocus();
        server.end(false);
        QTest::keyClick(&server, Qt::Key_Backspace);
        QTest::keyClicks(&server, "x");
        detail.unsavedBar().prominentSaveButton().click();
        QCOMPARE(stored().host, std::string(99'999, 'h') + 'x');
    }

    // Bottom-aligned, the User, Server and Port captions stand on one line only while the three
    // fields are as tall, also in a monospace taller than the text; a new tunnel's too.
    void theServerRowIsOneHeightInATallMonospace() {
        const Monospace monospace(QStringLiteral("noto/NotoSansMono-Regular.ttf"));
        if (!monospace.isInUse()) {
            QSKIP("Noto Sans Mono is neither unpacked by scripts/install-deps --tests nor installed");
        }
        ThrowawayHome home;
        const Tunnel web = named("web");
        home.storeTunnels({web});
        AppModel app{home.settings, home.alerts, home.parts()};
        const auto window = makeMainWindowView(app);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const bool isNew : {false, true}) {
            if (isNew) {
                window->model().createNewTunnel();
            } else {
                window->model().state().setSelection({web.id});
            }
            TunnelDetail& detail = *dynamic_cast<TunnelDetail*>(window->detail().page());
            QVERIFY(detail.context().draft().isNew() == isNew);
            const QWidget& server = *detail.findChild<HostField*>();
            QTRY_COMPARE(server.height(), detail.header().userField().height());
            QCOMPARE(detail.header().portField().height(), server.height());
        }
    }

    void theNewTunnelCancelsAway() {
        ThrowawayHome home;
        Window window(home);
        window.view.model().createNewTunnel();
        TunnelDetail* detail = window.detail();
        QVERIFY(detail);
        QCOMPARE(detail->unsavedBar().title().text(), QStringLiteral("New tunnel, not saved yet"));
        QVERIFY(!detail->header().connectButton().isVisible());
        QVERIFY(!detail->header().hostWarning().isVisible());
        QVERIFY(!detail->logCard());
        detail->unsavedBar().cancelButton().click();
        QTRY_VERIFY(!window.app.drafts().newTunnel());
        QVERIFY(window.view.model().state().selection().empty());
        QCOMPARE(window.view.detail().pane().kind, DetailPane::Kind::empty);
    }

    void theTrashedPageRestores() {
        ThrowawayHome home;
        Tunnel gone = named("gone");
        gone.note = "old";
        gone.deletedAt = tunnelkit::currentDate() - std::chrono::hours(30);
        home.storeTunnels({gone});
        Window window(home);
        window.view.model().state().setSidebar(SidebarItem::trash());
        window.select(gone.id);
        auto* page = dynamic_cast<TrashedTunnelPage*>(window.view.detail().page());
        QVERIFY(page);
        QCOMPARE(page->name().text(), QStringLiteral("gone"));
        QVERIFY(page->noteSection().isVisible());
        QCOMPARE(page->forwardRows().size(), size_t(0));
        page->restoreButton().click();
        QVERIFY(!window.app.controller().tunnel(gone.id)->isTrashed());
    }

    // A word longer than any line, in a name, a server, a forward or a note, breaks between its
    // letters: selected, live or deleted, such a tunnel leaves the window as narrow as it could be.
    void aLongWordWidensNoWindow() {
        ThrowawayHome home;
        const std::string word(150, 'w');
        const auto withNoteAndForward = [](Tunnel tunnel, const std::string& text) {
            tunnel.note = text;
            tunnel.forwards = {tunnelkit::Forward::make(Uuid::random(), tunnelkit::Forward::Kind::local, true,
                                                        tunnelkit::Endpoint::tcp("localhost", 8080),
                                                        tunnelkit::Endpoint::tcp(tunnel.host, 80), text)};
            return tunnel;
        };
        const Tunnel brief = withNoteAndForward(named("web"), "web");
        const Tunnel wordy = withNoteAndForward(named(word), word);
        Tunnel trashedBrief = brief;
        Tunnel trashedWordy = wordy;
        for (Tunnel* trashed : {&trashedBrief, &trashedWordy}) {
            trashed->id = Uuid::random();
            trashed->deletedAt = tunnelkit::currentDate();
        }
        home.storeTunnels({brief, wordy, trashedBrief, trashedWordy});
        Window window(home);
        const auto leastWidthWith = [&](const Tunnel& tunnel) {
            window.view.model().state().setSidebar(tunnel.deletedAt ? SidebarItem::trash()
                                                                    : SidebarItem::all());
            window.select(tunnel.id);
            QApplication::processEvents();
            return window.view.minimumSizeHint().width();
        };
        QCOMPARE(leastWidthWith(wordy), leastWidthWith(brief));
        QCOMPARE(leastWidthWith(trashedWordy), leastWidthWith(trashedBrief));
        // Read and selected as it is.
        auto* page = dynamic_cast<TrashedTunnelPage*>(window.view.detail().page());
        QVERIFY(page);
        QCOMPARE(page->name().text(), QString::fromStdString(word));
        QCOMPARE(QAccessible::queryAccessibleInterface(&page->name())->text(QAccessible::Name),
                 QString::fromStdString(word));
    }

    // The card's text follows the model as lines come, leave from the top and the details switch, and
    // what is selected across lines is what the clipboard gets.
    void theLogIsOneTextToSelectAndCopy() {
        ThrowawayHome home;
        const Tunnel web = named("web");
        home.storeTunnels({web});
        AppModel app{home.settings, home.alerts, home.parts()};
        const auto connection = app.engine().connection(web.id);
        auto environment = connection->environment();
        environment.builder.executable = talkativeSSH(home, 500);
        connection->setEnvironment(environment);
        LogCardModel model(app.engine(), connection, app.settings());
        LogCard card(model);
        card.resize(500, 260);
        card.show();
        LogLines& lines = card.lines();
        connection->connect();
        QTRY_VERIFY_WITH_TIMEOUT(!model.lines().empty() && model.lines().back().text == "line 500", 20'000);
        QTRY_COMPARE(lines.toPlainText(), model.copyText());
        QVERIFY(lines.toPlainText().startsWith(QStringLiteral("line 101\n")));
        QCOMPARE(lines.verticalScrollBar()->value(), lines.verticalScrollBar()->maximum());

        card.details().click();
        QTRY_COMPARE(lines.toPlainText(), model.copyText());
        QVERIFY(lines.toPlainText().endsWith(QStringLiteral("\ndebug1: detail 500")));

        QTextCursor selection = lines.textCursor();
        selection.movePosition(QTextCursor::Start);
        selection.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, 2);
        selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        lines.setTextCursor(selection);
        lines.setFocus();
        QTest::keyClick(&lines, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), model.copyText().section(QLatin1Char('\n'), 0, 2));

        model.clear();
        QTRY_VERIFY(lines.toPlainText().isEmpty());
        connection->disconnect();
        QTRY_COMPARE_WITH_TIMEOUT(connection->state(), tunnelkit::TunnelState::disconnected(), 10'000);
    }
};

QTEST_MAIN(TunnelDetailTests)
#include "TunnelDetailTests.moc"
