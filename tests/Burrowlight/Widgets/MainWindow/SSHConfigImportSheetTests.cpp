#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/MainWindow/SSHConfigImportSheet.h"
#include "PrivateBuses.h"
#include "ThrowawayAppHome.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using ThrowawayHome = testing_support::ThrowawayAppHome;
using tunnelkit::SSHCommandBuilder;
using tunnelkit::Tunnel;

namespace {

void writeConfig(const ThrowawayHome& home, const std::string& text) {
    const std::string folder = home.parts().homeDirectory + "/.ssh";
    std::filesystem::create_directories(folder);
    QVERIFY(tunnelkit::writeFileAtomically(folder + "/config", text));
}

// The window with the real sheet, whose ssh reads the throwaway home's configuration.
struct Window {
    ThrowawayHome& home;
    AppModel app{home.settings, home.alerts, home.parts()};
    MainWindowView view{app, parts(home)};

    explicit Window(ThrowawayHome& home) : home(home) {
        view.resize(1040, 660);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    static MainWindowParts parts(const ThrowawayHome& home) {
        MainWindowParts parts;
        parts.configImport = [&home](MainWindowModel& model, QWidget& window) -> std::unique_ptr<QDialog> {
            SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, home.parts().homeDirectory);
            builder.configFile = home.parts().homeDirectory + "/.ssh/config";
            return std::make_unique<SSHConfigImportSheet>(
                model, window, SSHConfigImportModel::Resolution{.builder = builder});
        };
        return parts;
    }

    // Asks for the sheet as the menu command does, and waits for its list.
    SSHConfigImportSheet& openSheet() {
        app.setRequestsConfigImport(true);
        [&] { QTRY_VERIFY(view.configImportSheet() && view.configImportSheet()->isVisible()); }();
        auto& sheet = static_cast<SSHConfigImportSheet&>(*view.configImportSheet());
        [&] { QTRY_VERIFY(!sheet.model().loading()); }();
        return sheet;
    }

    void waitUntilClosed() {
        QTRY_VERIFY(!view.configImportSheet());
        QVERIFY(!view.model().state().importingConfig());
    }
};

} // namespace

class SSHConfigImportSheetTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void escapeClosesWithoutImportingAndReturnImportsTheChosen() {
        ThrowawayHome home;
        Tunnel db = Tunnel::created();
        db.host = "db";
        home.storeTunnels({db});
        writeConfig(home, "Host web\n  HostName web.example\n  LocalForward 8080 localhost:80\n"
                          "Host db\n  LocalForward 5432 localhost:5432\nHost plain\n");
        Window window(home);

        auto& sheet = window.openSheet();
        QVERIFY(sheet.isModal());
        QVERIFY(!sheet.turnOnSection().isVisible());
        QVERIFY(!sheet.progressRow().isVisible());
        const auto& toggles = sheet.hostToggles();
        QCOMPARE(toggles.size(), size_t(3));
        QCOMPARE(toggles[0]->box().text(), QStringLiteral("web"));
        QVERIFY(toggles[0]->box().isChecked());
        QCOMPARE(toggles[1]->detail().text(), QStringLiteral("Already a tunnel"));
        QVERIFY(!toggles[1]->box().isEnabled());
        QVERIFY(!toggles[2]->box().isChecked());
        QVERIFY(sheet.importButton().isEnabled());
        QTest::keyClick(&sheet, Qt::Key_Escape);
        window.waitUntilClosed();
        QCOMPARE(window.app.controller().liveTunnels().size(), size_t(1));

        auto& again = window.openSheet();
        again.hostToggles()[0]->box().click();
        QVERIFY(!again.importButton().isEnabled());
        again.hostToggles()[2]->box().click();
        QTest::keyClick(&again, Qt::Key_Return);
        window.waitUntilClosed();
        const auto live = window.app.controller().liveTunnels();
        QCOMPARE(live.size(), size_t(2));
        const auto imported =
            std::find_if(live.begin(), live.end(), [](const Tunnel& t) { return t.host == "plain"; });
        QVERIFY(imported != live.end());
        QCOMPARE(window.view.model().state().selection(), TunnelIds{imported->id});
    }

    // A long alias ends in "…" in its box, whose tooltip and accessible name hold it whole; an "&"
    // in it stays a letter.
    void aLongAliasEndsInAnEllipsis() {
        ThrowawayHome home;
        const std::string alias = "build&deploy-" + std::string(120, 'x');
        writeConfig(home, "Host " + alias + "\n  HostName build.example\n");
        Window window(home);
        const QCheckBox& box = window.openSheet().hostToggles().at(0)->box();
        QVERIFY(box.text().endsWith(QChar(0x2026)));
        QVERIFY(box.text().startsWith(QStringLiteral("build&&deploy-xx")));
        QCOMPARE(box.toolTip(), QString::fromStdString(alias));
        QCOMPARE(box.accessibleName(), QString::fromStdString(alias));
    }

    void offersTheSettingAndSaysWhenThereAreNoHosts() {
        ThrowawayHome home;
        home.settings.setUsesSSHConfig(false);
        writeConfig(home, "Host *\n  User everyone\n");
        Window window(home);
        auto& sheet = window.openSheet();
        QVERIFY(sheet.emptyText().isVisible());
        QVERIFY(!sheet.importButton().isEnabled());
        QVERIFY(sheet.turnOnSection().isVisible());
        sheet.turnOnButton().click();
        QVERIFY(home.settings.usesSSHConfig());
        QVERIFY(!sheet.turnOnSection().isVisible());
        sheet.cancelButton().click();
        window.waitUntilClosed();
    }
};

QTEST_MAIN(SSHConfigImportSheetTests)
#include "SSHConfigImportSheetTests.moc"
