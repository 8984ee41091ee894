#include "Burrowlight/Core/AppModel.h"
#include "PrivateBuses.h"
#include "SSHServerFixture.h"
#include "StandInNotificationServer.h"
#include "ThrowawayAppHome.h"
#include "TunnelKit/FileIO.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <filesystem>

using namespace burrowlight;
using namespace std::chrono_literals;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

using ThrowawayHome = testing_support::ThrowawayAppHome;

class AppModelTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void connectsAtLaunchOnceTheTermsAreAccepted() {
        ThrowawayHome home;
        home.startServer();
        QVERIFY(home.server->isRunning());
        const Tunnel tunnel = home.launchTunnel();
        home.storeTunnels({tunnel});
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        const testing_support::StandInNotificationServer notifications;

        AppModel model(home.settings, home.alerts, home.parts());
        QCOMPARE(model.parts().applicationSupportDirectory, home.applicationSupport());
        QVERIFY(model.termsAccepted());
        QSignalSpy states(&model.engine(), &EngineBridge::stateChanged);
        // The manager made the connection itself, at start: the bridge reports its lines all the same.
        QSignalSpy logLines(&model.engine(), &EngineBridge::logAppended);
        QTRY_VERIFY_WITH_TIMEOUT(model.controller().state(tunnel.id).isConnected(), 20'000);
        QTRY_COMPARE(notifications.notifyCalls().size(), size_t(1));
        QCOMPARE(notifications.notifyCalls()[0].summary, QStringLiteral("test server"));
        QCOMPARE(notifications.notifyCalls()[0].body, QStringLiteral("Connected. No forwards"));
        QVERIFY(!states.isEmpty());
        QCOMPARE(states.last().at(0).value<tunnelkit::Uuid>(), tunnel.id);
        QVERIFY(!logLines.isEmpty());
        QCOMPARE(logLines.last().at(0).value<tunnelkit::Uuid>(), tunnel.id);

        const auto ssh = model.controller().connection(tunnel.id)->processID();
        QVERIFY(ssh);
        model.shutdown();
        QVERIFY2(!testing_support::isAlive(*ssh), "ssh outlived the shutdown");
        QTRY_COMPARE(model.controller().state(tunnel.id), TunnelState::disconnected());
    }

    void nothingConnectsBeforeTheTermsAreAccepted() {
        ThrowawayHome home;
        Tunnel tunnel = Tunnel::created();
        tunnel.host = "127.0.0.1";
        tunnel.connectsAtLaunch = true;
        home.storeTunnels({tunnel});

        AppModel model(home.settings, home.alerts, home.parts());
        QVERIFY(!model.termsAccepted());
        QCOMPARE(model.controller().liveTunnels().size(), size_t(1));
        QCOMPARE(model.controller().state(tunnel.id), TunnelState::disconnected());
        QVERIFY(!model.controller().hasConnection(tunnel.id));
    }

    // Each file is read on a worker, then asked about and merged on the GUI thread, one file after
    // the other in the order handed over.
    void importsArchivesOnlyAfterAskingAndOnceTheTermsAreAccepted() {
        ThrowawayHome home;
        AppModel model(home.settings, home.alerts, home.parts());
        Tunnel shared = Tunnel::created();
        shared.name = "shared";
        shared.host = "shared.example.com";
        const std::string archive = home.folder.file("team.burrowlight");
        QVERIFY(tunnelkit::writeFileAtomically(
            archive, tunnelkit::TunnelArchive::make({shared}, tunnelkit::currentDate()).encoded()));
        const auto importAll = [&](const std::vector<std::string>& paths) {
            QSignalSpy idle(&model.archiveImports(), &ArchiveImports::idle);
            QSignalSpy reading(&model.archiveImports(), &ArchiveImports::readingChanged);
            for (const auto& path : paths) {
                model.importTunnels(QString::fromStdString(path));
            }
            QCOMPARE(model.archiveImports().reading(), std::optional(QStringLiteral("team.burrowlight")));
            QVERIFY(idle.wait());
            QVERIFY(model.archiveImports().isIdle());
            QVERIFY(!model.archiveImports().reading());
            QCOMPARE(reading.count(), int(paths.size()) * 2);
        };

        model.importTunnels(QString::fromStdString(archive));
        QVERIFY(model.archiveImports().isIdle());
        QVERIFY(home.alerts.shown.empty());

        model.setTermsAccepted(true);
        home.alerts.answer = 1;
        importAll({archive});
        QCOMPARE(home.alerts.shown.size(), size_t(1));
        QVERIFY(home.alerts.shown[0].message.contains(QStringLiteral("“\u2068team.burrowlight\u2069”")));
        QVERIFY(model.controller().liveTunnels().empty());

        const std::string notAnArchive = home.folder.file("notes.burrowlight");
        QVERIFY(tunnelkit::writeFileAtomically(
            notAnArchive,
            "{\"format\":\"other\",\"version\":1,\"exportedAt\":\"2024-01-01T00:00:00Z\",\"tunnels\":[]}"));
        home.alerts.answer = 0;
        importAll({archive, notAnArchive, archive});
        QCOMPARE(home.alerts.shown.size(), size_t(4));
        QCOMPARE(home.alerts.shown[2].message,
                 QStringLiteral("“\u2068notes.burrowlight\u2069” isn't a Burrowlight file."));
        QCOMPARE(home.alerts.shown[2].informativeText, QStringLiteral("It isn't a Burrowlight file."));
        QCOMPARE(home.alerts.shown[3].message, home.alerts.shown[1].message);
        std::vector<std::string> names;
        for (const auto& tunnel : model.controller().liveTunnels()) {
            names.push_back(tunnel.name);
        }
        QCOMPARE(names, (std::vector<std::string>{"shared", "shared 2"}));
    }

    void anUnreadableTunnelsFileIsReportedAndKept() {
        ThrowawayHome home;
        const std::string file = home.applicationSupport() + "/tunnels.json";
        QVERIFY(tunnelkit::writeFileAtomically(file, "{\"version\":1,\"tunnels\":[{\"id\":5}]}"));
        AppModel model(home.settings, home.alerts, home.parts());
        home.alerts.answer = 0;
        model.reportLoadError();
        QCOMPARE(home.alerts.shown.size(), size_t(1));
        const Alert& alert = home.alerts.shown[0];
        QCOMPARE(alert.style, Alert::Style::critical);
        QCOMPARE(alert.message, QStringLiteral("The tunnels couldn't be read"));
        QVERIFY2(alert.informativeText.endsWith(
                     QStringLiteral("\n\nA value has the wrong type. (at tunnels[0].id)")),
                 qPrintable(alert.informativeText));

        model.controller().save(Tunnel::created());
        QCOMPARE(tunnelkit::readFile(file).value(), std::string("{\"version\":1,\"tunnels\":[{\"id\":5}]}"));
    }

    void aSavedDraftIsStoredAndItsHostResolvedAgain() {
        ThrowawayHome home;
        AppModel model(home.settings, home.alerts, home.parts());
        auto& drafts = model.drafts();
        const auto id = drafts.beginNewTunnel(Tunnel::created());
        const auto draft = drafts.draft(id);
        draft->setPort(QStringLiteral("abc"));
        QVERIFY(!draft->save(model.controller(), model.configHosts(), false));
        QVERIFY(model.controller().liveTunnels().empty());

        draft->setPort(QStringLiteral("2222"));
        draft->editTunnel([](Tunnel& tunnel) { tunnel.host = " db.example.com "; });
        const auto saved = draft->save(model.controller(), model.configHosts(), true);
        QVERIFY(saved);
        QCOMPARE(saved->host, std::string("db.example.com"));
        QCOMPARE(model.controller().tunnel(id), saved);
        QVERIFY(!draft->isNew());
        QVERIFY(!draft->hasUnsavedChanges());
        QVERIFY(draft->forwards().empty());
        QVERIFY(model.configHosts().asked().contains("db.example.com"));
        QCOMPARE(model.controller().state(id), TunnelState::disconnected());
    }

    void copiesTheCommandAndFollowsTheSshConfigurationSetting() {
        ThrowawayHome home;
        AppModel model(home.settings, home.alerts, home.parts());
        Tunnel tunnel = Tunnel::created();
        tunnel.host = "db.example.com";
        model.copyCommand(tunnel);
        const QString command = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
        QVERIFY2(command.startsWith(QStringLiteral("/usr/bin/ssh ")), qPrintable(command));
        QVERIFY(command.endsWith(QStringLiteral("db.example.com")));

        tunnel.host.clear();
        model.copyCommand(tunnel);
        QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), command);

        QVERIFY(model.makeBuilder().usesConfigFiles);
        QSignalSpy hosts(&model.configHosts(), &ConfigHosts::hostsChanged);
        home.settings.setUsesSSHConfig(false);
        QVERIFY(!model.makeBuilder().usesConfigFiles);
        QCOMPARE(model.configHosts().generation(), 1);
        QCOMPARE(hosts.count(), 1);
    }
};

QTEST_MAIN(AppModelTests)
#include "AppModelTests.moc"
