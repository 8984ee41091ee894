// The real executable twice over: the running application on a private session bus, and its
// command-line actions and D-Bus clients of the test's own acting on it.
#include "Burrowlight/Automation/ScriptTunnels.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>

using namespace burrowlight;
using namespace std::chrono_literals;
using testing_support::BusPeer;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;

namespace {

const QString service = QString::fromLatin1(bundleIdentifier);
constexpr uint disconnectedCode = 1113027376; // "BWs0"
constexpr uint connectedCode = 1113027378;    // "BWs2"

QProcessEnvironment environmentIn(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("LANGUAGE"));
    return environment;
}

QDBusMessage tunnelsCall(const QString& method, const QVariantList& arguments) {
    auto call = QDBusMessage::createMethodCall(service, QString::fromLatin1(scripting::tunnelsPath),
                                               QString::fromLatin1(scripting::tunnelsInterface), method);
    call.setArguments(arguments);
    return call;
}

QDBusMessage answer(const QDBusPendingCall& pending) {
    [&] { QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), 60'000); }();
    return pending.reply();
}

QVariant tunnelProperty(const Tunnel& tunnel, const QString& name) {
    auto get = QDBusMessage::createMethodCall(service, scripting::tunnelPath(tunnel.id),
                                              QStringLiteral("org.freedesktop.DBus.Properties"),
                                              QStringLiteral("Get"));
    get << QString::fromLatin1(scripting::tunnelInterface) << name;
    return QDBusConnection::sessionBus().call(get).arguments().value(0).value<QDBusVariant>().variant();
}

uint stateCode(const Tunnel& tunnel) {
    return tunnelProperty(tunnel, QStringLiteral("State")).toUInt();
}

// The application, started in the home of the test's ssh client, until it is told to quit.
class RunningApplication {
  public:
    explicit RunningApplication(const QString& home) {
        process_.setProcessEnvironment(environmentIn(home));
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(QStringLiteral(BURROWLIGHT_EXECUTABLE), {});
        const auto tunnelsAnswer = [] {
            auto get = QDBusMessage::createMethodCall(service, QString::fromLatin1(scripting::tunnelsPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
            get << QString::fromLatin1(scripting::tunnelsInterface) << QStringLiteral("Tunnels");
            return QDBusConnection::sessionBus().call(get).type() == QDBusMessage::ReplyMessage;
        };
        [&] { QTRY_VERIFY_WITH_TIMEOUT(tunnelsAnswer(), 30'000); }();
    }

    ~RunningApplication() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(20'000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    bool isRunning() const { return process_.state() == QProcess::Running; }

  private:
    QProcess process_;
};

// A command-line action under way; the event loop runs while it does.
class Action {
  public:
    Action(const QString& home, const QStringList& arguments) {
        process_.setProcessEnvironment(environmentIn(home));
        process_.start(QStringLiteral(BURROWLIGHT_EXECUTABLE), arguments);
    }

    struct Outcome {
        int status = -1;
        QString output;
        QString errors;
    };

    Outcome finish() {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(process_.state() == QProcess::NotRunning, 60'000); }();
        return {process_.exitCode(), QString::fromUtf8(process_.readAllStandardOutput()),
                QString::fromUtf8(process_.readAllStandardError())};
    }

    void kill() {
        process_.kill();
        process_.waitForFinished();
    }

  private:
    QProcess process_;
};

Action::Outcome run(const QString& home, const QStringList& arguments) {
    return Action(home, arguments).finish();
}

void expectOutcome(const Action::Outcome& outcome, int status, const QString& output,
                   const QString& errors = {}) {
    QCOMPARE(outcome.output, output);
    QCOMPARE(outcome.errors, errors);
    QCOMPARE(outcome.status, status);
}

// Where the application keeps its settings: the terms of use accepted there.
void acceptTermsOfUse() {
    const QString file =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/com.tolvan.burrowlight/burrowlight.conf");
    AppSettings(std::make_unique<QSettings>(file, QSettings::IniFormat))
        .recordTermsAcceptance(QDateTime::currentDateTimeUtc());
}

} // namespace

class ScriptingEndToEndTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void connectsByNameTagAndAllAndReportsTheStatus() {
        testing_support::ThrowawayAppHome home;
        home.startServer();
        Tunnel office = home.client->tunnel({});
        office.name = "office";
        office.tags = {"work"};
        Tunnel lab = home.client->tunnel({});
        lab.name = "lab";
        lab.tags = {"work"};
        Tunnel house = home.client->tunnel({});
        house.name = "house";
        home.storeTunnels({office, lab, house});
        acceptTermsOfUse();
        const QString clientHome = QString::fromStdString(home.client->home());
        const RunningApplication application(clientHome);

        QCOMPARE(stateCode(office), disconnectedCode);
        expectOutcome(run(clientHome, {"status"}), 0,
                      QStringLiteral("house: Not Connected\nlab: Not Connected\noffice: Not Connected\n"));
        expectOutcome(run(clientHome, {"connect", "office"}), 0, QStringLiteral("office: Connected\n"));
        QCOMPARE(stateCode(office), connectedCode);
        QCOMPARE(stateCode(lab), disconnectedCode);

        expectOutcome(run(clientHome, {"connect", "--tag", "work"}), 0, {});
        expectOutcome(run(clientHome, {"status", "lab", "house"}), 0,
                      QStringLiteral("lab: Connected\nhouse: Not Connected\n"));
        expectOutcome(run(clientHome, {"connect", "--tag", "nope"}), 1, {},
                      QStringLiteral("No tunnel is tagged “nope”.\n"));

        expectOutcome(run(clientHome, {"disconnect", "--all"}), 0, {});
        QTRY_COMPARE_WITH_TIMEOUT(stateCode(lab), disconnectedCode, 10'000);
        expectOutcome(run(clientHome, {"connect", "--all"}), 0, {});
        expectOutcome(run(clientHome, {"status"}), 0,
                      QStringLiteral("house: Connected\nlab: Connected\noffice: Connected\n"));
        expectOutcome(run(clientHome, {"disconnect", "house"}), 0, {});
        QTRY_COMPARE_WITH_TIMEOUT(stateCode(house), disconnectedCode, 10'000);
        QVERIFY(application.isRunning());
    }

    // An unreadable tunnels file is no empty list: every command fails with the reason.
    void saysWhenTheTunnelsCouldNotBeRead() {
        testing_support::ThrowawayAppHome home;
        QVERIFY(QDir().mkpath(QString::fromStdString(home.applicationSupport())));
        QFile file(QString::fromStdString(home.applicationSupport() + "/tunnels.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"tunnels\": [");
        file.close();
        acceptTermsOfUse();
        const QString userHome = QString::fromStdString(home.folder.file("home"));
        const RunningApplication application(userHome);

        for (const QStringList& command :
             {QStringList{"status"}, QStringList{"connect", "--all"}, QStringList{"disconnect", "office"}}) {
            expectOutcome(
                run(userHome, command), 1, {},
                QStringLiteral("The tunnels couldn't be read: The file isn't in the expected format.\n"));
        }
    }

    // The tunnels' texts searched, in the order of the file; names and tags as the bus shows them
    // name their tunnel, NUL and all; no name reorders the terminal's line or adds one.
    void findsTunnelsByTheirTextsAndByWhatTheBusShows() {
        testing_support::ThrowawayAppHome home;
        const auto named = [](const std::string& name) {
            Tunnel tunnel = Tunnel::created();
            tunnel.name = name;
            tunnel.host = "127.0.0.1";
            return tunnel;
        };
        Tunnel office = named("office");
        office.forwards.push_back(Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                                Endpoint::tcp("", 8080), Endpoint::tcp("web", 80), ""));
        Tunnel trashed = named("web-old");
        trashed.deletedAt = tunnelkit::currentDate();
        Tunnel nul = named(std::string("nul\0name", 8));
        nul.tags = {std::string("tag\0nul", 7)};
        const Tunnel forging = named("Office: Connected\nfake\u2028x\u2029y");
        home.storeTunnels(
            {named("Web-zeta"), office, trashed, named("web-alpha"), nul, named("\u202Egnp.exe"), forging});
        const QString clientHome = QString::fromStdString(home.folder.file("home"));
        QVERIFY(QDir().mkpath(clientHome));
        const RunningApplication application(clientHome);

        expectOutcome(
            run(clientHome, {"status", "--matching", "WEB"}), 0,
            QStringLiteral("Web-zeta: Not Connected\noffice: Not Connected\nweb-alpha: Not Connected\n"));
        expectOutcome(run(clientHome, {"status", "--matching", ".exe"}), 0,
                      QStringLiteral("\\u202Egnp.exe: Not Connected\n"));
        expectOutcome(run(clientHome, {"status", "--matching", "fake"}), 0,
                      QStringLiteral("Office: Connected\\u000Afake\\u2028x\\u2029y: Not Connected\n"));
        QCOMPARE(tunnelProperty(forging, QStringLiteral("Name")).toString(),
                 QString::fromStdString(forging.name));

        const QString shownName = tunnelProperty(nul, QStringLiteral("Name")).toString();
        const QStringList shownTags = tunnelProperty(nul, QStringLiteral("Tags")).toStringList();
        QCOMPARE(shownName, QStringLiteral("nul\uFFFDname"));
        QCOMPARE(shownTags, QStringList{QStringLiteral("tag\uFFFDnul")});
        expectOutcome(run(clientHome, {"status", shownName}), 0,
                      QStringLiteral("nul\uFFFDname: Not Connected\n"));
        const QDBusMessage disconnect = QDBusConnection::sessionBus().call(
            tunnelsCall(QStringLiteral("Disconnect"), {QStringList(), shownTags.front()}));
        QVERIFY2(disconnect.type() == QDBusMessage::ReplyMessage, qPrintable(disconnect.errorMessage()));
    }

    void waitsTwentySecondsForATunnelStillConnectingAndAnswersEveryone() {
        testing_support::ThrowawayAppHome home;
        // Takes the connection and never says a word: ssh waits for the server's greeting.
        const int port = testing_support::freeLoopbackPort();
        const testing_support::PortHolder silentServer(port);
        Tunnel quiet = Tunnel::created();
        quiet.name = "T";
        quiet.host = "127.0.0.1";
        quiet.port = port;
        quiet.options.push_back({tunnelkit::Uuid::random(), "ConnectTimeout", "600"});
        home.storeTunnels({quiet});
        acceptTermsOfUse();
        const QString clientHome = QString::fromStdString(home.folder.file("home"));
        QVERIFY(QDir().mkpath(clientHome));
        const RunningApplication application(clientHome);

        BusPeer scriptClient(QDBusConnection::SessionBus);
        const QDBusPendingCall command = scriptClient.connection().asyncCall(
            tunnelsCall("Connect", {QStringList{"T"}, QString()}), 60'000);
        Action commandLine(clientHome, {"connect", "T"});
        Action leavingCommandLine(clientHome, {"connect", "T"});
        {
            BusPeer leaving(QDBusConnection::SessionBus);
            leaving.connection().asyncCall(tunnelsCall("ConnectTunnels", {QStringList{"T"}}), 60'000);
            leaving.connection().asyncCall(tunnelsCall("Connect", {QStringList{"T"}, QString()}), 60'000);
        }
        QTest::qWait(1000);
        leavingCommandLine.kill();

        const QDBusMessage failure = answer(command);
        QCOMPARE(failure.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(failure.errorName(), QStringLiteral("com.tolvan.burrowlight.Error.Failed"));
        QCOMPARE(failure.errorMessage(), QStringLiteral("“T” is still connecting after 20 seconds."));
        expectOutcome(commandLine.finish(), 0, QStringLiteral("T: Connecting…\n"));

        QVERIFY(application.isRunning());
        expectOutcome(run(clientHome, {"status"}), 0, QStringLiteral("T: Connecting…\n"));
    }
};

QTEST_MAIN(ScriptingEndToEndTests)
#include "ScriptingEndToEndTests.moc"
