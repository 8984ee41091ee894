#include "Burrowlight/Models/DetailContext.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/LogCardModel.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

struct NoDialogs : MainWindowDialogs {
    std::optional<size_t> run(const Alert&) override { return std::nullopt; }
    std::optional<QString> chooseExportPath(const QString&) override { return std::nullopt; }
    std::optional<QString> chooseImportFile() override { return std::nullopt; }
    std::optional<QString> ask(const TextPrompt&) override { return std::nullopt; }
};

// A window's models and the detail context of one tunnel over a model of its own.
struct Detail {
    ThrowawayHome& home;
    AppModel app{home.settings, home.alerts, home.parts()};
    NoDialogs dialogs;
    MainWindowModel window{app, dialogs};

    explicit Detail(ThrowawayHome& home) : home(home) {}

    std::unique_ptr<DetailContext> open(const tunnelkit::Uuid& id) {
        return std::make_unique<DetailContext>(
            app, window.actions(), app.drafts().draft(id, app.controller().tunnel(id)), window.sources());
    }
};

Forward localForward(int port, int targetPort) {
    return Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                         Endpoint::tcp("127.0.0.1", port), Endpoint::tcp("127.0.0.1", targetPort), "");
}

void moveListenPort(DetailContext& context, int port) {
    context.draft().editForward(context.draft().forwards().front().id,
                                [port](ForwardDraft& row) { row.setListenPort(QString::number(port)); });
}

bool carries(int port) {
    return testing_support::exchange("127.0.0.1", port, "ping") == std::optional<std::string>("ping");
}

// Stands in for ssh: says `count` lines, each info line followed by a debug line, then waits.
std::string talkativeSSH(const ThrowawayHome& home, int count) {
    const std::string path = home.folder.file("talkative-ssh");
    std::ofstream(path) << "#!/bin/sh\ni=1\nwhile [ $i -le " << count
                        << " ]; do echo \"line $i\" >&2; echo \"debug1: detail $i\" >&2; i=$((i+1)); done\n"
                           "exec sleep 60\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

QString linesFrom(int first, int last, const char* prefix) {
    QStringList lines;
    for (int n = first; n <= last; ++n) {
        lines << QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(n);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class DetailContextTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    // A plain Save leaves ssh running with the old forward, which the detail must not call live;
    // Save and Reconnect restarts ssh on the new port, which then carries bytes.
    void saveAndReconnectMovesTheRunningForward() {
        ThrowawayHome home;
        home.startServer();
        testing_support::EchoServer echo;
        const int first = testing_support::freeLoopbackPort();
        const int second = first + 1;
        const int third = first + 2;
        const Tunnel tunnel = home.client->tunnel({localForward(first, echo.port())});
        home.storeTunnels({tunnel});
        Detail detail(home);
        detail.app.controller().connect({tunnel.id});
        QTRY_VERIFY_WITH_TIMEOUT(detail.app.controller().state(tunnel.id).isConnected(), 20'000);
        QVERIFY(carries(first));

        auto context = detail.open(tunnel.id);
        QVERIFY(context->isForwardLive(context->draft().forwards().front()));
        moveListenPort(*context, second);
        QVERIFY(!context->isForwardLive(context->draft().forwards().front()));
        auto bar = DetailModel::unsavedBar(context->draft(), context->state(),
                                           context->draft().changesConnection(detail.app.makeBuilder()));
        QCOMPARE(bar.saveButtons.size(), size_t(2));
        QVERIFY(bar.saveButtons.back().reconnect && bar.saveButtons.back().prominent);

        QVERIFY(context->saveDraft(false));
        QVERIFY(!context->draft().hasUnsavedChanges());
        QCOMPARE(detail.app.controller().tunnel(tunnel.id)->forwards.front().listen.asTcp()->port, second);
        QVERIFY(detail.app.controller().state(tunnel.id).isConnected());
        QVERIFY2(!context->isForwardLive(context->draft().forwards().front()),
                 "saved but not reconnected: ssh still listens on the old port");
        QVERIFY(carries(first));

        moveListenPort(*context, third);
        QVERIFY(context->saveDraft(true));
        QTRY_VERIFY_WITH_TIMEOUT(context->isForwardLive(context->draft().forwards().front()), 20'000);
        QVERIFY(carries(third));
        detail.app.controller().disconnect({tunnel.id});
        QTRY_COMPARE_WITH_TIMEOUT(detail.app.controller().state(tunnel.id), TunnelState::disconnected(),
                                  10'000);
    }

    void aSaveThatCannotBeWrittenIsShown() {
        ThrowawayHome home;
        Detail detail(home);
        const auto id = detail.app.drafts().beginNewTunnel(Tunnel::created());
        auto context = detail.open(id);
        context->draft().editTunnel([](Tunnel& tunnel) { tunnel.host = "db.example.com"; });
        // A folder where the tunnels file goes: no write can replace it.
        std::filesystem::create_directories(detail.app.tunnelsFilePath());
        QSignalSpy shown(context.get(), &DetailContext::storageProblemChanged);
        QVERIFY(context->saveDraft(false));
        QVERIFY(context->storageProblem());
        QCOMPARE(shown.size(), 1);
        // Saved in memory all the same: the draft is now the saved tunnel's, held by the drafts.
        QVERIFY(!context->draft().isNew());
        QVERIFY(!detail.app.drafts().newTunnel());
        QCOMPARE(detail.app.drafts().edited().at(id), context->sharedDraft());

        std::filesystem::remove(detail.app.tunnelsFilePath());
        context->draft().editTunnel([](Tunnel& tunnel) { tunnel.note = "written"; });
        QVERIFY(context->saveDraft(false));
        QVERIFY(!context->storageProblem());
    }

    void draftsOutliveTheDetailOnlyWithChanges() {
        ThrowawayHome home;
        Tunnel tunnel = Tunnel::created();
        tunnel.host = "db.example.com";
        home.storeTunnels({tunnel});
        Detail detail(home);
        auto context = detail.open(tunnel.id);
        QVERIFY(detail.app.drafts().edited().contains(tunnel.id));
        context.reset();
        QVERIFY(!detail.app.drafts().edited().contains(tunnel.id));

        context = detail.open(tunnel.id);
        context->draft().editTunnel([](Tunnel& edited) { edited.note = "kept"; });
        // Pinned from the list meanwhile: the pin follows, the note stays.
        auto pinned = *detail.app.controller().tunnel(tunnel.id);
        pinned.isPinned = true;
        detail.app.controller().save(pinned);
        QVERIFY(context->draft().tunnel().isPinned);
        QCOMPARE(context->draft().tunnel().note, std::string("kept"));
        const auto draft = context->sharedDraft();
        context.reset();
        QCOMPARE(detail.app.drafts().draft(tunnel.id), draft);

        // Cancel takes the saved values back.
        context = detail.open(tunnel.id);
        context->cancelDraft();
        QVERIFY(!context->draft().hasUnsavedChanges());
        QVERIFY(context->draft().tunnel().note.empty());
    }

    void cancellingTheNewTunnelClosesIt() {
        ThrowawayHome home;
        Detail detail(home);
        detail.window.createNewTunnel();
        const auto id = detail.app.drafts().newTunnel()->id();
        auto context = detail.open(id);
        int closed = 0;
        context->setCloseNew([&] { ++closed; });
        QVERIFY(!context->saveDraft(false));
        QVERIFY(context->draft().showsProblems());
        context->cancelDraft();
        QVERIFY(!detail.app.drafts().newTunnel());
        QCOMPARE(closed, 1);
    }

    void addedForwardTakesTheFocusAndLeavingTheHostShowsProblems() {
        ThrowawayHome home;
        Detail detail(home);
        const auto id = detail.app.drafts().beginNewTunnel(Tunnel::created());
        auto context = detail.open(id);
        const auto added = context->addForwardAndFocus(Forward::Kind::remoteDynamic);
        QCOMPARE(context->focus().current(),
                 std::optional<EditorFocus>(editorFocus::Forward{added, ForwardDraft::Field::listenPort}));
        context->focus().set(editorFocus::Host{});
        QVERIFY(!context->draft().showsProblems());
        context->focus().set(editorFocus::Name{});
        QVERIFY(context->draft().showsProblems());
        // A blank host asks ssh nothing.
        QVERIFY(detail.app.configHosts().asked().empty());
    }

    void logCardShowsTheLastFourHundredLinesAndCopiesThem() {
        ThrowawayHome home;
        Tunnel tunnel = Tunnel::created();
        tunnel.host = "db.example.com";
        home.storeTunnels({tunnel});
        Detail detail(home);
        const auto connection = detail.app.engine().connection(tunnel.id);
        auto environment = connection->environment();
        environment.builder.executable = talkativeSSH(home, 500);
        connection->setEnvironment(environment);
        LogCardModel card(detail.app.engine(), connection, detail.app.settings());
        QVERIFY(card.lines().empty());
        QCOMPARE(card.copyText(), QString());
        connection->connect();
        QTRY_VERIFY_WITH_TIMEOUT(!card.lines().empty() && card.lines().back().text == "line 500", 20'000);
        QCOMPARE(card.lines().size(), LogCardModel::limit);
        QCOMPARE(card.copyText(), linesFrom(101, 500, "line "));

        card.setShowsDetails(true);
        QCOMPARE(card.lines().size(), LogCardModel::limit);
        QCOMPARE(QString::fromStdString(card.lines().back().text), QStringLiteral("debug1: detail 500"));
        QCOMPARE(QString::fromStdString(card.lines().front().text), QStringLiteral("line 301"));
        QVERIFY(AppSettings(
                    std::make_unique<QSettings>(QString::fromStdString(home.folder.file("burrowlight.conf")),
                                                QSettings::IniFormat))
                    .logShowsDetails());

        card.clear();
        QVERIFY(card.lines().empty());
        connection->disconnect();
        QTRY_COMPARE_WITH_TIMEOUT(connection->state(), TunnelState::disconnected(), 10'000);
    }
};

QTEST_MAIN(DetailContextTests)
#include "DetailContextTests.moc"
