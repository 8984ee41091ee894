// The shell over a real model in a throwaway home: which windows a launch opens, the commands that
// wait for the terms of use, and what other launches ask of the running one.
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/FileField.h"
#include "Burrowlight/Widgets/Editor/ForwardEditorRow.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/Editor/OptionsList.h"
#include "Burrowlight/Widgets/MainWindow/AboutWindow.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "LoopbackNetwork.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"
#include "StandInStatusNotifierWatcher.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>
#include <algorithm>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

namespace {

using Windows = std::vector<WindowId>;

Windows visibleWindows(const WindowRouter& router) {
    Windows shown;
    for (const auto id : allWindowIds) {
        if (router.window(id) && router.window(id)->isVisible()) {
            shown.push_back(id);
        }
    }
    return shown;
}

enum class Terms { none, older, current };
// Not stored: the registered default, the entry shown.
enum class TaskbarEntry { unset, shown, hidden };

void acceptTerms(AppShell& shell) {
    auto* terms = qobject_cast<TermsWindow*>(shell.router().open(WindowId::terms));
    QVERIFY(terms);
    terms->model().setAcceptsTerms(true);
    terms->model().setApprovesLiability(true);
    terms->model().accept();
    QVERIFY(shell.model().termsAccepted());
}

// Every kind of field the tunnel's editor has, by the name of its row.
QWidget* editorField(TunnelDetail& detail, const QString& which) {
    using Field = ForwardDraft::Field;
    auto& header = detail.header();
    auto* forward = detail.findChild<ForwardEditorRow*>();
    auto* advanced = detail.findChild<AdvancedFields*>();
    const std::map<QString, std::function<QWidget*()>> fields{
        {"name", [&] { return &header.nameField(); }},
        {"user", [&] { return &header.userField(); }},
        {"server", [&] { return &detail.findChild<HostField*>()->edit(); }},
        {"port", [&] { return &header.portField(); }},
        {"forward port", [&] { return &forward->field(Field::listenPort); }},
        {"forward destination", [&] { return &forward->field(Field::targetHost); }},
        {"forward name", [&] { return &forward->noteField(); }},
        {"jump hosts", [&] { return &advanced->jumpHosts(); }},
        {"private key", [&] { return &advanced->identityFile().edit(); }},
        {"attempts", [&] { return &advanced->attempts(); }},
        {"option", [&] { return advanced->options().row(0)->findChild<QLineEdit*>(); }},
        {"note", [&] { return &advanced->note(); }},
    };
    return fields.at(which)();
}

} // namespace

Q_DECLARE_METATYPE(Terms)
Q_DECLARE_METATYPE(Windows)
Q_DECLARE_METATYPE(TaskbarEntry)

class AppShellTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void launchOpens_data() {
        QTest::addColumn<Terms>("terms");
        QTest::addColumn<bool>("onboardingCompleted");
        QTest::addColumn<TaskbarEntry>("taskbarEntry");
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<Windows>("expected");
        using enum TaskbarEntry;
        QTest::newRow("first run") << Terms::none << false << unset << true << Windows{WindowId::terms};
        QTest::newRow("older terms") << Terms::older << true << unset << true << Windows{WindowId::terms};
        QTest::newRow("onboarding not finished")
            << Terms::current << false << hidden << true << Windows{WindowId::onboarding};
        QTest::newRow("taskbar entry off") << Terms::current << true << hidden << true << Windows{};
        QTest::newRow("taskbar entry off, no tray")
            << Terms::current << true << hidden << false << Windows{WindowId::main};
        QTest::newRow("taskbar entry never set")
            << Terms::current << true << unset << true << Windows{WindowId::main};
    }

    void launchOpens() {
        QFETCH(Terms, terms);
        QFETCH(bool, onboardingCompleted);
        QFETCH(TaskbarEntry, taskbarEntry);
        QFETCH(bool, trayAvailable);
        QFETCH(Windows, expected);
        ThrowawayHome home;
        if (terms == Terms::current) {
            home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        } else if (terms == Terms::older) {
            home.settings.storage().setValue(QStringLiteral("termsAcceptedVersion"),
                                             QStringLiteral("2026-01-07.1"));
        }
        if (onboardingCompleted) {
            home.settings.setOnboardingCompleted(true);
        }
        if (taskbarEntry != TaskbarEntry::unset) {
            home.settings.setShowsDockIcon(taskbarEntry == TaskbarEntry::shown);
        }

        AppShell shell(home.settings, home.alerts, home.parts(), trayAvailable);
        shell.launch();
        QCOMPARE(visibleWindows(shell.router()), expected);
    }

    // On a desktop without a tray, the windows that would promise it say what is true instead; a
    // panel that starts later gets the icon, and from then on they promise it.
    void noTrayIsPromisedUntilOneComes() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        AppShell shell(home.settings, home.alerts, home.parts(), false);
        shell.launch();
        const auto promisesTheTray = [&](WindowId id) {
            const auto labels = shell.router().open(id)->findChildren<QLabel*>();
            return std::ranges::any_of(labels, [](const QLabel* label) {
                return label->text().contains(QStringLiteral("in the tray"));
            });
        };
        for (const WindowId id : {WindowId::onboarding, WindowId::settings}) {
            QVERIFY(!promisesTheTray(id));
        }
        QVERIFY(!shell.tray().icon());

        const testing_support::StandInStatusNotifierWatcher panel;
        QVERIFY(panel.isRegistered());
        QTRY_VERIFY(shell.model().hasTray());
        QVERIFY(shell.tray().icon());
        for (const WindowId id : {WindowId::onboarding, WindowId::settings}) {
            QVERIFY(promisesTheTray(id));
        }
    }

    void aboutShowsTheCreditsInOneWindowEvenBeforeTheTerms() {
        ThrowawayHome home;
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.actions().about.trigger();
        AboutWindow* about = shell.aboutWindow();
        QVERIFY(about && about->isVisible());
        QVERIFY(about->credits().toPlainText().contains(QStringLiteral("libsecret")));
        shell.actions().about.trigger();
        QCOMPARE(shell.aboutWindow(), about);
    }

    // Where Linux desktops keep it: at the end of Help, with Check for Updates after it when shown.
    void aboutEndsTheHelpMenu() {
        ThrowawayHome home;
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        acceptTerms(shell);
        auto* window = qobject_cast<QMainWindow*>(shell.router().open(WindowId::main));
        QVERIFY(window);
        const QList<QAction*> menus = window->menuBar()->actions();
        const QMenu& help = *menus.last()->menu();
        const auto lastShown = [&help](qsizetype count) {
            QList<QAction*> shown;
            std::ranges::copy_if(help.actions(), std::back_inserter(shown),
                                 [](const QAction* item) { return item->isVisible(); });
            return shown.mid(shown.size() - count);
        };
        AppActions& actions = shell.actions();
        QVERIFY(lastShown(2).first()->isSeparator());
        QCOMPARE(lastShown(1), QList<QAction*>{&actions.about});
        actions.checkForUpdates.setVisible(true);
        QVERIFY(lastShown(3).first()->isSeparator());
        QCOMPARE(lastShown(2), (QList<QAction*>{&actions.about, &actions.checkForUpdates}));
        QVERIFY(!menus.first()->menu()->actions().contains(&actions.about));
    }

    void gatedCommandsOnlyBringUpTheTermsWindow() {
        ThrowawayHome home;
        auto tunnel = tunnelkit::Tunnel::created();
        tunnel.host = "127.0.0.1";
        tunnel.port = testing_support::freeLoopbackPort();
        home.storeTunnels({tunnel});
        AppShell shell(home.settings, home.alerts, home.parts(), true);

        shell.actions().newTunnel.trigger();
        QVERIFY(!shell.model().requestsNewTunnel());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});
        shell.actions().connectAll.trigger();
        shell.actions().importFromSSHConfig.trigger();
        QVERIFY(!shell.model().requestsConfigImport());
        QCOMPARE(shell.model().controller().state(tunnel.id), tunnelkit::TunnelState::disconnected());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});

        acceptTerms(shell);
        // The main window opens and takes each request up.
        shell.actions().newTunnel.trigger();
        QVERIFY(shell.router().window(WindowId::main)->isVisible());
        QVERIFY(!shell.model().requestsNewTunnel());
        QVERIFY(shell.model().drafts().newTunnel());
        shell.actions().importFromSSHConfig.trigger();
        QVERIFY(!shell.model().requestsConfigImport());
        QVERIFY2(shell.model().openMainWindow(), "the main window handed its opener to the model");
        QVERIFY(!shell.actions().checkForUpdates.isVisible());
    }

    void filesWaitForTheTermsAndOnlyArchivesAreImported() {
        ThrowawayHome home;
        const auto archive = QString::fromStdString(home.folder.file("shared.burrowlight"));
        auto shared = tunnelkit::Tunnel::created();
        shared.host = "shared.example.com";
        QFile file(archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray::fromStdString(tunnelkit::TunnelArchive::make({shared}, shared.createdAt).encoded()));
        file.close();
        QVERIFY(QFile::copy(archive, QString::fromStdString(home.folder.file("shared.BURROWLIGHT"))));
        AppShell shell(home.settings, home.alerts, home.parts(), true);

        shell.delegate().openFiles({archive});
        QVERIFY(home.alerts.shown.empty());
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::terms});

        acceptTerms(shell);
        shell.delegate().openFiles({QString::fromStdString(home.folder.file("shared.BURROWLIGHT"))});
        QVERIFY(home.alerts.shown.empty());
        shell.delegate().openFiles({archive});
        QTRY_COMPARE(home.alerts.shown.size(), size_t(1));
        QVERIFY2(shell.model().controller().tunnels().empty(), "the user did not agree");

        // A read long enough to show its progress, given up: nothing is asked once it ends.
        shell.delegate().openFiles({archive});
        QCOMPARE(shell.importProgress().message().text(),
                 QStringLiteral("Reading “\u2068shared.burrowlight\u2069”…"));
        shell.importProgress().showNow();
        QVERIFY(shell.importProgress().isVisible());
        QTest::mouseClick(&shell.importProgress().cancelButton(), Qt::LeftButton);
        QVERIFY(!shell.importProgress().isVisible());
        QVERIFY(shell.model().archiveImports().isIdle());
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(home.alerts.shown.size(), size_t(1));
    }

    void reopeningOpensTheMainWindowOnlyAfterAcceptance() {
        ThrowawayHome home;
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.delegate().reopen();
        QCOMPARE(visibleWindows(shell.router()), Windows{});

        home.settings.setOnboardingCompleted(true);
        home.settings.setShowsDockIcon(false);
        acceptTerms(shell);
        QCOMPARE(visibleWindows(shell.router()), Windows{});
        shell.delegate().reopen();
        QCOMPARE(visibleWindows(shell.router()), Windows{WindowId::main});
    }

    void windowsGoWithTheKeyboardInAnyEditorField_data() {
        QTest::addColumn<QString>("field");
        for (const char* field :
             {"name", "user", "server", "port", "forward port", "forward destination", "forward name",
              "jump hosts", "private key", "attempts", "option", "note"}) {
            QTest::newRow(field) << QString::fromLatin1(field);
        }
    }

    // A field that loses the keyboard because it is going must move no model into widgets that are
    // going with it: first the detail is replaced, then the whole shell ends (ASan sees the rest).
    void windowsGoWithTheKeyboardInAnyEditorField() {
        QFETCH(QString, field);
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        home.settings.setShowsDockIcon(true);
        auto edited = tunnelkit::Tunnel::created();
        edited.name = "edited";
        edited.host = "edited.example.com";
        edited.forwards = {tunnelkit::Forward::make(
            tunnelkit::Uuid::random(), tunnelkit::Forward::Kind::local, true,
            tunnelkit::Endpoint::tcp("127.0.0.1", 8080), tunnelkit::Endpoint::tcp("localhost", 80), "web")};
        edited.options = {{tunnelkit::Uuid::random(), "ServerAliveInterval", "30"}};
        auto other = tunnelkit::Tunnel::created();
        other.name = "other";
        other.host = "other.example.com";
        home.storeTunnels({edited, other});
        auto shell = std::make_unique<AppShell>(home.settings, home.alerts, home.parts(), true);
        shell->launch();
        QWidget* window = shell->router().window(WindowId::main);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto& view = *window->findChild<MainWindowView*>();

        const auto focusInEditor = [&] {
            view.model().state().setSelection({edited.id});
            auto* detail = dynamic_cast<TunnelDetail*>(view.detail().page());
            QVERIFY(detail);
            for (auto* toggle : detail->findChildren<QToolButton*>()) {
                if (toggle->text() == QStringLiteral("Advanced")) {
                    toggle->setChecked(true);
                }
            }
            QWidget* shown = editorField(*detail, field);
            shown->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(shown->hasFocus());
        };
        focusInEditor();
        view.model().state().setSelection({other.id});
        focusInEditor();
        shell.reset();
    }
};

QTEST_MAIN(AppShellTests)
#include "AppShellTests.moc"
