#include "Burrowlight/Models/ForwardRowModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using Field = ForwardDraft::Field;
using Access = ForwardDraft::Access;

namespace {

struct Row {
    TunnelDraft draft{Tunnel::created(), true};
    tunnelkit::Uuid id;
    std::unique_ptr<ForwardRowModel> model;

    explicit Row(Forward::Kind kind, ForwardRowModel::LiveTest live = {}) {
        id = draft.addForward(kind);
        model = std::make_unique<ForwardRowModel>(draft, id, std::move(live));
    }
    QString sentence() const {
        const auto made = model->explanation();
        return made ? made->filled() : QString();
    }
};

} // namespace

class ForwardRowModelTests : public QObject {
    Q_OBJECT

  private slots:
    void blankRowShowsNothingUntilAFieldIsLeft() {
        Row row(Forward::Kind::local);
        QVERIFY(row.model->problemLines().isEmpty());
        QCOMPARE(row.model->explanation(), std::nullopt);
        QVERIFY(!row.model->isOutlined(Field::listenPort));

        QSignalSpy changed(row.model.get(), &ForwardRowModel::changed);
        row.model->leave(Field::listenPort);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(row.model->problemLines(),
                 QStringList{QStringLiteral("Port on This Computer: the port is missing.")});
        QVERIFY(row.model->isOutlined(Field::listenPort));
        QVERIFY(!row.model->isOutlined(Field::targetPort));
    }

    void otherProblemsShowAtOnceButOutlineOnlyOnceLeft() {
        Row row(Forward::Kind::remote);
        row.model->setTargetPort(QStringLiteral("80"));
        row.model->setListenPort(QStringLiteral("70000"));
        QCOMPARE(row.model->problemLines(),
                 QStringList{QStringLiteral("Port on the Server: ports go from 1 to 65535.")});
        QVERIFY(!row.model->isOutlined(Field::listenPort));
        row.model->leave(Field::listenPort);
        QVERIFY(row.model->isOutlined(Field::listenPort));
    }

    void sentencesForEveryKindAndAccess() {
        Row local(Forward::Kind::local);
        local.model->setListenPort(QStringLiteral("8080"));
        local.model->setTargetHost(QStringLiteral("10.0.0.5"));
        local.model->setTargetPort(QStringLiteral("5432"));
        QCOMPARE(local.sentence(), QStringLiteral("Connect to localhost:8080 on this computer to reach "
                                                  "10.0.0.5:5432 as if you were on the server."));
        local.model->setTargetHost(QString());
        QCOMPARE(local.sentence(), QStringLiteral("Connect to localhost:8080 on this computer to reach "
                                                  "localhost:5432 as if you were on the server."));

        local.model->setAccess(Access::everyone);
        QVERIFY(local.sentence().startsWith(QStringLiteral("Connect to localhost:8080 ")));
        QCOMPARE(
            local.model->listenHint(),
            std::optional(QStringLiteral("Other computers on the network can connect to this port too.")));

        local.model->setAccess(Access::address);
        QVERIFY(local.model->showsField(Field::address));
        QCOMPARE(local.model->explanation(), std::nullopt); // the address is missing
        QCOMPARE(local.model->listenHint(), std::nullopt);
        local.model->setAddress(QStringLiteral("192.168.1.20"));
        QVERIFY(local.sentence().startsWith(QStringLiteral("Connect to 192.168.1.20:8080 ")));

        local.model->setAccess(Access::socket);
        QVERIFY(!local.model->showsField(Field::listenPort));
        local.model->setListenPath(QStringLiteral("~/app.sock"));
        QVERIFY(local.sentence().startsWith(QStringLiteral("Connect to ~/app.sock on this computer")));

        Row remote(Forward::Kind::remote);
        remote.model->setTargetPort(QStringLiteral("3000"));
        QCOMPARE(remote.sentence(),
                 QStringLiteral(
                     "Connections to localhost:3000 on the server reach localhost:3000 on this computer."));
        remote.model->setAccess(Access::everyone);
        QCOMPARE(remote.model->listenHint(),
                 std::optional(QStringLiteral(
                     "Works if the server has GatewayPorts on; otherwise it listens on localhost only.")));

        Row socks(Forward::Kind::dynamic);
        socks.model->setListenPort(QStringLiteral("1080"));
        QCOMPARE(socks.sentence(),
                 QStringLiteral("Use localhost:1080 as a SOCKS proxy: connections leave from the server."));
        QVERIFY(!socks.model->showsField(Field::targetHost));

        Row serverSocks(Forward::Kind::remoteDynamic);
        serverSocks.model->setListenPort(QStringLiteral("1080"));
        QCOMPARE(
            serverSocks.sentence(),
            QStringLiteral(
                "On the server, localhost:1080 is a SOCKS proxy: connections leave from this computer."));
    }

    void socketAccessFollowsTheKind() {
        Row row(Forward::Kind::local);
        QCOMPARE(row.model->accessChoices().size(), 4u);
        row.model->setAccess(Access::socket);
        row.model->setKind(Forward::Kind::dynamic);
        QCOMPARE(row.model->forward().access, Access::loopback);
        QCOMPARE(row.model->accessChoices().size(), 3u);

        // A SOCKS forward that already listens on a socket keeps the choice.
        row.draft.editForward(row.id, [](ForwardDraft& draft) { draft.access = Access::socket; });
        QCOMPARE(row.model->accessChoices().back(), Access::socket);
    }

    void hiddenAddressKeepsItsText() {
        Row row(Forward::Kind::local);
        row.model->setAccess(Access::address);
        row.model->setAddress(QStringLiteral("10.1.1.1"));
        row.model->setAccess(Access::loopback);
        QVERIFY(!row.model->showsField(Field::address));
        row.model->setAccess(Access::address);
        QCOMPARE(row.model->forward().address, QStringLiteral("10.1.1.1"));
    }

    void pastedHostAndPortSplitsAtOnceTypedOnlyWhenLeft() {
        Row pasted(Forward::Kind::local);
        pasted.model->setAccess(Access::address);
        pasted.model->setAddress(QStringLiteral("10.0.0.5:8080"));
        QCOMPARE(pasted.model->forward().address, QStringLiteral("10.0.0.5"));
        QCOMPARE(pasted.model->forward().listenPort, QStringLiteral("8080"));

        Row typed(Forward::Kind::local);
        typed.model->setAccess(Access::address);
        QString text;
        for (const QChar c : QStringLiteral("10.0.0.5:8080")) {
            text += c;
            typed.model->setAddress(text);
        }
        QCOMPARE(typed.model->forward().address, QStringLiteral("10.0.0.5:8080"));
        typed.model->leave(Field::address);
        QCOMPARE(typed.model->forward().address, QStringLiteral("10.0.0.5"));
        QCOMPARE(typed.model->forward().listenPort, QStringLiteral("8080"));
    }

    void portsFollowEachOtherUntilBothAreTyped() {
        Row row(Forward::Kind::local);
        row.model->setTargetPort(QStringLiteral("5432"));
        QCOMPARE(row.model->forward().listenPort, QStringLiteral("5432"));
        row.model->setListenPort(QStringLiteral("15432"));
        row.model->setTargetPort(QStringLiteral("5433"));
        QCOMPARE(row.model->forward().listenPort, QStringLiteral("15432"));
        QVERIFY(row.model->showsField(Field::targetHost));
        row.model->setTargetHost(QStringLiteral("~/db.sock"));
        QVERIFY(!row.model->showsField(Field::targetPort));
    }

    void clashShowsBeforeTheFieldIsLeft() {
        TunnelDraft draft(Tunnel::created(), true);
        const auto web = draft.addForward(Forward::Kind::local);
        const auto other = draft.addForward(Forward::Kind::local);
        ForwardRowModel first(draft, web);
        ForwardRowModel second(draft, other);
        first.setListenPort(QStringLiteral("8080"));
        first.setNote(QStringLiteral("Web"));
        second.setListenPort(QStringLiteral("8080"));
        QCOMPARE(
            second.problemLines(),
            QStringList{QStringLiteral("Port on This Computer: port already used by “\u2068Web\u2069”.")});
        QVERIFY(first.problemLines().isEmpty());
    }

    void copyAndBrowserFollowKindEnabledAndLive() {
        bool live = false;
        Row row(Forward::Kind::local, [&live](const ForwardDraft&) { return live; });
        row.model->setListenPort(QStringLiteral("8080"));
        QCOMPARE(row.model->copyAddress(), std::optional(QStringLiteral("localhost:8080")));
        QCOMPARE(row.model->browserURL(), std::nullopt);
        live = true;
        QCOMPARE(row.model->browserURL(), std::optional(QUrl(QStringLiteral("http://localhost:8080"))));
        row.model->setEnabled(false);
        QCOMPARE(row.model->copyAddress(), std::nullopt);
        QCOMPARE(row.model->browserURL(), std::nullopt);

        Row socks(Forward::Kind::dynamic, [](const ForwardDraft&) { return true; });
        socks.model->setListenPort(QStringLiteral("1080"));
        QVERIFY(socks.model->copyAddress().has_value());
        QCOMPARE(socks.model->browserURL(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(ForwardRowModelTests)
#include "ForwardRowModelTests.moc"
