// The main window as assistive technology works it: the fields it finds by name and fills, and the
// boxes it toggles, reach the draft, and a tunnel's row reads as it looks and switches the tunnel on
// and off.
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QAccessible>
#include <QTest>
#include <functional>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

using ReadDraft = std::function<QString(const TunnelDraft&)>;
Q_DECLARE_METATYPE(ReadDraft)

namespace {

// The main window as the application makes it, with the editor in its detail.
struct Window {
    AppModel app;
    std::unique_ptr<QWidget> content = makeMainWindowView(app);
    MainWindowView& view = dynamic_cast<MainWindowView&>(*content);

    explicit Window(ThrowawayHome& home) : app(home.settings, home.alerts, home.parts()) {
        view.resize(1100, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    TunnelDetail* detail() { return dynamic_cast<TunnelDetail*>(view.detail().page()); }
    QAccessibleInterface& row(const Uuid& id) {
        return *QAccessible::queryAccessibleInterface(&view.list().view())
                    ->child(*view.model().list().rowOf(id));
    }
};

// The first item under `root` that `matches`, found the way a screen reader finds it.
QAccessibleInterface* find(QAccessibleInterface& root,
                           const std::function<bool(QAccessibleInterface&)>& matches) {
    if (matches(root)) {
        return &root;
    }
    for (int index = 0; index < root.childCount(); ++index) {
        if (QAccessibleInterface* child = root.child(index)) {
            if (QAccessibleInterface* found = find(*child, matches)) {
                return found;
            }
        }
    }
    return nullptr;
}

QAccessibleInterface* fieldNamed(QAccessibleInterface& root, const QString& name) {
    return find(root, [&](QAccessibleInterface& item) {
        return item.editableTextInterface() && item.text(QAccessible::Name) == name;
    });
}

QAccessibleInterface* boxNamed(QAccessibleInterface& root, const QString& name) {
    return find(root, [&](QAccessibleInterface& item) {
        return item.role() == QAccessible::CheckBox && item.text(QAccessible::Name) == name;
    });
}

// What an on-screen keyboard or voice input does: the whole text replaced at once.
void setContents(QAccessibleInterface& field, const QString& text) {
    field.editableTextInterface()->replaceText(0, field.textInterface()->characterCount(), text);
}

Tunnel webTunnel() {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "web";
    tunnel.host = "web.example.com";
    tunnel.forwards = {Forward::make(Uuid::random(), Forward::Kind::local, true,
                                     tunnelkit::Endpoint::tcp("", 8080),
                                     tunnelkit::Endpoint::tcp("localhost", 80), "")};
    tunnel.options = {{Uuid::random(), "ServerAliveInterval", "15"}};
    return tunnel;
}

} // namespace

class AccessibilityTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void aFieldSetWholeReachesTheDraft_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<ReadDraft>("read");
        QTest::addColumn<QString>("reached");
        const auto tunnel = [](auto field) {
            return ReadDraft([field](const TunnelDraft& draft) { return field(draft.tunnel()); });
        };
        const auto text = [](const std::string& value) { return QString::fromStdString(value); };
        const auto forward = [](const TunnelDraft& draft) { return draft.forwards().front(); };
        QTest::newRow("name") << "Name"
                              << "web 2" << tunnel([&](const Tunnel& t) { return text(t.name); }) << "web 2";
        QTest::newRow("user") << "User"
                              << "alice" << tunnel([&](const Tunnel& t) { return text(t.user); }) << "alice";
        QTest::newRow("server") << "Host"
                                << "db.example.com" << tunnel([&](const Tunnel& t) { return text(t.host); })
                                << "db.example.com";
        QTest::newRow("port") << "Port"
                              << "2222" << ReadDraft(&TunnelDraft::port) << "2222";
        QTest::newRow("forward port")
            << "Port on This Computer"
            << "8443" << ReadDraft([&](const TunnelDraft& d) { return forward(d).listenPort; }) << "8443";
        QTest::newRow("pasted destination") << "Destination Address"
                                            << "10.0.0.5:5432" << ReadDraft([&](const TunnelDraft& d) {
                                                   return forward(d).targetHost + ' ' + forward(d).targetPort;
                                               })
                                            << "10.0.0.5 5432";
        QTest::newRow("forward name")
            << "Forward Name"
            << "admin" << ReadDraft([&](const TunnelDraft& d) { return forward(d).note; }) << "admin";
        QTest::newRow("jump hosts") << "Jump Hosts"
                                    << "bastion" << tunnel([&](const Tunnel& t) { return text(t.jumpHosts); })
                                    << "bastion";
        QTest::newRow("key file") << "Private Key"
                                  << "~/.ssh/id_work" << tunnel([&](const Tunnel& t) {
                                         return text(t.identityFile.value_or(""));
                                     })
                                  << "~/.ssh/id_work";
        QTest::newRow("log file") << "Log File"
                                  << "/tmp/web.log"
                                  << tunnel([&](const Tunnel& t) { return text(t.logFile.value_or("")); })
                                  << "/tmp/web.log";
        QTest::newRow("tags") << "Tags"
                              << "work, db" << ReadDraft(&TunnelDraft::tags) << "work, db";
        QTest::newRow("attempts") << "Attempts"
                                  << "7"
                                  << tunnel([](const Tunnel& t) { return QString::number(t.retryLimit); })
                                  << "7";
        QTest::newRow("option") << "ServerAliveInterval"
                                << "30"
                                << tunnel([&](const Tunnel& t) { return text(t.options.front().value); })
                                << "30";
        QTest::newRow("note") << "Note"
                              << "for the reports" << tunnel([&](const Tunnel& t) { return text(t.note); })
                              << "for the reports";
    }

    void aFieldSetWholeReachesTheDraft() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(ReadDraft, read);
        QFETCH(QString, reached);
        ThrowawayHome home;
        const Tunnel web = webTunnel();
        home.storeTunnels({web});
        Window window(home);
        window.view.model().state().setSelection({web.id});
        TunnelDetail& detail = *window.detail();
        QAccessibleInterface* found = fieldNamed(*QAccessible::queryAccessibleInterface(&window.view), field);
        QVERIFY(found);

        setContents(*found, text);
        QCOMPARE(read(detail.context().draft()), reached);
        QVERIFY(detail.unsavedBar().isVisible());
        QVERIFY(detail.unsavedBar().prominentSaveButton().isEnabled());
        // What the draft made of the text is what the field shows, and nothing echoed back.
        QCOMPARE(found->textInterface()->text(0, found->textInterface()->characterCount()),
                 field == "Destination Address" ? QStringLiteral("10.0.0.5") : text);
    }

    // A screen reader's or switch device's Toggle, which no mouse or key sends; showing the tunnel
    // first writes nothing, its 3 attempts stay.
    void aBoxToggledByAssistiveTechnologyReachesTheDraft() {
        ThrowawayHome home;
        Tunnel web = webTunnel();
        web.retryLimit = 3;
        home.storeTunnels({web});
        Window window(home);
        window.view.model().state().setSelection({web.id});
        TunnelDetail& detail = *window.detail();
        const TunnelDraft& draft = detail.context().draft();
        QAccessibleInterface& root = *QAccessible::queryAccessibleInterface(&window.view);
        QCOMPARE(draft.tunnel().retryLimit, 3);
        QVERIFY(!draft.hasUnsavedChanges());
        QVERIFY(!detail.unsavedBar().isVisible());
        QAccessibleInterface* attempts = fieldNamed(root, "Attempts");
        QCOMPARE(attempts->textInterface()->text(0, attempts->textInterface()->characterCount()),
                 QStringLiteral("3"));

        const auto toggle = [&](const QString& name) {
            QAccessibleInterface* box = boxNamed(root, name);
            QVERIFY2(box, qPrintable(name));
            box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        toggle("Pin to the top and the tray");
        QVERIFY(draft.tunnel().isPinned);
        QVERIFY(detail.unsavedBar().isVisible());
        toggle("Connect when Burrowlight opens");
        QVERIFY(draft.tunnel().connectsAtLaunch);
        toggle("Reconnect after failures");
        QCOMPARE(draft.tunnel().retryLimit, 0);
        QVERIFY(!boxNamed(root, "Reconnect after failures")->state().checked);
        toggle("Reconnect after failures");
        QCOMPARE(draft.tunnel().retryLimit, Tunnel::defaultRetryLimit);
    }

    void aRowReadsAsItLooksAndItsSwitchFlipsTheTunnel() {
        ThrowawayHome home;
        Tunnel waiting = webTunnel();
        waiting.name = "waiting";
        waiting.isPinned = true;
        // ssh stays connecting while it waits on its proxy.
        waiting.options = {{Uuid::random(), "ProxyCommand", "sleep 30"}};
        home.storeTunnels({waiting});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Window window(home);
        QAccessibleInterface& row = window.row(waiting.id);
        QCOMPARE(row.text(QAccessible::Name), QStringLiteral("waiting, Pinned"));
        QCOMPARE(row.text(QAccessible::Value), QStringLiteral("Not Connected"));
        QVERIFY(row.state().checkable);
        QVERIFY(!row.state().checked);

        QAccessibleActionInterface& actions = *row.actionInterface();
        actions.doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(window.view.model().state().selection(), TunnelIds{waiting.id});
        // Screen readers may set the value instead of replacing the text.
        fieldNamed(*QAccessible::queryAccessibleInterface(window.detail()), "Name")
            ->setText(QAccessible::Value, "waits");
        QCOMPARE(row.text(QAccessible::Name), QStringLiteral("waiting, Pinned, Unsaved Changes"));

        actions.doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(window.app.controller().state(waiting.id), TunnelState::connecting());
        QVERIFY(row.state().checked);
        QCOMPARE(row.text(QAccessible::Value), QStringLiteral("Connecting…"));
        QCOMPARE(actions.localizedActionDescription(QAccessibleActionInterface::toggleAction()),
                 QStringLiteral("Disconnect"));
        actions.doAction(QAccessibleActionInterface::toggleAction());
        QTRY_COMPARE_WITH_TIMEOUT(window.app.controller().state(waiting.id), TunnelState::disconnected(),
                                  10'000);
        QVERIFY(!row.state().checked);
        window.app.shutdown();
    }
};

QTEST_MAIN(AccessibilityTests)
#include "AccessibilityTests.moc"
