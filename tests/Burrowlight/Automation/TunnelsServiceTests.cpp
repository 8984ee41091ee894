#include "Burrowlight/Automation/TunnelsService.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>

using namespace burrowlight;
using namespace std::chrono_literals;
using testing_support::BusPeer;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr uint disconnectedCode = 1113027376; // "BWs0"
constexpr uint connectedCode = 1113027378;    // "BWs2"

// Short steps, for the cases that wait the whole time.
constexpr ConnectionWaits::Steps quickSteps{20ms, 10};

QString path(const Tunnel& tunnel) {
    return scripting::tunnelPath(tunnel.id);
}

QString id(const Tunnel& tunnel) {
    return QString::fromStdString(tunnel.id.toString());
}

// A tunnel to a server that takes the connection and never says a word: ssh waits for its greeting
// far longer than any test.
Tunnel quietTunnel(const std::string& name, int port) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = "127.0.0.1";
    tunnel.port = port;
    tunnel.options.push_back({tunnelkit::Uuid::random(), "ConnectTimeout", "600"});
    return tunnel;
}

// Keeps the PropertiesChanged signals of every object of the application.
class PropertyChanges : public QObject {
    Q_OBJECT

  public:
    struct Change {
        QString path;
        QVariantMap values;
    };

    PropertyChanges(QDBusConnection& peer, const QString& service) {
        QVERIFY(peer.connect(service, QString(), propertiesInterface, QStringLiteral("PropertiesChanged"),
                             this, SLOT(record(QDBusMessage))));
    }

    std::vector<Change> changes;
    bool has(const QString& path, const QString& name, const QVariant& value) const {
        return std::ranges::any_of(changes, [&](const Change& change) {
            return change.path == path && change.values.value(name) == value;
        });
    }

    QStringList names(const QString& path) const {
        QStringList result;
        for (const Change& change : changes) {
            if (change.path == path) {
                result += change.values.keys();
            }
        }
        return result;
    }

  private slots:
    void record(const QDBusMessage& signal) {
        changes.push_back({signal.path(), qdbus_cast<QVariantMap>(signal.arguments().value(1))});
    }
};

// The application's model and its scripting object on this test's session-bus connection, and a
// client of its own on the same bus.
struct Scripting {
    testing_support::ThrowawayAppHome& home;
    AppModel model;
    TunnelsService service;
    BusPeer client{QDBusConnection::SessionBus};

    explicit Scripting(testing_support::ThrowawayAppHome& home, ConnectionWaits::Steps steps = {})
        : home(home), model(home.settings, home.alerts, home.parts()),
          service(model, QDBusConnection::sessionBus(), steps) {}

    static QString service_() { return QDBusConnection::sessionBus().baseService(); }

    QDBusPendingCall send(const QString& method, const QVariantList& arguments, BusPeer* peer = nullptr) {
        auto call = QDBusMessage::createMethodCall(service_(), QString::fromLatin1(scripting::tunnelsPath),
                                                   QString::fromLatin1(scripting::tunnelsInterface), method);
        call.setArguments(arguments);
        return (peer ? *peer : client).connection().asyncCall(call, 60'000);
    }

    // The service answers from this thread's event loop, which must run meanwhile.
    static QDBusMessage answer(QDBusPendingCall pending) {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), 40'000); }();
        return pending.reply();
    }

    QDBusMessage call(const QString& method, const QVariantList& arguments = {}) {
        return answer(send(method, arguments));
    }

    QVariant property(const QString& objectPath, const QString& interface, const QString& name) {
        auto get = QDBusMessage::createMethodCall(service_(), objectPath, propertiesInterface,
                                                  QStringLiteral("Get"));
        get << interface << name;
        const QDBusMessage reply = answer(client.connection().asyncCall(get));
        if (reply.type() != QDBusMessage::ReplyMessage) {
            return {};
        }
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    QVariant tunnelProperty(const Tunnel& tunnel, const char* name) {
        return property(path(tunnel), QString::fromLatin1(scripting::tunnelInterface),
                        QString::fromLatin1(name));
    }

    QStringList paths() {
        const auto value =
            property(QString::fromLatin1(scripting::tunnelsPath),
                     QString::fromLatin1(scripting::tunnelsInterface), QStringLiteral("Tunnels"));
        QStringList result;
        for (const auto& objectPath : qdbus_cast<QList<QDBusObjectPath>>(value)) {
            result.append(objectPath.path());
        }
        return result;
    }

    TunnelState state(const Tunnel& tunnel) const { return model.controller().state(tunnel.id); }
};

// Error names stand for the numbers scripts know: ParameterMissing -1715, NoSuchTunnel -1728,
// Failed -10000. The message is the reply's only argument, where every client library finds it.
void expectError(const QDBusMessage& reply, const QString& name, const QString& text) {
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), name);
    QCOMPARE(reply.errorMessage(), text);
    QCOMPARE(reply.signature(), QStringLiteral("s"));
}

void expectSuccess(const QDBusMessage& reply) {
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

} // namespace

class TunnelsServiceTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void publishesTheLiveTunnelsInListOrderAndAnnouncesChanges() {
        testing_support::ThrowawayAppHome home;
        Tunnel alpha = Tunnel::created();
        alpha.name = "alpha";
        alpha.host = "alpha.example.com";
        alpha.user = "ann";
        alpha.port = 2222;
        alpha.tags = {"lab", "work"};
        Tunnel beta = Tunnel::created();
        beta.host = "beta.example.com";
        Tunnel pinned = Tunnel::created();
        pinned.name = "zeta";
        pinned.host = "zeta.example.com";
        pinned.isPinned = true;
        Tunnel trashed = Tunnel::created();
        trashed.name = "old";
        trashed.deletedAt = tunnelkit::currentDate();
        home.storeTunnels({beta, alpha, trashed, pinned});
        Scripting scripting(home);
        QVERIFY(scripting.service.isRegistered());

        QCOMPARE(scripting.paths(), (QStringList{path(pinned), path(alpha), path(beta)}));
        QCOMPARE(scripting.tunnelProperty(alpha, "UniqueID").toString(), id(alpha).toUpper());
        QCOMPARE(scripting.tunnelProperty(alpha, "Name").toString(), QStringLiteral("alpha"));
        QCOMPARE(scripting.tunnelProperty(beta, "Name").toString(), QStringLiteral("beta.example.com"));
        QCOMPARE(scripting.tunnelProperty(alpha, "Destination").toString(),
                 QStringLiteral("ann@alpha.example.com:2222"));
        QCOMPARE(scripting.tunnelProperty(alpha, "Tags").toStringList(), (QStringList{"lab", "work"}));
        QCOMPARE(scripting.tunnelProperty(alpha, "State").toUInt(), disconnectedCode);
        QCOMPARE(scripting.tunnelProperty(alpha, "LastError").toString(), QString());
        QVERIFY(!scripting.tunnelProperty(trashed, "Name").isValid());

        PropertyChanges changes(scripting.client.connection(), Scripting::service_());
        alpha.name = "aardvark";
        scripting.model.controller().save(alpha);
        scripting.model.controller().moveToTrash({pinned.id});
        QTRY_VERIFY(changes.has(path(alpha), QStringLiteral("Name"), QStringLiteral("aardvark")));
        QTRY_VERIFY(
            changes.names(QString::fromLatin1(scripting::tunnelsPath)).contains(QStringLiteral("Tunnels")));
        QCOMPARE(scripting.paths(), (QStringList{path(alpha), path(beta)}));
        QVERIFY(!scripting.tunnelProperty(pinned, "Name").isValid());
    }

    void connectsAndDisconnectsByNameIdPathTagAndAll() {
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
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        const AppLogRecorder log;
        Scripting scripting(home);
        PropertyChanges changes(scripting.client.connection(), Scripting::service_());

        expectSuccess(scripting.call(QStringLiteral("Connect"), {QStringList{"office"}, QString()}));
        QVERIFY(scripting.state(office).isConnected());
        QCOMPARE(scripting.state(lab), TunnelState::disconnected());
        QCOMPARE(scripting.tunnelProperty(office, "State").toUInt(), connectedCode);
        QTRY_VERIFY(changes.has(path(office), QStringLiteral("State"), connectedCode));
        QCOMPARE(log.count(QStringLiteral("app: Scripting connect: 1 tunnels")), 1);

        expectSuccess(scripting.call(QStringLiteral("Disconnect"), {QStringList(), QStringLiteral("work")}));
        QCOMPARE(log.count(QStringLiteral("app: Scripting disconnect: 2 tunnels")), 1);
        QTRY_COMPARE_WITH_TIMEOUT(scripting.state(office), TunnelState::disconnected(), 10'000);

        // A path, and an id in lower case, named twice over: each tunnel once.
        expectSuccess(
            scripting.call(QStringLiteral("Connect"),
                           {QStringList{path(house), id(lab).toLower(), QStringLiteral("lab")}, QString()}));
        QCOMPARE(log.count(QStringLiteral("app: Scripting connect: 2 tunnels")), 1);
        QVERIFY(scripting.state(house).isConnected());
        QVERIFY(scripting.state(lab).isConnected());

        expectSuccess(scripting.call(QStringLiteral("DisconnectAll")));
        QTRY_COMPARE_WITH_TIMEOUT(scripting.state(lab), TunnelState::disconnected(), 10'000);
        QTRY_COMPARE_WITH_TIMEOUT(scripting.state(house), TunnelState::disconnected(), 10'000);

        expectSuccess(scripting.call(QStringLiteral("ConnectAll")));
        for (const Tunnel& tunnel : {office, lab, house}) {
            QVERIFY(scripting.state(tunnel).isConnected());
        }
        const QDBusMessage status =
            scripting.call(QStringLiteral("GetTunnelStatus"), {QStringList{"lab", "office", "lab"}});
        QCOMPARE(status.arguments().value(0).toStringList(),
                 (QStringList{"lab: Connected", "office: Connected", "lab: Connected"}));
        expectSuccess(scripting.call(QStringLiteral("DisconnectTunnels"), {QStringList{"office"}}));
        QTRY_COMPARE_WITH_TIMEOUT(scripting.state(office), TunnelState::disconnected(), 10'000);
        QVERIFY(scripting.state(lab).isConnected());
        QVERIFY(!scripting.service.isWaiting());
    }

    void refusesWhatNamesNoTunnelAndConnectsNothing() {
        testing_support::ThrowawayAppHome home;
        Tunnel office = Tunnel::created();
        office.name = "office";
        office.host = "127.0.0.1";
        Tunnel trashed = Tunnel::created();
        trashed.name = "old";
        trashed.tags = {"nope"};
        trashed.deletedAt = tunnelkit::currentDate();
        home.storeTunnels({office, trashed});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Scripting scripting(home);
        const QString noSuchTunnel = QStringLiteral("com.tolvan.burrowlight.Error.NoSuchTunnel");

        expectError(
            scripting.call(QStringLiteral("Connect"), {QStringList(), QString()}),
            QStringLiteral("com.tolvan.burrowlight.Error.ParameterMissing"),
            QStringLiteral("Say which tunnels, for example: connect tunnel \"Name\", connect every tunnel "
                           "or connect tagged \"Tag\"."));
        // The tag fails the command even where the names were good.
        expectError(
            scripting.call(QStringLiteral("Connect"), {QStringList{"office"}, QStringLiteral("nope")}),
            noSuchTunnel, QStringLiteral("No tunnel is tagged “nope”."));
        expectError(
            scripting.call(QStringLiteral("Disconnect"), {QStringList{"office", "nobody"}, QString()}),
            noSuchTunnel, QStringLiteral("There's no tunnel “nobody”."));
        expectError(scripting.call(QStringLiteral("Connect"), {QStringList{id(trashed)}, QString()}),
                    noSuchTunnel, QStringLiteral("There's no tunnel “%1”.").arg(id(trashed)));
        expectError(scripting.call(QStringLiteral("ConnectTunnels"), {QStringList{"old"}}), noSuchTunnel,
                    QStringLiteral("There's no tunnel “old”."));
        // A name too long to read is quoted back cut short, not sent back whole.
        expectError(scripting.call(QStringLiteral("GetTunnelStatus"), {QStringList{QString(300, 'x')}}),
                    noSuchTunnel, QStringLiteral("There's no tunnel “%1…”.").arg(QString(200, 'x')));
        QVERIFY(!scripting.model.controller().hasConnection(office.id));
    }

    void connectingWaitsForTheTermsOfUse() {
        testing_support::ThrowawayAppHome home;
        Tunnel office = Tunnel::created();
        office.name = "office";
        office.host = "127.0.0.1";
        home.storeTunnels({office});
        const AppLogRecorder log;
        Scripting scripting(home);
        const QString refusal = QStringLiteral("com.tolvan.burrowlight.Error.Failed");
        const QString text = QStringLiteral("Accept the terms of use of Burrowlight first.");

        expectError(scripting.call(QStringLiteral("Connect"), {QStringList{"office"}, QString()}), refusal,
                    text);
        QCOMPARE(
            log.count(QStringLiteral("app: Scripting connect refused: the terms of use aren't accepted")), 1);
        QVERIFY(scripting.model.termsWindow().isPending());
        int opened = 0;
        scripting.model.termsWindow().install([&opened] { ++opened; });
        expectError(scripting.call(QStringLiteral("ConnectAll")), refusal, text);
        expectError(scripting.call(QStringLiteral("ConnectTunnels"), {QStringList()}), refusal, text);
        QCOMPARE(opened, 3);
        QVERIFY(!scripting.model.controller().hasConnection(office.id));

        // Neither reading nor disconnecting needs them.
        const QDBusMessage status =
            scripting.call(QStringLiteral("GetTunnelStatus"), {QStringList{"office"}});
        QCOMPARE(status.arguments().value(0).toStringList(), QStringList{"office: Not Connected"});
        expectSuccess(scripting.call(QStringLiteral("Disconnect"), {QStringList{"office"}, QString()}));
    }

    void reportsWhatDidNotConnectOnceTheWaitEnds() {
        testing_support::ThrowawayAppHome home;
        const int port = testing_support::freeLoopbackPort();
        const testing_support::PortHolder silentServer(port);
        QVERIFY(silentServer.isHeld());
        const Tunnel quiet = quietTunnel("quiet", port);
        Tunnel broken = Tunnel::created();
        // A name that would reverse, clear or misalign a terminal that prints the error as it is.
        broken.name = "broken \u202Etxt.exe\t\x1B[2J";
        const QString brokenName = QString::fromStdString(broken.name);
        home.storeTunnels({quiet, broken});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        const AppLogRecorder log;
        Scripting scripting(home, quickSteps);

        const QDBusMessage lines =
            scripting.call(QStringLiteral("ConnectTunnels"), {QStringList{"quiet", brokenName}});
        QCOMPARE(scripting.state(broken), TunnelState::failed());
        const auto problem = scripting.model.controller().connection(broken.id)->problem();
        QVERIFY(problem);
        const QString brokenText = texts::message(*problem);
        QCOMPARE(lines.arguments().value(0).toStringList(),
                 (QStringList{"quiet: Connecting…", brokenName + ": " + brokenText}));

        expectError(scripting.call(QStringLiteral("Connect"), {QStringList{"quiet", brokenName}, QString()}),
                    QStringLiteral("com.tolvan.burrowlight.Error.Failed"),
                    "“broken \\u202Etxt.exe\\u0009\\u001B[2J” didn't connect: " + brokenText +
                        "\n“quiet” is still connecting after 20 seconds.");
        QCOMPARE(log.count(QStringLiteral("app: Scripting connect: 1 tunnels didn't connect")), 0);
        QCOMPARE(log.count(QStringLiteral("app: Scripting connect: 2 tunnels didn't connect")), 1);
        QCOMPARE(scripting.tunnelProperty(broken, "LastError").toString(), brokenText);
        QCOMPARE(scripting.tunnelProperty(quiet, "LastError").toString(), QString());
    }

    void answersEveryCallerAndLetsCallersLeave() {
        testing_support::ThrowawayAppHome home;
        const int port = testing_support::freeLoopbackPort();
        const testing_support::PortHolder silentServer(port);
        const Tunnel quiet = quietTunnel("quiet", port);
        home.storeTunnels({quiet});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        Scripting scripting(home);

        // Nobody is left to answer: the wait ends long before its time.
        {
            BusPeer leaving(QDBusConnection::SessionBus);
            scripting.send(QStringLiteral("ConnectTunnels"), {QStringList{"quiet"}}, &leaving);
            QTRY_VERIFY(scripting.service.isWaiting());
        }
        QTRY_VERIFY(!scripting.service.isWaiting());
        QCOMPARE(scripting.state(quiet), TunnelState::connecting());

        BusPeer other(QDBusConnection::SessionBus);
        const QDBusPendingCall lines =
            scripting.send(QStringLiteral("ConnectTunnels"), {QStringList{"quiet"}});
        const QDBusPendingCall command =
            scripting.send(QStringLiteral("Connect"), {QStringList{"quiet"}, QString()}, &other);
        // Each caller's calls are served in order: both connects are waiting once these are answered.
        for (BusPeer* peer : {&scripting.client, &other}) {
            const QDBusMessage status = Scripting::answer(
                scripting.send(QStringLiteral("GetTunnelStatus"), {QStringList{"quiet"}}, peer));
            QCOMPARE(status.arguments().value(0).toStringList(), QStringList{"quiet: Connecting…"});
        }
        // Disconnected by the user meanwhile.
        scripting.model.controller().disconnect({quiet.id});
        QCOMPARE(Scripting::answer(lines).arguments().value(0).toStringList(),
                 QStringList{"quiet: Not Connected"});
        expectError(Scripting::answer(command), QStringLiteral("com.tolvan.burrowlight.Error.Failed"),
                    QStringLiteral("“quiet” didn't connect: Not Connected"));
        QTRY_VERIFY(!scripting.service.isWaiting());
    }
};

QTEST_MAIN(TunnelsServiceTests)
#include "TunnelsServiceTests.moc"
