#include "Burrowlight/Core/ForwardDraft.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using Kind = tunnelkit::Forward::Kind;
using Access = ForwardDraft::Access;
using Field = ForwardDraft::Field;

namespace {

Forward saved(Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt,
              std::string note = {}) {
    return Forward::make(tunnelkit::Uuid::random(), kind, true, std::move(listen), std::move(target),
                         std::move(note));
}

ForwardDraft draftOn(Kind kind, Access access, const QString& port, const QString& address = {}) {
    auto draft = ForwardDraft::blank(kind);
    draft.access = access;
    draft.address = address;
    draft.listenPort = port;
    draft.targetPort = QStringLiteral("80");
    return draft;
}

} // namespace

class ForwardDraftTests : public QObject {
    Q_OBJECT

  private slots:
    void savedForwardsComeBackUnchanged() {
        const auto loopback = saved(Kind::local, Endpoint::tcp("127.0.0.1", 8080), Endpoint::tcp("db", 5432));
        const auto draft = ForwardDraft::from(loopback);
        QCOMPARE(draft.access, Access::loopback);
        QCOMPARE(draft.loopbackHost, std::optional(QStringLiteral("127.0.0.1")));
        QVERIFY(draft.listenPortTyped && draft.targetPortTyped);
        QVERIFY(draft.forward() == loopback);

        for (const auto& forward :
             {saved(Kind::remote, Endpoint::tcp("*", 9000), Endpoint::socket("/run/app.sock"), "app"),
              saved(Kind::dynamic, Endpoint::tcp("10.0.0.5", 1080)),
              saved(Kind::local, Endpoint::socket("/tmp/in.sock"), Endpoint::tcp("localhost", 22))}) {
            QVERIFY(ForwardDraft::from(forward).forward() == forward);
        }
    }

    void newLoopbackRowsListenWhereTheirSideExpects() {
        auto remote = ForwardDraft::blank(Kind::remote);
        remote.setListenPort(QStringLiteral("8080"));
        QVERIFY(remote.listenEndpoint() == Endpoint::tcp("", 8080));
        QVERIFY2(remote.targetEndpoint() == Endpoint::tcp("localhost", 8080), "an empty host is localhost");
        auto local = ForwardDraft::blank(Kind::local);
        local.setListenPort(QStringLiteral("8080"));
        QVERIFY(local.listenEndpoint() == Endpoint::tcp("localhost", 8080));
    }

    void socketDestinationIgnoresThePort() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.setListenPort(QStringLiteral("8080"));
        draft.setTargetHost(QStringLiteral("~/run/app.sock"));
        draft.targetPort = QStringLiteral("abc");
        QVERIFY(draft.targetEndpoint() == Endpoint::socket("~/run/app.sock"));
        QVERIFY(draft.problems(std::nullopt).empty());
    }

    void portsAreDigitsFromOneTo65535() {
        QCOMPARE(parsePort(QStringLiteral(" 8080\t")), std::optional(8080));
        QCOMPARE(parsePort(QStringLiteral("0080")), std::optional(80));
        for (const char* text :
             {"+22", "-1", "0", "65536", "70000", "8o80", "abc", "", "99999999999999999999"}) {
            QVERIFY2(!parsePort(QString::fromLatin1(text)), text);
        }
        const ForwardDraft::Problem outOfRange{QStringLiteral("Ports go from 1 to 65535."), false};
        QCOMPARE(portProblem(QStringLiteral("abc")), std::optional(outOfRange));
        QCOMPARE(portProblem(QStringLiteral("70000")), std::optional(outOfRange));
        QCOMPARE(portProblem(QStringLiteral("+22")), std::optional(outOfRange));
        QCOMPARE(portProblem(QStringLiteral(" \t")),
                 std::optional(ForwardDraft::Problem{QStringLiteral("The port is missing."), true}));
    }

    void addressesAndSocketPathsAreChecked() {
        QVERIFY(!addressProblem(QStringLiteral(" db.example.com ")));
        QVERIFY(!addressProblem(QStringLiteral("::1")));
        QVERIFY(addressProblem(QStringLiteral("[::1]")));
        for (const char* text : {"a b", "-db", "a/b"}) {
            QCOMPARE(addressProblem(QString::fromLatin1(text))->message,
                     QStringLiteral("Addresses can't contain spaces or slashes, or start with a dash."));
        }
        QVERIFY(addressProblem(QString())->isMissing);
        QVERIFY(!socketPathProblem(QStringLiteral("~/run/a.sock")));
        QCOMPARE(socketPathProblem(QStringLiteral("/run/a:b"))->message,
                 QStringLiteral("Socket paths start with / or ~/ and can't contain spaces or colons."));
        QCOMPARE(socketPathProblem(QStringLiteral("")),
                 std::optional(ForwardDraft::Problem{QStringLiteral("The socket path is missing."), true}));
    }

    void typedListeningPortFillsTheDestinationPortUntilThatIsTyped() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.setListenPort(QStringLiteral("1"));
        draft.setListenPort(QStringLiteral("12"));
        QCOMPARE(draft.listenPort, QStringLiteral("12"));
        QCOMPARE(draft.targetPort, QStringLiteral("12"));
        draft.targetPort = QStringLiteral("22");
        draft.targetPortTyped = true;
        draft.setListenPort(QStringLiteral("123"));
        QCOMPARE(draft.targetPort, QStringLiteral("22"));
    }

    void pastedHostAndPortSplitsOnlyInBracketsForIPv6() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.setListenPort(QStringLiteral("[::1]:9000"));
        QCOMPARE(draft.access, Access::loopback);
        QCOMPARE(draft.loopbackHost, std::optional(QStringLiteral("::1")));
        QCOMPARE(draft.listenPort, QStringLiteral("9000"));
        QCOMPARE(draft.targetPort, QStringLiteral("9000"));

        auto unsplit = ForwardDraft::blank(Kind::local);
        unsplit.setListenPort(QStringLiteral("::1:9000"));
        QCOMPARE(unsplit.listenPort, QStringLiteral("::1:9000"));
        QCOMPARE(unsplit.access, Access::loopback);
        QVERIFY(!unsplit.loopbackHost);
        QVERIFY(!hostAndPort(QStringLiteral("::1:9000")));

        auto everyone = ForwardDraft::blank(Kind::dynamic);
        everyone.setListenPort(QStringLiteral("*:1080"));
        QCOMPARE(everyone.access, Access::everyone);
        QVERIFY(everyone.listenEndpoint() == Endpoint::tcp("*", 1080));
    }

    void typingAfterAPortNeverSplits() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.setListenPort(QStringLiteral("db"));
        draft.setListenPort(QStringLiteral("db:"));
        draft.setListenPort(QStringLiteral("db:5"));
        QCOMPARE(draft.listenPort, QStringLiteral("db:5"));
        QCOMPARE(draft.normalized().address, QStringLiteral("db"));
        QCOMPARE(draft.normalized().listenPort, QStringLiteral("5"));
    }

    void pastedDestinationFillsBothPortsUntilTheListeningPortIsTyped() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.setTargetHost(QStringLiteral("db.internal:5432"));
        QCOMPARE(draft.targetHost, QStringLiteral("db.internal"));
        QCOMPARE(draft.targetPort, QStringLiteral("5432"));
        QCOMPARE(draft.listenPort, QStringLiteral("5432"));
        QVERIFY(!draft.listenPortTyped);
        QVERIFY(draft.forward());

        auto typed = ForwardDraft::blank(Kind::local);
        typed.setListenPort(QStringLiteral("15432"));
        typed.targetHost = QStringLiteral("db:5432");
        typed.splitHostAndPort(Field::targetHost);
        QCOMPARE(typed.listenPort, QStringLiteral("15432"));
        QCOMPARE(typed.targetPort, QStringLiteral("5432"));
    }

    void laterRowNamesTheEarlierRowItClashesWith() {
        auto first = draftOn(Kind::local, Access::loopback, QStringLiteral("5432"));
        auto proxy = draftOn(Kind::dynamic, Access::everyone, QStringLiteral("5432"));
        std::vector drafts{first, proxy};
        QCOMPARE(clashingForward(proxy.id, drafts), std::optional(QStringLiteral("Local")));
        QVERIFY(!clashingForward(first.id, drafts));
        QCOMPARE(proxy.problems(QStringLiteral("Local")).at(Field::listenPort).message,
                 QStringLiteral("Port already used by “\u2068Local\u2069”."));

        first.note = QStringLiteral(" database ");
        QCOMPARE(clashingForward(proxy.id, {first, proxy}), std::optional(QStringLiteral("database")));

        auto disabled = first;
        disabled.isEnabled = false;
        QVERIFY(!clashingForward(proxy.id, {disabled, proxy}));
        auto remote = draftOn(Kind::remote, Access::loopback, QStringLiteral("5432"));
        QVERIFY2(!clashingForward(remote.id, {first, remote}), "the server's side never clashes with ours");
        auto socket = first;
        socket.access = Access::socket;
        QVERIFY(!clashingForward(proxy.id, {socket, proxy}));
    }

    void loopbackAndAddressClashOnlyWhenTheyAreTheSameText() {
        const auto loopback = draftOn(Kind::local, Access::loopback, QStringLiteral("80"));
        const auto numeric =
            draftOn(Kind::local, Access::address, QStringLiteral("80"), QStringLiteral("127.0.0.1"));
        const auto again =
            draftOn(Kind::local, Access::address, QStringLiteral("80"), QStringLiteral("127.0.0.1"));
        QVERIFY(!clashingForward(numeric.id, {loopback, numeric}));
        QCOMPARE(clashingForward(again.id, {loopback, numeric, again}),
                 std::optional(QStringLiteral("Local")));
    }

    void clashGivesWayToAProblemOfThePortOrAddress() {
        const auto badAddress =
            draftOn(Kind::local, Access::address, QStringLiteral("80"), QStringLiteral("a b"));
        const auto found = badAddress.problems(QStringLiteral("Local"));
        QVERIFY(found.contains(Field::address));
        QVERIFY(!found.contains(Field::listenPort));
    }

    void saveBlockerSaysWhatToDo() {
        const auto blank = ForwardDraft::blank(Kind::local);
        QCOMPARE(saveBlocker({blank}),
                 std::optional(QStringLiteral("Complete “\u2068Local\u2069”, or remove it.")));
        auto wrong = blank;
        wrong.setListenPort(QStringLiteral("70000"));
        QCOMPARE(saveBlocker({wrong}), std::optional(QStringLiteral("Fix “\u2068Local\u2069” to save.")));
        QCOMPARE(saveBlocker({blank, wrong}), std::optional(QStringLiteral("Fix 2 forwards to save.")));

        const auto first = draftOn(Kind::local, Access::loopback, QStringLiteral("5432"));
        const auto clashing = draftOn(Kind::dynamic, Access::everyone, QStringLiteral("5432"));
        QCOMPARE(saveBlocker({first, clashing}),
                 std::optional(QStringLiteral("Fix “\u2068SOCKS on This Computer\u2069” to save.")));
        QVERIFY(!saveBlocker({first}));
        QVERIFY(!saveBlocker({}));
    }

    // The bar keeps to one line, whatever breaks the forward's name holds.
    void saveBlockerNamesAForwardOnOneLine() {
        auto named = ForwardDraft::blank(Kind::local);
        named.note = QStringLiteral("db\nreplica\u2029eu");
        QCOMPARE(saveBlocker({named}),
                 std::optional(QStringLiteral("Complete “\u2068db replica eu\u2069”, or remove it.")));
    }

    void problemLinesShowEmptyFieldsOnlyOnceLeft() {
        auto draft = ForwardDraft::blank(Kind::local);
        draft.targetHost = QStringLiteral("-db");
        QCOMPARE(
            draft.problemLines(std::nullopt, {}),
            QStringList{QStringLiteral(
                "Destination Address: addresses can't contain spaces or slashes, or start with a dash.")});
        QCOMPARE(
            draft.problemLines(std::nullopt, {Field::listenPort}),
            (QStringList{QStringLiteral("Port on This Computer: the port is missing."),
                         QStringLiteral("Destination Address: addresses can't contain spaces or slashes, "
                                        "or start with a dash.")}));
        auto remote = ForwardDraft::blank(Kind::remote);
        remote.listenPort = QStringLiteral("abc");
        QCOMPARE(remote.problemLines(std::nullopt, {}).value(0),
                 QStringLiteral("Port on the Server: ports go from 1 to 65535."));
    }

    void listeningSideInWords() {
        QCOMPARE(draftOn(Kind::local, Access::everyone, QStringLiteral("8080")).listenDescription(),
                 std::optional(QStringLiteral("localhost:8080")));
        QCOMPARE(draftOn(Kind::remote, Access::loopback, QStringLiteral("8080")).listenDescription(),
                 std::optional(QStringLiteral("localhost:8080")));
        QCOMPARE(draftOn(Kind::local, Access::address, QStringLiteral("80"), QStringLiteral("fe80::1"))
                     .listenDescription(),
                 std::optional(QStringLiteral("[fe80::1]:80")));
        QVERIFY(!draftOn(Kind::local, Access::loopback, QStringLiteral("x")).listenDescription());
    }
};

QTEST_GUILESS_MAIN(ForwardDraftTests)
#include "ForwardDraftTests.moc"
