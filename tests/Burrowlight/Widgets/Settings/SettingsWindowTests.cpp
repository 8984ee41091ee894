// The settings window over a real model: the section it opens on, and that the panes' controls
// reach their models.
#include "../Shell/ShellHarness.h"
#include "Burrowlight/Core/TipPage.h"
#include "Burrowlight/Widgets/Settings/GeneralSettingsPane.h"
#include "Burrowlight/Widgets/Settings/SSHSettingsPane.h"
#include "Burrowlight/Widgets/Settings/SettingsWindow.h"
#include "Burrowlight/Widgets/Settings/TunnelsSettingsPane.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "PrivateBuses.h"

#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QTest>

using namespace burrowlight;
using shell_testing::ShellHarness;

namespace {

std::unique_ptr<SettingsWindow> settingsWindow(ShellHarness& harness) {
    auto window = std::make_unique<SettingsWindow>(SettingsServices{.model = *harness.model,
                                                                    .termination = harness.termination,
                                                                    .alerts = harness.alerts,
                                                                    .openMain = [] {}});
    window->show();
    return window;
}

// Takes the addresses the application hands to the desktop.
class Browser : public QObject {
    Q_OBJECT

  public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> opened;

  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace

class SettingsWindowTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    void theTrayMenuOpensTheWindow() {
        shell_testing::ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        home.settings.setShowsDockIcon(false);
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.launch();
        const QList<QAction*> items = shell.tray().menu().actions();
        const auto settings = std::find_if(items.begin(), items.end(), [](const QAction* action) {
            return action->text() == QStringLiteral("Settings…");
        });
        QVERIFY(settings != items.end());
        (*settings)->trigger();
        QTRY_VERIFY(qobject_cast<SettingsWindow*>(shell.router().window(WindowId::settings)));
        QVERIFY(shell.router().window(WindowId::settings)->isVisible());
    }

    void opensOnTheStoredSectionAndGeneralForAnyOtherText() {
        ShellHarness harness;
        harness.start();
        harness.settings.setSelectedSettingsSection(QString());
        auto window = settingsWindow(harness);
        QCOMPARE(window->sidebar().currentRow(), 0);
        QVERIFY(qobject_cast<GeneralSettingsPane*>(&window->pane()));
        QCOMPARE(window->sectionTitle().text(), QStringLiteral("General"));

        window->sidebar().setCurrentRow(1);
        QCOMPARE(harness.settings.selectedSettingsSection(), QStringLiteral("ssh"));
        QCOMPARE(window->sectionTitle().text(), QStringLiteral("SSH"));
        window.reset();
        QCOMPARE(settingsWindow(harness)->sidebar().currentRow(), 1);
    }

    // A screen reader selects a row without moving the current one: the pane follows all the same.
    void aRowSelectedThroughAccessibilityShowsItsPane() {
        ShellHarness harness;
        harness.start();
        auto window = settingsWindow(harness);
        QAccessibleTableInterface& rows =
            *QAccessible::queryAccessibleInterface(&window->sidebar())->tableInterface();

        rows.cellAt(1, 0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(harness.settings.selectedSettingsSection(), QStringLiteral("ssh"));
        QVERIFY(qobject_cast<SSHSettingsPane*>(&window->pane()));
        QCOMPARE(window->sectionTitle().text(), QStringLiteral("SSH"));

        QVERIFY(rows.selectRow(2));
        QCOMPARE(harness.settings.selectedSettingsSection(), QStringLiteral("tunnels"));
        QVERIFY(qobject_cast<TunnelsSettingsPane*>(&window->pane()));
        QCOMPARE(window->sidebar().currentRow(), 2);
    }

    void theGeneralPaneOffersARelaunchForAnotherLanguage() {
        ShellHarness harness;
        GeneralSettingsPane pane(std::make_unique<GeneralSettingsModel>(
            harness.start(), harness.termination,
            LanguageFacts{QStringLiteral("en"), {QStringLiteral("en_US")}}));
        pane.show();
        QVERIFY(!pane.relaunchRow().isVisible());
        pane.languageBox().setCurrentIndex(pane.languageBox().findText(QStringLiteral("Italiano")));
        QCOMPARE(harness.settings.languages(), std::optional(QStringList{QStringLiteral("it")}));
        QVERIFY(pane.relaunchRow().isVisible());
        pane.languageBox().setCurrentIndex(0);
        QVERIFY(!pane.relaunchRow().isVisible());

        // The tip page opens and keeps the quit-time offer away for this version.
        Browser browser;
        QTest::mouseClick(&pane.tipButton(), Qt::LeftButton);
        QCOMPARE(browser.opened, QList<QUrl>{tipPageURL()});
        QCOMPARE(harness.settings.tipPageOpenedVersion(), std::optional(appVersion()));
    }

    void exportAllSavesWhereTheUserChoseWithTheArchiveExtension() {
        ShellHarness harness;
        auto tunnel = tunnelkit::Tunnel::created();
        tunnel.host = "db.example.com";
        harness.storeTunnels({tunnel});
        QString suggested;
        const QString chosen = QString::fromStdString(harness.folder.file("shared"));
        TunnelsSettingsPane pane(
            std::make_unique<TunnelsSettingsModel>(harness.start(), harness.alerts, [] {}),
            {.open = [](QWidget*) { return QString(); },
             .save =
                 [&](QWidget*, const QString& name) {
                     suggested = name;
                     return chosen;
                 }});
        pane.show();
        QVERIFY(pane.exportButton().isEnabled());
        QVERIFY(!pane.storageProblem().isVisible());
        QTest::mouseClick(&pane.exportButton(), Qt::LeftButton);
        QCOMPARE(suggested, QStringLiteral("Tunnels.burrowlight"));
        QVERIFY(tunnelkit::TunnelArchive::load(chosen.toStdString() + ".burrowlight"));
        QVERIFY(harness.alerts.shown.empty());

        harness.model->controller().moveToTrash({tunnel.id});
        QVERIFY(!pane.exportButton().isEnabled());
    }
};

QTEST_MAIN(SettingsWindowTests)
#include "SettingsWindowTests.moc"
