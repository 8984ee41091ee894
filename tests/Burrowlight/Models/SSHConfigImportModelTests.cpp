#include "Burrowlight/Models/SSHConfigImportModel.h"
#include "ProcessCounts.h"
#include "ThrowawayAppHome.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::SSHCommandBuilder;
using tunnelkit::Tunnel;

namespace {

std::string homeOf(const ThrowawayHome& home) {
    return home.parts().homeDirectory;
}

void writeConfig(const ThrowawayHome& home, const std::string& text) {
    std::filesystem::create_directories(homeOf(home) + "/.ssh");
    QVERIFY(tunnelkit::writeFileAtomically(homeOf(home) + "/.ssh/config", text));
}

// The real ssh, reading the throwaway home's configuration instead of the user's.
SSHConfigImportModel::Resolution
throwawayResolution(const ThrowawayHome& home, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, homeOf(home));
    builder.configFile = homeOf(home) + "/.ssh/config";
    return {.builder = builder, .timeout = timeout};
}

Tunnel tunnelTo(const std::string& host) {
    Tunnel tunnel = Tunnel::created();
    tunnel.host = host;
    return tunnel;
}

QStringList aliases(const SSHConfigImportModel& model) {
    QStringList result;
    for (const auto& row : model.rows()) {
        result << QString::fromStdString(row.alias);
    }
    return result;
}

// Processes whose command line holds `marker`.
int processesMentioning(const QString& marker) {
    int count = 0;
    for (const auto& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(marker.toUtf8())) {
            ++count;
        }
    }
    return count;
}

} // namespace

class SSHConfigImportModelTests : public QObject {
    Q_OBJECT

  private slots:
    void listsConcreteHostsResolvedMarksTunnelsAndImportsTheChosen() {
        ThrowawayHome home;
        Tunnel trashed = tunnelTo("old");
        trashed.deletedAt = tunnelkit::currentDate();
        home.storeTunnels({tunnelTo("db"), trashed});
        writeConfig(home, "Host web -bad\n  HostName web.example\n  LocalForward 8080 localhost:80\n"
                          "Host db\n  HostName db.example\n  LocalForward 5432 localhost:5432\n"
                          "Host plain\n  HostName plain.example\n  Port 22\n"
                          "Host two\n  HostName two.example\n  Port 2200\n"
                          "  LocalForward 1 a:1\n  DynamicForward 1080\n"
                          "Host old\n  HostName %z\n"
                          "Host *\n  User everyone\n");
        AppModel app(home.settings, home.alerts, home.parts());
        SSHConfigImportModel model(app, throwawayResolution(home));
        QSignalSpy canImport(&model, &SSHConfigImportModel::canImportChanged);

        // The files are read and ssh runs off the GUI thread: nothing is answered yet when the
        // aliases are listed.
        QStringList listed;
        bool answeredWhenListed = true;
        connect(&model, &SSHConfigImportModel::rowsChanged, this, [&] {
            listed = aliases(model);
            answeredWhenListed = !model.loading() || std::ranges::any_of(model.rows(), [](const auto& row) {
                return row.host || row.selected;
            });
        });
        model.load();
        QVERIFY(model.rows().empty());
        QTRY_COMPARE(listed, (QStringList{"web", "db", "plain", "two", "old"}));
        QVERIFY(!answeredWhenListed);
        QTRY_VERIFY(!model.loading());

        QStringList details;
        QList<bool> selected;
        for (const auto& row : model.rows()) {
            details << SSHConfigImportTexts::rowDetail(row);
            selected << row.selected;
        }
        QCOMPARE(details, (QStringList{"everyone@web.example · 1 forwards", "Already a tunnel",
                                       "everyone@plain.example", "everyone@two.example:2200 · 2 forwards",
                                       "ssh couldn't read this host"}));
        QCOMPARE(selected, (QList<bool>{true, false, false, true, false}));
        QCOMPARE(canImport.count(), 1);

        // An existing tunnel can't be chosen; a failed host can.
        model.setSelected(1, true);
        QVERIFY(!model.rows()[1].selected);
        model.setSelected(4, true);
        model.setSelected(0, false);

        const auto imported = model.importSelected();
        QCOMPARE(imported.size(), size_t(2));
        for (const auto& [tunnel, alias] : {std::pair{imported[0], "two"}, std::pair{imported[1], "old"}}) {
            Tunnel expected = Tunnel::created(tunnel.createdAt);
            expected.id = tunnel.id;
            expected.name = alias;
            expected.host = alias;
            QCOMPARE(tunnel, expected);
            QCOMPARE(tunnel.retryLimit, 999);
            QCOMPARE(app.controller().tunnel(tunnel.id), std::optional(expected));
        }
        QCOMPARE(app.controller().liveTunnels().size(), size_t(3));
    }

    void withoutConcreteHostsTheListIsEmptyAtOnce() {
        ThrowawayHome home;
        AppModel app(home.settings, home.alerts, home.parts());
        for (const char* config : {"", "Host *\n  User everyone\nHost web?\nHost !db\n"}) {
            if (*config) {
                writeConfig(home, config);
            }
            SSHConfigImportModel model(app, throwawayResolution(home));
            model.load();
            QTRY_VERIFY(!model.loading());
            QVERIFY(model.rows().empty());
            QVERIFY(!model.canImport());
            QVERIFY(model.importSelected().empty());
        }
    }

    void turningTheSettingOnRenewsTheHostsButNotTheList() {
        ThrowawayHome home;
        home.settings.setUsesSSHConfig(false);
        writeConfig(home, "Host web\n");
        AppModel app(home.settings, home.alerts, home.parts());
        SSHConfigImportModel model(app, throwawayResolution(home));
        QSignalSpy offers(&model, &SSHConfigImportModel::offersSSHConfigChanged);
        QSignalSpy rows(&model, &SSHConfigImportModel::rowsChanged);
        model.load();
        QTRY_COMPARE(rows.count(), 1);
        QVERIFY(model.offersSSHConfig());
        const int generation = app.configHosts().generation();

        model.turnOnSSHConfig();
        QVERIFY(home.settings.usesSSHConfig());
        QVERIFY(app.makeBuilder().usesConfigFiles);
        QCOMPARE(app.configHosts().generation(), generation + 1);
        QCOMPARE(offers.count(), 1);
        QVERIFY(!model.offersSSHConfig());
        QCOMPARE(rows.count(), 1);
    }

    void fiftyHostsResolveOneAfterAnother() {
        ThrowawayHome home;
        std::string config;
        for (int index = 0; index < 50; ++index) {
            config += "Host h" + std::to_string(index) + "\n  HostName host" + std::to_string(index) +
                      ".example\n  LocalForward " + std::to_string(10000 + index) + " localhost:80\n";
        }
        writeConfig(home, config);
        AppModel app(home.settings, home.alerts, home.parts());
        SSHConfigImportModel model(app, throwawayResolution(home));
        QSignalSpy answered(&model, &SSHConfigImportModel::rowChanged);
        model.load();
        QVERIFY(model.loading());
        QTRY_VERIFY_WITH_TIMEOUT(!model.loading(), 60000);
        QCOMPARE(answered.count(), 50);
        for (int index = 0; index < 50; ++index) {
            QCOMPARE(answered.at(index).at(0).toInt(), index);
            const auto& row = model.rows()[size_t(index)];
            QCOMPARE(row.host->hostname, "host" + std::to_string(index) + ".example");
            QVERIFY(row.selected);
        }
    }

    void stoppingEndsTheRunningSshAndResolvesNoFurtherHost() {
        ThrowawayHome home;
        // ssh -G runs Match exec commands: this one holds ssh until it is ended. Every process
        // of it names the throwaway folder.
        const QString folder = QString::fromStdString(home.folder.path());
        const std::string sleeper = home.folder.file("hold-sleep");
        std::filesystem::copy_file("/bin/sleep", sleeper);
        const std::string hold = home.folder.file("hold.sh");
        QVERIFY(tunnelkit::writeFileAtomically(hold, sleeper + " 600\n"));
        writeConfig(home, "Match host slow exec \"/bin/sh " + hold +
                              "\"\n  User slow\nHost fast\nHost slow\nHost after\n");
        AppModel app(home.settings, home.alerts, home.parts());
        for (const bool destroy : {false, true}) {
            auto model =
                std::make_unique<SSHConfigImportModel>(app, throwawayResolution(home, std::chrono::hours(1)));
            model->load();
            QTRY_VERIFY(!model->rows().empty() && model->rows()[0].host);
            QTRY_VERIFY(processesMentioning(folder) >= 3); // ssh, the shells, sleep
            if (destroy) {
                model.reset();
            } else {
                model->stop();
            }
            QTRY_COMPARE(processesMentioning(folder), 0);
            QTRY_VERIFY(testing_support::hasNoChildren());
            if (model) {
                QTest::qWait(100);
                QVERIFY(model->loading());
                QVERIFY(!model->rows()[1].host && !model->rows()[2].host);
            }
        }
    }
};

QTEST_GUILESS_MAIN(SSHConfigImportModelTests)
#include "SSHConfigImportModelTests.moc"
