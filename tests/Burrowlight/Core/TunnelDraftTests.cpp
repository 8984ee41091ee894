#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "Burrowlight/Core/TunnelDraft.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;

namespace {

Tunnel savedTunnel() {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "db";
    tunnel.host = "db.example.com";
    tunnel.port = 2222;
    tunnel.forwards = {Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                     Endpoint::tcp("localhost", 8080), Endpoint::tcp("localhost", 5432), "")};
    return tunnel.normalized();
}

tunnelkit::SSHCommandBuilder builder() {
    return tunnelkit::SSHCommandBuilder(tunnelkit::SSHCommandBuilder::defaultExecutable, true,
                                        "/home/someone");
}

// A row typed only halfway: a listening port without a destination port.
tunnelkit::Uuid addHalfTypedRow(TunnelDraft& draft) {
    const auto id = draft.addForward(Forward::Kind::remote);
    draft.editForward(id, [](ForwardDraft& row) {
        row.listenPort = QStringLiteral("9000");
        row.listenPortTyped = true;
        row.targetPortTyped = true;
    });
    return id;
}

} // namespace

class TunnelDraftTests : public QObject {
    Q_OBJECT

  private slots:
    void firstProblemWins() {
        TunnelDraft draft(savedTunnel(), false);
        QCOMPARE(draft.problem(), std::nullopt);
        addHalfTypedRow(draft);
        draft.setPort(QStringLiteral("abc"));
        QCOMPARE(draft.problem(), std::optional(QStringLiteral("The port must be a number.")));
        draft.setPort(QStringLiteral("+22"));
        QVERIFY(draft.problem().has_value());
        QVERIFY(draft.problem() != std::optional(QStringLiteral("The port must be a number.")));

        TunnelDraft far(savedTunnel(), false);
        far.setPort(QStringLiteral("70000"));
        QCOMPARE(far.problem(), texts::message(tunnelkit::SSHCommandError::invalidPort(70000)));
        // Too large for an int, yet a number all the same: the range is what is wrong with it.
        far.setPort(QStringLiteral(" +099999999999"));
        QCOMPARE(far.problem(), std::optional(QStringLiteral("Port 99999999999 isn't between 1 and 65535.")));
        QVERIFY(far.hasUnsavedChanges());
        far.setPort(QStringLiteral("-99999999999"));
        QCOMPARE(far.problem(),
                 std::optional(QStringLiteral("Port -99999999999 isn't between 1 and 65535.")));
        far.editTunnel([](Tunnel& tunnel) { tunnel.host.clear(); });
        QCOMPARE(far.problem(), texts::message(tunnelkit::SSHCommandError::missingHost()));
    }

    void untouchedNewDraftHasNothingUnsaved() {
        TunnelDraft draft(Tunnel::created(), true);
        QCOMPARE(draft.forwards().size(), size_t(1));
        QVERIFY(draft.filledForwards().empty());
        QVERIFY(!draft.hasUnsavedChanges());
        QCOMPARE(draft.title(), QStringLiteral("New Tunnel"));
        QCOMPARE(draft.summary(), QStringLiteral("key from the SSH agent or config, no jump hosts"));

        addHalfTypedRow(draft);
        QVERIFY2(draft.hasUnsavedChanges(), "a row that does not convert is still unsaved");
        QCOMPARE(draft.makeTunnel().forwards.size(), size_t(0));
    }

    void summaryListsWhatIsSet() {
        Tunnel tunnel = savedTunnel();
        tunnel.identityFile = " ~/.ssh/id_db ";
        tunnel.jumpHosts = "bastion";
        tunnel.isPinned = true;
        tunnel.retryLimit = 0;
        tunnel.options = {{tunnelkit::Uuid::random(), "Compression", "yes"}};
        tunnel.note = " \n";
        TunnelDraft draft(tunnel, false);
        draft.setTags(QStringLiteral("work, ,prod"));
        QCOMPARE(draft.summary(),
                 QStringLiteral("key ~/.ssh/id_db · via bastion · tags work, prod · pinned · "
                                "doesn't retry · SSH options: 1"));
    }

    void onlyConnectionFieldsChangeTheConnection() {
        TunnelDraft draft(savedTunnel(), false);
        draft.editTunnel([](Tunnel& tunnel) { tunnel.note = "staging"; });
        QVERIFY(draft.hasUnsavedChanges());
        QVERIFY(!draft.changesConnection(builder()));

        draft.editForward(draft.forwards().front().id, [](ForwardDraft& row) { row.listenPort = "8081"; });
        QVERIFY(draft.changesConnection(builder()));
        draft.discardChanges();
        QVERIFY(!draft.hasUnsavedChanges());

        draft.editTunnel([](Tunnel& tunnel) { tunnel.logFile = "/tmp/db.log"; });
        QVERIFY(draft.changesConnection(builder()));
        draft.discardChanges();
        draft.editTunnel([](Tunnel& tunnel) { tunnel.host = "db2.example.com"; });
        QVERIFY(draft.changesConnection(builder()));
    }

    void rebaseKeepsTheUsersFieldsAndFollowsTheRest() {
        const Tunnel saved = savedTunnel();
        TunnelDraft draft(saved, false);
        draft.editTunnel([](Tunnel& tunnel) { tunnel.note = "mine"; });
        QSignalSpy changed(&draft, &TunnelDraft::changed);

        Tunnel outside = saved;
        outside.name = "database";
        outside.host = "db.internal";
        draft.rebase(outside);
        QCOMPARE(draft.tunnel().name, std::string("database"));
        QCOMPARE(draft.tunnel().host, std::string("db.internal"));
        QCOMPARE(draft.tunnel().note, std::string("mine"));
        QVERIFY(draft.base() == outside);
        QCOMPARE(changed.count(), 1);

        draft.rebase(outside);
        QCOMPARE(changed.count(), 1);
    }

    // A port that is not a number leaves the made record equal to the saved one, yet it is a change:
    // it used to show no bar and no problem, and to be thrown away by a rebase and at quit.
    void rebaseKeepsAPortThatIsNotANumber() {
        Tunnel saved = savedTunnel();
        saved.port.reset();
        TunnelDraft draft(saved, false);
        draft.setPort(QStringLiteral("22a"));
        QVERIFY(draft.makeTunnel() == saved.normalized());
        QVERIFY(draft.hasUnsavedChanges());
        QCOMPARE(draft.problem(), std::optional(QStringLiteral("The port must be a number.")));
        draft.setPort(QStringLiteral(" "));
        QVERIFY(!draft.hasUnsavedChanges());
        draft.setPort(QStringLiteral("22a"));

        Tunnel outside = saved;
        outside.name = "renamed";
        outside.port = 2200;
        draft.rebase(outside);
        QCOMPARE(draft.port(), QStringLiteral("22a"));
        QCOMPARE(draft.tunnel().name, std::string("renamed"));
    }

    // A half-typed row is left out of the made record, so the forwards used to compare equal to the
    // saved ones and the rows were rebuilt without it.
    void rebaseKeepsAHalfTypedRow() {
        const Tunnel saved = savedTunnel();
        TunnelDraft draft(saved, false);
        const auto row = addHalfTypedRow(draft);

        Tunnel outside = saved;
        outside.note = "changed elsewhere";
        draft.rebase(outside);
        QCOMPARE(draft.forwards().size(), size_t(2));
        QCOMPARE(draft.forwards().back().id, row);
        QCOMPARE(draft.forwards().back().listenPort, QStringLiteral("9000"));
        QCOMPARE(draft.tunnel().note, std::string("changed elsewhere"));

        // Untouched rows still follow a change of the saved forwards.
        TunnelDraft untouched(saved, false);
        untouched.editTunnel([](Tunnel& tunnel) { tunnel.note = "mine"; });
        Tunnel moved = saved;
        moved.forwards.front().listen = Endpoint::tcp("localhost", 18080);
        untouched.rebase(moved);
        QCOMPARE(untouched.forwards().front().listenPort, QStringLiteral("18080"));
        QCOMPARE(untouched.tunnel().note, std::string("mine"));
    }
};

QTEST_GUILESS_MAIN(TunnelDraftTests)
#include "TunnelDraftTests.moc"
