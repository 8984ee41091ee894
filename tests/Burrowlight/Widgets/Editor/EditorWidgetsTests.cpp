#include "Burrowlight/Core/ManualCache.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Detail/AddForwardButtons.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/EditorSections.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Editor/FileField.h"
#include "Burrowlight/Widgets/Editor/ForwardEditorRow.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/Editor/OptionsList.h"
#include "Burrowlight/Widgets/MainWindow/WindowDialogs.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"
#include "TunnelKit/TunnelConnection.h"
#include "TunnelKit/TunnelStore.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using Field = ForwardDraft::Field;

namespace {

// Types into a field as a user does: select what is there, then one key at a time.
void retype(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClicks(&field, text);
}

void leave(QWidget& field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&field, &out);
}

void choose(QMenu& menu, const QString& path) {
    QMenu* current = &menu;
    emit current->aboutToShow();
    const QStringList steps = path.split(QLatin1Char('/'));
    for (const QString& step : steps) {
        const auto actions = current->actions();
        const auto found =
            std::ranges::find_if(actions, [&](QAction* action) { return action->text() == step; });
        if (found == actions.end()) {
            qFatal("no menu entry %s", qPrintable(step));
        }
        if ((*found)->menu()) {
            current = (*found)->menu();
        } else {
            (*found)->trigger();
        }
    }
}

} // namespace

class EditorWidgetsTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void forwardRowShowsMissingValuesOnlyOnceLeft() {
        TunnelDraft draft(Tunnel::created(), true);
        ForwardEditorRow row(draft, draft.addForward(Forward::Kind::local), {});
        row.show();
        QCOMPARE(row.footnote(), QString());
        QVERIFY(row.field(Field::listenPort).isVisible());
        QVERIFY(!row.field(Field::address).isVisible());
        leave(row.field(Field::listenPort));
        QCOMPARE(row.footnote(), QStringLiteral("Port on This Computer: the port is missing."));
        QVERIFY(row.field(Field::listenPort).property("outlined").toBool());
        QVERIFY(!row.field(Field::targetPort).property("outlined").toBool());

        retype(row.field(Field::targetPort), QStringLiteral("5432"));
        QCOMPARE(row.field(Field::listenPort).text(), QStringLiteral("5432"));
        QCOMPARE(row.footnote(),
                 QStringLiteral("Connect to localhost:5432 on this computer to reach localhost:5432 "
                                "as if you were on the server."));
        // Read out as it says, not with what holds each host to its port.
        QVERIFY(std::ranges::any_of(row.findChildren<QLabel*>(), [&row](QLabel* label) {
            return label->isVisible() &&
                   QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name) == row.footnote();
        }));
        choose(*row.kindMenu().menu(), QStringLiteral("SOCKS on This Computer"));
        QVERIFY(!row.field(Field::targetHost).isVisible());
        QCOMPARE(row.kindMenu().text(), QStringLiteral("SOCKS on This Computer"));
    }

    // A value the draft gets from elsewhere shows in the field the user is in; what they type
    // there stays as typed.
    void aFocusedFieldShowsWhatTheDraftGetsFromElsewhere() {
        TunnelDraft draft(Tunnel::created(), true);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* row = new ForwardEditorRow(draft, draft.addForward(Forward::Kind::local), {}, &window);
        auto* fields = new AdvancedFields(draft, ManualCache::shared(), QDir::homePath(), {}, &window);
        layout->addWidget(row);
        layout->addWidget(fields);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        retype(row->field(Field::targetHost), QStringLiteral("10.0.0.5:5432"));
        QTest::keyClick(&row->field(Field::targetHost), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &row->field(Field::targetPort));
        QCOMPARE(row->field(Field::targetHost).text(), QStringLiteral("10.0.0.5"));
        QCOMPARE(row->field(Field::targetPort).text(), QStringLiteral("5432"));

        retype(fields->attempts(), QStringLiteral("1000"));
        QCOMPARE(draft.tunnel().retryLimit, 1000);
        QCOMPARE(fields->attempts().text(), QStringLiteral("1000")); // not "1,000" under the cursor
    }

    // The note wraps anywhere only while it holds a word too long for any line; the spaces after a
    // word are no part of it.
    void theNoteWrapsAnywhereOnlyAroundAWordLongerThanAnyLine() {
        TunnelDraft draft(Tunnel::created(), true);
        AdvancedFields fields(draft, ManualCache::shared(), QDir::homePath(), {});
        const auto wrapsAnywhere = [&fields](const QString& note) {
            fields.note().setPlainText(note);
            return fields.note().wordWrapMode() == QTextOption::WrapAnywhere;
        };
        QVERIFY(!wrapsAnywhere(QString(999, QLatin1Char('w')) + QStringLiteral("  then words")));
        QVERIFY(!wrapsAnywhere(QString(1001, QLatin1Char(' ')) + QStringLiteral("words")));
        QVERIFY(wrapsAnywhere(QStringLiteral("words then ") + QString(1001, QLatin1Char('w'))));
    }

    // While the user is elsewhere, a field ends a text too long for it in "…", where a line edit
    // would cut it anywhere; up to there it shows as the line edit shows it.
    void aFieldEndsATooLongTextInAnEllipsisWhileTheUserIsElsewhere() {
        QWidget window;
        QVBoxLayout layout(&window);
        QLineEdit bound;
        QLineEdit plain;
        QPushButton elsewhere;
        layout.addWidget(&bound);
        layout.addWidget(&plain);
        layout.addWidget(&elsewhere);
        const QString server = QStringLiteral("bastion-eu-west-1.internal.example.com,").repeated(4);
        fieldText::bind(bound, [](const QString&) {});
        fieldText::show(bound, server);
        plain.setText(server);
        plain.setCursorPosition(0);
        window.resize(240, window.sizeHint().height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        elsewhere.setFocus();

        const QImage elided = bound.grab().toImage();
        const QImage whole = plain.grab().toImage();
        QVERIFY(elided != whole);
        const QRect start(0, 0, elided.width() / 2, elided.height());
        QCOMPARE(elided.copy(start), whole.copy(start));
    }

    // A letter with tens of thousands of marks shows with a few of them; what is typed goes into
    // the whole text, and a copy or a screen reader gets all of it.
    void aCraftedCharacterShowsBoundedAndEditsTheWholeText() {
        const QString marks(50000, QChar(0x0301));
        Tunnel crafted = Tunnel::created();
        crafted.jumpHosts = (QStringLiteral("a") + marks).toStdString();
        // What a document would make of a no-break space and a CR stays as it was, too.
        const QString rest = QStringLiteral("\u00a0c\r\nd");
        crafted.note = crafted.jumpHosts + rest.toStdString();
        TunnelDraft draft(crafted, false);
        AdvancedFields fields(draft, ManualCache::shared(), QDir::homePath(), {});
        fields.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fields));
        const auto note = [&draft] { return QString::fromStdString(draft.tunnel().note); };
        const auto jumpHosts = [&draft] { return QString::fromStdString(draft.tunnel().jumpHosts); };

        QPlainTextEdit& noteField = fields.note();
        QLineEdit& jumpHostsField = fields.jumpHosts();
        QVERIFY(noteField.toPlainText().size() < 100);
        QVERIFY(jumpHostsField.text().size() < 100);
        const auto read = [](QWidget& field) {
            QAccessibleTextInterface& read = *QAccessible::queryAccessibleInterface(&field)->textInterface();
            return read.text(0, read.characterCount());
        };
        QCOMPARE(read(noteField), note());
        QCOMPARE(read(jumpHostsField), jumpHosts());

        noteField.setFocus();
        noteField.moveCursor(QTextCursor::End);
        QTest::keyClick(&noteField, Qt::Key_B);
        QCOMPARE(note(), QStringLiteral("a") + marks + rest + QStringLiteral("b"));
        noteField.moveCursor(QTextCursor::Start);
        QTest::keyClick(&noteField, Qt::Key_X);
        QCOMPARE(note(), QStringLiteral("xa") + marks + rest + QStringLiteral("b"));
        noteField.selectAll();
        noteField.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), note());
        QTextCursor letter = noteField.textCursor();
        letter.setPosition(1);
        letter.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        noteField.setTextCursor(letter);
        QTest::keyClick(&noteField, Qt::Key_Backspace);
        QCOMPARE(note(), QStringLiteral("x") + rest + QStringLiteral("b"));

        jumpHostsField.setFocus();
        jumpHostsField.end(false);
        QTest::keyClick(&jumpHostsField, Qt::Key_B);
        QCOMPARE(jumpHosts(), QStringLiteral("a") + marks + QStringLiteral("b"));
        jumpHostsField.setCursorPosition(1);
        QTest::keyClick(&jumpHostsField, Qt::Key_X);
        QCOMPARE(jumpHosts(), QStringLiteral("ax") + marks + QStringLiteral("b"));
        jumpHostsField.selectAll();
        jumpHostsField.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), jumpHosts());
        jumpHostsField.setSelection(1, static_cast<int>(jumpHostsField.text().size()) - 2);
        QTest::keyClick(&jumpHostsField, Qt::Key_Delete);
        QCOMPARE(jumpHosts(), QStringLiteral("ab"));
        QCOMPARE(read(jumpHostsField), jumpHosts());
        jumpHostsField.undo();
        QCOMPARE(jumpHosts(), QStringLiteral("ax") + marks + QStringLiteral("b"));
    }

    void everyFieldEditedSavedAndConnected() {
        ThrowawayHome home;
        home.startServer();
        Tunnel saved = home.client->tunnel({});
        home.storeTunnels({saved});
        AppModel app(home.settings, home.alerts, home.parts());
        const auto draft = app.drafts().draft(saved.id, app.controller().tunnel(saved.id));
        QVERIFY(draft);
        const QString homeDirectory = QString::fromStdString(home.client->home());

        QWidget window;
        HostAliases aliases(home.settings, homeDirectory);
        HostField host(*draft, aliases, {}, &window);
        retype(host.edit(), QStringLiteral("127.0.0.1"));

        const int listenPort = testing_support::freeLoopbackPort();
        const auto forwardId = draft->addForward(Forward::Kind::local);
        ForwardEditorRow row(*draft, forwardId, {}, &window);
        retype(row.field(Field::listenPort), QString::number(listenPort));
        retype(row.field(Field::targetHost), QStringLiteral("127.0.0.1"));
        retype(row.field(Field::targetPort), QStringLiteral("9"));
        retype(row.noteField(), QStringLiteral("discard"));

        const QString logFile = QString::fromStdString(home.folder.file("tunnel.log"));
        AdvancedFields fields(*draft, ManualCache::shared(), homeDirectory, {}, &window);
        window.show();
        retype(fields.jumpHosts(), QStringLiteral("bastion.example.com"));
        retype(fields.jumpHosts(), QString()); // a jump host this test's server can't be
        retype(fields.identityFile().edit(), QString::fromStdString(home.server->clientKeyPath()));
        retype(fields.certificateFile().edit(), QStringLiteral("~/.ssh/none-cert.pub"));
        retype(fields.certificateFile().edit(), QString());
        retype(fields.tags(), QStringLiteral("work, db"));
        fields.pinned().click();
        fields.connectsAtLaunch().click();
        retype(fields.attempts(), QStringLiteral("-3"));
        QVERIFY(!fields.reconnects().isChecked());
        QVERIFY(!fields.attempts().isVisible());
        fields.reconnects().click();
        retype(fields.attempts(), QStringLiteral("7"));
        retype(fields.logFile().edit(), logFile);
        choose(*fields.options().addButton().menu(), QStringLiteral("Keep-Alive/ServerAliveInterval"));
        choose(*fields.options().addButton().menu(), QStringLiteral("Connection/Compression"));
        retype(*fields.options().row(0)->findChild<QLineEdit*>(), QStringLiteral("30"));
        auto& compression = *fields.options().row(1)->findChild<QComboBox*>();
        QCOMPARE(compression.count(), 2);
        compression.setCurrentText(QStringLiteral("no"));
        fields.note().setFocus();
        QTest::keyClicks(&fields.note(), QStringLiteral("nightly"));
        QCOMPARE(draft->problem(), std::nullopt);

        QVERIFY(draft->save(app.controller(), app.configHosts(), false));
        const auto stored = tunnelkit::TunnelStore(home.applicationSupport() + "/tunnels.json").load();
        QVERIFY(stored.has_value());
        QCOMPARE(stored.value().size(), 1u);

        Tunnel expected = saved;
        expected.host = "127.0.0.1";
        expected.forwards = {Forward::make(forwardId, Forward::Kind::local, true,
                                           Endpoint::tcp("localhost", listenPort),
                                           Endpoint::tcp("127.0.0.1", 9), "discard")};
        expected.options = {{draft->tunnel().options[0].id, "ServerAliveInterval", "30"},
                            {draft->tunnel().options[1].id, "Compression", "no"}};
        expected.tags = {"db", "work"};
        expected.note = "nightly";
        expected.isPinned = true;
        expected.connectsAtLaunch = true;
        expected.retryLimit = 7;
        expected.logFile = logFile.toStdString();
        expected.createdAt = stored.value().front().createdAt; // the file keeps whole seconds
        QVERIFY2(stored.value().front() == expected,
                 tunnelkit::TunnelStore::encode({stored.value().front(), expected}).c_str());

        app.controller().connect({saved.id});
        const auto connection = app.controller().connection(saved.id);
        QTRY_VERIFY_WITH_TIMEOUT(connection->state().isConnected(), 30000);
        const auto launched = std::ranges::find_if(
            connection->log(), [](const auto& line) { return line.text.starts_with("$ "); });
        QVERIFY(launched != connection->log().end());
        for (const std::string& part : std::vector<std::string>{"ServerAliveInterval=30", "Compression=no",
                                                                std::to_string(listenPort)}) {
            QVERIFY2(launched->text.find(part) != std::string::npos, launched->text.c_str());
        }
        QTRY_VERIFY(std::filesystem::exists(logFile.toStdString()));

        // The session's facts as ssh reported them.
        WindowDialogs dialogs(window);
        MainWindowModel mainWindow(app, dialogs);
        DetailContext context(app, mainWindow.actions(), draft, WindowSources::of(app.controller()));
        auto session = EditorSections().sessionSection(context);
        session->setParent(&window);
        session->show();
        QStringList facts;
        for (auto* label : session->findChildren<QLabel*>()) {
            facts << label->text();
        }
        for (auto* value : session->findChildren<VerbatimText*>()) {
            facts << value->text();
        }
        QVERIFY2(facts.contains(QStringLiteral("Signed In With")) &&
                     facts.contains(QStringLiteral("publickey")),
                 qPrintable(facts.join(QLatin1Char('|'))));
        // Copied, the server's key is exactly what ssh said, however it is broken on screen.
        const auto values = session->findChildren<VerbatimText*>();
        const auto key = std::ranges::find_if(
            values, [](auto* value) { return value->accessibleName() == QStringLiteral("Server Key"); });
        QVERIFY(key != values.end());
        (*key)->selectAll();
        (*key)->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromStdString(*connection->session().hostKey));
        // Assistive technology reads the facts and the command as they are, not as they are wrapped.
        auto command = EditorSections().sshCommandSection(context);
        command->setParent(&window);
        const auto read = [](VerbatimText& text) {
            QAccessibleTextInterface& read = *QAccessible::queryAccessibleInterface(&text)->textInterface();
            return read.text(0, read.characterCount());
        };
        QCOMPARE(read(**key), QString::fromStdString(*connection->session().hostKey));
        QVERIFY(read(**key).contains(QStringLiteral("SHA256:")));
        const auto commands = command->findChildren<VerbatimText*>();
        QCOMPARE(commands.size(), 1);
        for (auto* value : values + commands) {
            QVERIFY(!value->text().isEmpty());
            QCOMPARE(read(*value), value->text());
        }
        app.controller().disconnect({saved.id});
    }

    void serverFieldOffersTheConfigAliasesWhileTheSettingIsOn() {
        ThrowawayHome home;
        const QString homeDirectory = QString::fromStdString(home.folder.file("home"));
        std::filesystem::create_directories(home.folder.file("home/.ssh"));
        QVERIFY(tunnelkit::writeFileAtomically(home.folder.file("home/.ssh/config"),
                                               "Host web db\n  HostName 10.0.0.5\nHost *.internal !bad\n"));
        TunnelDraft draft(Tunnel::created(), true);
        HostAliases aliases(home.settings, homeDirectory);
        QStringList picked;
        HostField field(draft, aliases, [&picked](const QString& alias) { picked << alias; });
        QTRY_COMPARE(aliases.aliases(), (QStringList{QStringLiteral("web"), QStringLiteral("db")}));
        QVERIFY(!field.aliasesButton().isHidden());
        // The menu's button never makes the field taller than the fields in a row with it.
        QCOMPARE(field.sizeHint().height(), field.edit().sizeHint().height());
        choose(*field.aliasesButton().menu(), QStringLiteral("db"));
        QCOMPARE(draft.tunnel().host, std::string("db"));
        QCOMPARE(field.edit().text(), QStringLiteral("db"));
        QCOMPARE(picked, QStringList{QStringLiteral("db")});

        home.settings.setUsesSSHConfig(false);
        QVERIFY(aliases.aliases().isEmpty());
        QVERIFY(field.aliasesButton().isHidden());
        home.settings.setUsesSSHConfig(true);
        QTRY_COMPARE(aliases.aliases().size(), 2);
    }

    void sectionsFollowTheDraft() {
        ThrowawayHome home;
        AppModel app(home.settings, home.alerts, home.parts());
        QWidget page;
        WindowDialogs dialogs(page);
        MainWindowModel window(app, dialogs);
        Tunnel template_ = Tunnel::created();
        const auto id = app.drafts().beginNewTunnel(template_);
        DetailContext context(app, window.actions(), app.drafts().draft(id),
                              WindowSources::of(app.controller()));
        EditorSections sections;
        auto forwards = sections.forwardsSection(context);
        auto command = sections.sshCommandSection(context);
        forwards->setParent(&page);
        command->setParent(&page);
        const auto texts = [&forwards] {
            QStringList shown;
            for (auto* label : forwards->findChildren<QLabel*>()) {
                shown << label->text();
            }
            return shown;
        };
        QCOMPARE(forwards->findChildren<ForwardEditorRow*>().size(),
                 1); // a new tunnel starts with a blank one
        // Nor has it a host, so no command: the section hid itself.
        QVERIFY(command->testAttribute(Qt::WA_WState_ExplicitShowHide) && command->isHidden());
        forwards->findChild<ForwardEditorRow*>()->model().remove();
        QVERIFY(texts().contains(QStringLiteral("No forwards. The tunnel only keeps the connection open.")));

        QMenu& other = forwards->findChild<AddForwardButtons*>()->otherMenu();
        other.popup(QPoint());
        QTest::keyClick(&other, Qt::Key_Up); // the last kind
        QTest::keyClick(&other, Qt::Key_Return);
        QTRY_COMPARE(forwards->findChildren<ForwardEditorRow*>().size(), 1); // the removed one goes later
        const auto rows = forwards->findChildren<ForwardEditorRow*>();
        QCOMPARE(context.focus().current(),
                 std::optional<EditorFocus>(editorFocus::Forward{rows[0]->model().id(), Field::listenPort}));
        QCOMPARE(rows[0]->model().forward().kind, Forward::Kind::remoteDynamic);
        rows[0]->model().setListenPort(QStringLiteral("1080"));
        QCOMPARE(forwards->findChildren<ForwardEditorRow*>(), rows); // the row and what it knows stay

        page.resize(739 + 2 * 14 + 40, 600);
        forwards->resize(739 + 2 * 14, 300);
        page.show();
        forwards->show();
        auto* column = rows[0]->parentWidget();
        column->resize(739, 300);
        QVERIFY(rows[0]->isNarrow());
        column->resize(740, 300);
        QVERIFY(!rows[0]->isNarrow());

        context.draft().editTunnel([](Tunnel& tunnel) { tunnel.host = "db.example.com"; });
        QVERIFY(!command->isHidden());
        QVERIFY(command->findChild<VerbatimText*>()->text().endsWith(QStringLiteral("db.example.com")));
    }

    void helpPopupShowsTheManualsWords() {
        TunnelDraft draft(Tunnel::created(), true);
        ManualCache manual;
        OptionsList list(draft, manual);
        choose(*list.addButton().menu(), QStringLiteral("Connection/ConnectTimeout"));
        list.show();
        auto* help = list.row(0)->findChild<QToolButton*>();
        QVERIFY(help);
        QCOMPARE(help->accessibleName(), QStringLiteral("About ConnectTimeout"));
        help->click();
        QVERIFY(list.help());
        QTRY_VERIFY_WITH_TIMEOUT(list.help()->isLoaded(), 60000);
        QVERIFY2(list.help()->text().startsWith(QStringLiteral("Specifies the timeout (in seconds)")),
                 qPrintable(list.help()->text()));
    }
};

QTEST_MAIN(EditorWidgetsTests)
#include "EditorWidgetsTests.moc"
