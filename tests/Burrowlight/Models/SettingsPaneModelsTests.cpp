// The settings panes' models over a real application model in a throwaway home: the language
// choice, the autostart entry, the ssh configuration reaching the next launch, import and export,
// and the tunnels file's errors.
#include "../Widgets/Shell/ShellHarness.h"
#include "Burrowlight/Desktop/AutostartEntry.h"
#include "Burrowlight/Models/GeneralSettingsModel.h"
#include "Burrowlight/Models/SSHSettingsModel.h"
#include "Burrowlight/Models/TunnelsSettingsModel.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace burrowlight;
using shell_testing::ShellHarness;
using tunnelkit::Tunnel;

namespace {

Tunnel unreachableTunnel(const std::string& name) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = "127.0.0.1";
    tunnel.port = testing_support::freeLoopbackPort();
    return tunnel;
}

// A folder nobody may write into, the superuser included: the immutable attribute where the
// permissions alone don't stop us.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::string path) : path_(std::move(path)) {
        std::filesystem::create_directories(path_);
        std::filesystem::permissions(path_,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        if (::geteuid() == 0) {
            immutable_ = setImmutable(true);
        }
    }
    ~ReadOnlyFolder() {
        if (immutable_) {
            setImmutable(false);
        }
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
    }
    bool isReadOnly() const { return ::geteuid() != 0 || immutable_; }
    const std::string& path() const { return path_; }

  private:
    bool setImmutable(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    std::string path_;
    bool immutable_ = false;
};

LanguageFacts runningEnglish() {
    return {QStringLiteral("en"), {QStringLiteral("en_GB.UTF-8")}};
}

} // namespace

class SettingsPaneModelsTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void choosingALanguageStoresItAndOffersARelaunch() {
        ShellHarness harness;
        AppModel& model = harness.start();
        GeneralSettingsModel general(model, harness.termination, runningEnglish());
        QCOMPARE(general.language(), AppLanguage::system);
        QVERIFY(!general.needsRelaunch());
        QVERIFY(general.relaunchExplanation().isEmpty());

        QSignalSpy changed(&general, &GeneralSettingsModel::changed);
        general.setLanguage(AppLanguage::italian);
        QCOMPARE(harness.settings.languages(), std::optional(QStringList{QStringLiteral("it")}));
        QVERIFY(general.needsRelaunch());
        QVERIFY(changed.count() > 0);
        QCOMPARE(general.relaunchExplanation(),
                 QStringLiteral("Burrowlight changes language when it relaunches."));

        // A connecting tunnel is an active one: the offer says what a relaunch does to it.
        const Tunnel tunnel = unreachableTunnel("db");
        model.controller().save(tunnel);
        model.controller().connect({tunnel.id});
        QVERIFY(general.relaunchExplanation().endsWith(QStringLiteral(
            "\nConnected tunnels disconnect. Those set to connect when Burrowlight opens come back on.")));
        model.controller().disconnect({tunnel.id});

        general.setLanguage(AppLanguage::english);
        QVERIFY(!general.needsRelaunch());
        general.setLanguage(AppLanguage::system);
        QVERIFY(!harness.settings.storage().contains(QStringLiteral("AppleLanguages")));
        QCOMPARE(general.language(), AppLanguage::system);
    }

    void openAtLoginWritesAndRemovesTheAutostartEntry() {
        ShellHarness harness;
        AppModel& model = harness.start();
        const auto entry =
            QString::fromStdString(harness.folder.file("config/autostart/com.tolvan.burrowlight.desktop"));
        GeneralSettingsModel general(model, harness.termination, runningEnglish());
        QVERIFY(!general.opensAtLogin());

        general.setOpensAtLogin(true);
        QVERIFY(general.opensAtLogin());
        QVERIFY(!general.loginItemError());
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString executable = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
        QVERIFY(QString::fromUtf8(file.readAll())
                    .split(QLatin1Char('\n'))
                    .contains(QStringLiteral("Exec=") + AutostartEntry::execValue(executable)));
        QVERIFY2(GeneralSettingsModel(model, harness.termination, runningEnglish()).opensAtLogin(),
                 "a pane made later reads the entry back");

        general.setOpensAtLogin(false);
        QVERIFY(!general.opensAtLogin());
        QVERIFY(!QFile::exists(entry));

        // A folder in the entry's place: the switch stays off and says why, until a change succeeds.
        QVERIFY(std::filesystem::create_directory(entry.toStdString()));
        general.setOpensAtLogin(true);
        QVERIFY(!general.opensAtLogin());
        QVERIFY(general.loginItemError());
        QVERIFY2(
            general.loginItemError()->startsWith(QStringLiteral("Couldn't change the login item: “") + entry),
            qPrintable(*general.loginItemError()));
        std::filesystem::remove(entry.toStdString());
        general.setOpensAtLogin(true);
        QVERIFY(general.opensAtLogin());
        QVERIFY(!general.loginItemError());
    }

    void readingTheSshConfigurationReachesTheNextLaunch() {
        ShellHarness harness;
        harness.settings.setUsesSSHConfig(true);
        AppModel& model = harness.start();
        const auto wrapper = model.parts().wrapperConfigPath;
        QVERIFY(wrapper);
        const Tunnel tunnel = unreachableTunnel("db");
        model.controller().save(tunnel);
        const auto launch = [&] {
            model.controller().connect({tunnel.id});
            const auto written = tunnelkit::readFile(*wrapper);
            model.controller().disconnect({tunnel.id});
            [&] {
                QTRY_COMPARE(model.controller().state(tunnel.id), tunnelkit::TunnelState::disconnected());
            }();
            return written ? QString::fromStdString(*written) : QString();
        };

        SSHSettingsModel ssh(model);
        QCOMPARE(model.configHosts().generation(), 0); // showing the pane applies nothing
        QVERIFY(launch().contains(QStringLiteral("\nInclude ")));
        ssh.setUsesSSHConfig(false);
        QVERIFY(!harness.settings.usesSSHConfig());
        const QString next = launch();
        QVERIFY(next.contains(QStringLiteral("LogLevel INFO")));
        QVERIFY2(!next.contains(QStringLiteral("\nInclude ")), qPrintable(next));
    }

    void theVersionComesFromSshOffTheUiThread() {
        ShellHarness harness;
        AppModel& model = harness.start();
        SSHSettingsModel installed(model);
        SSHSettingsModel missing(model, harness.folder.file("no-ssh-here"));
        QCOMPARE(missing.versionText(), QStringLiteral("…"));
        QTRY_VERIFY(installed.version() && missing.version());
        QVERIFY2(installed.versionText().startsWith(QStringLiteral("OpenSSH")),
                 qPrintable(installed.versionText()));
        QCOMPARE(missing.versionText(), QStringLiteral("?"));
    }

    void anExportThatCannotBeWrittenSaysWhyAndExportsNothing() {
        ShellHarness harness;
        Tunnel trashed = unreachableTunnel("old");
        trashed.deletedAt = trashed.createdAt;
        harness.storeTunnels({unreachableTunnel("db"), trashed});
        AppModel& model = harness.start();
        TunnelsSettingsModel tunnels(model, harness.alerts, [] {});
        const auto file = tunnels.exportAll();
        QVERIFY(file);
        QCOMPARE(TunnelsSettingsModel::suggestedFileName(*file), QStringLiteral("Tunnels.burrowlight"));

        const ReadOnlyFolder folder(harness.folder.file("read-only"));
        if (!folder.isReadOnly()) {
            QSKIP("no way to make a folder read-only for the superuser here");
        }
        const auto refused =
            TunnelsSettingsModel::archivePath(QString::fromStdString(folder.path() + "/Tunnels"));
        QVERIFY(!tunnels.save(*file, refused));
        QCOMPARE(harness.alerts.shown.size(), size_t(1));
        QCOMPARE(harness.alerts.shown[0].message, QStringLiteral("The tunnels couldn't be exported"));
        QCOMPARE(harness.alerts.shown[0].informativeText,
                 QStringLiteral("“%1” couldn't be written: permission denied.").arg(refused));
        QVERIFY(!QFile::exists(refused));

        const auto written =
            TunnelsSettingsModel::archivePath(QString::fromStdString(harness.folder.file("mine")));
        QVERIFY(tunnels.save(*file, written));
        QCOMPARE(harness.alerts.shown.size(), size_t(1));
        const auto archive = tunnelkit::TunnelArchive::load(written.toStdString());
        QVERIFY(archive);
        QCOMPARE(archive->tunnels.size(), size_t(1)); // the trashed one stays behind
        QCOMPARE(TunnelsSettingsModel::archivePath(written), written);
    }

    void nothingToExportWithoutLiveTunnels() {
        ShellHarness harness;
        Tunnel trashed = unreachableTunnel("old");
        trashed.deletedAt = trashed.createdAt;
        harness.storeTunnels({trashed});
        AppModel& model = harness.start();
        TunnelsSettingsModel tunnels(model, harness.alerts, [] {});
        QVERIFY(!tunnels.canExportAll());
        QVERIFY(!tunnels.exportAll());
    }

    void aFailedSaveIsShownUntilTheNextSaveSucceeds() {
        ShellHarness harness;
        AppModel& model = harness.start();
        TunnelsSettingsModel tunnels(model, harness.alerts, [] {});
        QVERIFY(tunnels.storageProblem().isEmpty());

        // A file where the tunnels' folder should be: the next save fails.
        const auto folder = harness.applicationSupport();
        std::filesystem::rename(folder, folder + ".moved");
        QVERIFY(tunnelkit::writeFileAtomically(folder, ""));
        QSignalSpy changed(&tunnels, &TunnelsSettingsModel::changed);
        model.controller().save(unreachableTunnel("db"));
        QVERIFY(changed.count() > 0);
        QVERIFY2(tunnels.storageProblem().startsWith(QStringLiteral("Couldn't save the tunnels: ")),
                 qPrintable(tunnels.storageProblem()));
        std::filesystem::remove(folder);
        std::filesystem::rename(folder + ".moved", folder);
        QVERIFY(model.controller().persist());
        QVERIFY(tunnels.storageProblem().isEmpty());
    }

    void anUnreadableFileIsShownBeforeAnySaveError() {
        ShellHarness harness;
        std::filesystem::create_directories(harness.applicationSupport());
        QVERIFY(tunnelkit::writeFileAtomically(harness.applicationSupport() + "/tunnels.json", "{"));
        TunnelsSettingsModel tunnels(harness.start(), harness.alerts, [] {});
        QVERIFY(harness.model->controller().storageError());
        QCOMPARE(
            tunnels.storageProblem(),
            QStringLiteral("Couldn't read the tunnels: The file isn't in the expected format. Nothing is "
                           "saved until the file can be read."));
    }

    void importFromSshConfigWaitsForTheTerms() {
        ShellHarness harness;
        AppModel& model = harness.start();
        int mainOpened = 0;
        TunnelsSettingsModel tunnels(model, harness.alerts, [&] { ++mainOpened; });
        tunnels.importFromSSHConfig();
        QCOMPARE(mainOpened, 0);
        QVERIFY(!model.requestsConfigImport());
        QVERIFY(model.termsWindow().isPending());

        model.setTermsAccepted(true);
        tunnels.importFromSSHConfig();
        QCOMPARE(mainOpened, 1);
        QVERIFY(model.requestsConfigImport());
    }
};

QTEST_MAIN(SettingsPaneModelsTests)
#include "SettingsPaneModelsTests.moc"
