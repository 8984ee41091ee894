// The real executable's command-line actions, against a scripting object this test runs.
#include "Burrowlight/Automation/TunnelsService.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTest>

using namespace burrowlight;
using namespace std::chrono_literals;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

struct Outcome {
    int status = -1;
    QString output;
    QString errors;
};

// Runs in English; the event loop goes on meanwhile, so that this test's object can answer.
Outcome run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BURROWLIGHT_EXECUTABLE), arguments);
    Outcome outcome;
    [&] {
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 60'000);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    }();
    outcome.status = process.exitCode();
    outcome.output = QString::fromUtf8(process.readAllStandardOutput());
    outcome.errors = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

// This test's connection holds the application's name while it lives.
struct RunningName {
    RunningName() {
        QVERIFY(QDBusConnection::sessionBus().registerService(QString::fromLatin1(bundleIdentifier)));
    }
    ~RunningName() { QDBusConnection::sessionBus().unregisterService(QString::fromLatin1(bundleIdentifier)); }
};

void expectOutcome(const Outcome& outcome, int status, const QString& output, const QString& errors = {}) {
    QCOMPARE(outcome.output, output);
    QCOMPARE(outcome.errors, errors);
    QCOMPARE(outcome.status, status);
}

} // namespace

class CommandLineTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void helpListsTheCommands() {
        for (const char* option : {"--help", "-h"}) {
            const Outcome help = run({QString::fromLatin1(option)});
            QCOMPARE(help.status, 0);
            for (const char* use : {"burrowlight connect NAME…", "burrowlight connect --tag TAG",
                                    "burrowlight connect --all", "burrowlight disconnect NAME…",
                                    "burrowlight disconnect --tag TAG", "burrowlight disconnect --all",
                                    "burrowlight status [NAME…]", "burrowlight status --matching TEXT"}) {
                QVERIFY2(help.output.contains(QString::fromUtf8(use)), use);
            }
        }
        const Outcome connectHelp = run({QStringLiteral("connect"), QStringLiteral("--help")});
        QCOMPARE(connectHelp.status, 0);
        QVERIFY(connectHelp.output.contains(QStringLiteral("--tag <TAG>")));
        QVERIFY(connectHelp.output.contains(QStringLiteral("--all")));
    }

    void saysSoWhenNothingRuns() {
        expectOutcome(run({QStringLiteral("status")}), 1, {}, QStringLiteral("Burrowlight isn't running.\n"));
        expectOutcome(run({QStringLiteral("connect"), QStringLiteral("office")}), 1, {},
                      QStringLiteral("Burrowlight isn't running.\n"));
    }

    void refusesToGuessWhichTunnels() {
        const QString hint = QStringLiteral("See \"burrowlight connect --help\".\n");
        expectOutcome(run({QStringLiteral("connect")}), 2, {},
                      QStringLiteral("Say which tunnels: their names, --tag TAG or --all.\n") + hint);
        expectOutcome(run({QStringLiteral("connect"), QStringLiteral("--all"), QStringLiteral("office")}), 2,
                      {}, QStringLiteral("--all can't go with names or --tag.\n") + hint);
        expectOutcome(run({QStringLiteral("status"), QStringLiteral("--all")}), 2, {},
                      QStringLiteral("Unknown option 'all'.\n"));
        expectOutcome(
            run({"status", "--matching", "web", "office"}), 2, {},
            QStringLiteral("--matching can't go with names.\nSee \"burrowlight status --help\".\n"));
    }

    void actsOnTheRunningApplication() {
        testing_support::ThrowawayAppHome home;
        home.startServer();
        Tunnel office = home.client->tunnel({});
        office.name = "office";
        office.tags = {"work"};
        Tunnel house = home.client->tunnel({});
        house.name = "house";
        home.storeTunnels({office, house});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        const TunnelsService service(model, QDBusConnection::sessionBus());
        const RunningName running;

        expectOutcome(run({"status"}), 0, QStringLiteral("house: Not Connected\noffice: Not Connected\n"));
        expectOutcome(run({"connect", "office"}), 0, QStringLiteral("office: Connected\n"));
        expectOutcome(run({"connect", "--tag", "nope"}), 1, {},
                      QStringLiteral("No tunnel is tagged “nope”.\n"));
        expectOutcome(run({"connect", "nobody"}), 1, {}, QStringLiteral("There's no tunnel “nobody”.\n"));
        expectOutcome(run({"disconnect", "--all"}), 0, {});
        QTRY_COMPARE_WITH_TIMEOUT(model.controller().state(office.id), TunnelState::disconnected(), 10'000);
        expectOutcome(run({"connect", "--all"}), 0, {});
        expectOutcome(run({"status", "office", "house"}), 0,
                      QStringLiteral("office: Connected\nhouse: Connected\n"));
        expectOutcome(run({"disconnect", "office", "house"}), 0, {});
        QTRY_COMPARE_WITH_TIMEOUT(model.controller().state(office.id), TunnelState::disconnected(), 10'000);
    }

    // Still connecting once the wait is over: reported, not failed, by name; a failure by tag. Each
    // on its one line, whatever the name holds.
    void reportsATunnelStillConnecting() {
        testing_support::ThrowawayAppHome home;
        const int port = testing_support::freeLoopbackPort();
        const testing_support::PortHolder silentServer(port);
        Tunnel quiet = Tunnel::created();
        quiet.name = "quiet\nfake";
        quiet.host = "127.0.0.1";
        quiet.port = port;
        quiet.tags = {"slow"};
        quiet.options.push_back({tunnelkit::Uuid::random(), "ConnectTimeout", "600"});
        home.storeTunnels({quiet});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppModel model(home.settings, home.alerts, home.parts());
        const TunnelsService service(model, QDBusConnection::sessionBus(), {20ms, 10});
        const RunningName running;

        expectOutcome(run({"connect", "quiet\nfake"}), 0, QStringLiteral("quiet\\u000Afake: Connecting…\n"));
        expectOutcome(run({"connect", "--tag", "slow"}), 1, {},
                      QStringLiteral("“quiet\\u000Afake” is still connecting after 20 seconds.\n"));
        expectOutcome(run({"status"}), 0, QStringLiteral("quiet\\u000Afake: Connecting…\n"));
    }
};

QTEST_MAIN(CommandLineTests)
#include "CommandLineTests.moc"
