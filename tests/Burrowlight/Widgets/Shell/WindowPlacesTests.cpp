// The windows on a real X server, as a window manager sees them: the main window and the Settings
// window come back where they were left, also after a relaunch, a maximised one maximised and with
// its normal place on the screen whatever screen it was left on, a saved place too large or beyond
// reason within the screen before it shows, and "Show in the taskbar" gives and takes the main
// window's EWMH hint that keeps it out of taskbars as soon as the General pane's switch is flipped.
// Run through with-private-buses.sh and with-xvfb.sh.
#include "Burrowlight/Widgets/Settings/GeneralSettingsPane.h"
#include "Burrowlight/Widgets/Settings/SettingsWindow.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/WindowPlaces.h"
#include "PrivateBuses.h"
#include "SavedWindowGeometry.h"
#include "ShellHarness.h"

#include <QApplication>
#include <QDebug>
#include <QProcess>
#include <QTest>
#include <limits>
#include <optional>

using namespace burrowlight;
using shell_testing::ThrowawayHome;
using testing_support::savedWindowGeometry;

namespace {

QString described(const QRect& rectangle) {
    QString text;
    QDebug(&text) << rectangle;
    return text;
}

// The window's _NET_WM_STATE as xprop reads it from the server.
QString windowState(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("_NET_WM_STATE")});
    return xprop.waitForFinished(5'000) ? QString::fromLocal8Bit(xprop.readAllStandardOutput())
                                        : QStringLiteral("?");
}

bool isAtLeast(const QRect& place, QSize least) {
    return place.width() >= least.width() && place.height() >= least.height();
}

bool skipsTaskbar(const QWidget& window) {
    return windowState(window).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"));
}

} // namespace

class WindowPlacesTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("BURROWLIGHT_NO_X_SERVER")) {
            QSKIP(qPrintable(QStringLiteral("no X server: ") +
                             qEnvironmentVariable("BURROWLIGHT_NO_X_SERVER")));
        }
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        AppSettings::registerDefaults();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void windowsComeBackWhereTheUserLeftThem() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        const QRect mainPlace(140, 90, 1000, 640);
        const QPoint settingsPlace(220, 160);
        {
            AppShell shell(home.settings, home.alerts, home.parts(), true);
            shell.router().open(WindowId::main)->setGeometry(mainPlace);
            QWidget* settings = shell.router().open(WindowId::settings);
            settings->move(settingsPlace);
            shell.router().dismiss(WindowId::settings);
            QTRY_VERIFY(!shell.router().isOpen(WindowId::settings));
            // Opened again in the same run, where it was closed.
            settings = shell.router().open(WindowId::settings);
            QCOMPARE(settings->pos(), settingsPlace);
            settings->move(settingsPlace + QPoint(10, 10));
            // Quit with both open: the application ends without tearing the shell down, so what it
            // settles must be on disk before.
            shell.settleBeforeExit();
            const AppSettings onDisk(
                std::make_unique<QSettings>(home.settings.storage().fileName(), QSettings::IniFormat));
            QCOMPARE(onDisk.windowGeometry(QStringLiteral("main")),
                     shell.router().window(WindowId::main)->saveGeometry());
            QCOMPARE(onDisk.windowGeometry(QStringLiteral("settings")), settings->saveGeometry());
        }

        AppShell relaunched(home.settings, home.alerts, home.parts(), true);
        relaunched.launch();
        QCOMPARE(relaunched.router().window(WindowId::main)->geometry(), mainPlace);
        QWidget* settings = relaunched.router().open(WindowId::settings);
        QCOMPARE(settings->pos(), settingsPlace + QPoint(10, 10));
        QCOMPARE(settings->size(), settings->maximumSize());
    }

    // Left on a screen half as wide again (a laptop's desk monitor), the main window comes back
    // maximised or not as it was left, and its normal place, where it goes when restored, is the one
    // it had, brought onto this screen.
    void aWindowLeftOnAWiderScreenComesBackAsItWasWithItsPlaceOnThisOne() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect saved(available.center(), available.size() * 3 / 4);
        for (const bool maximized : {true, false}) {
            ThrowawayHome home;
            home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
            home.settings.setOnboardingCompleted(true);
            home.settings.setWindowGeometry(QStringLiteral("main"),
                                            savedWindowGeometry(saved, maximized, available.width() * 3 / 2));

            AppShell shell(home.settings, home.alerts, home.parts(), true);
            shell.launch();
            const QWidget* main = shell.router().window(WindowId::main);
            QCOMPARE(main->isMaximized(), maximized);
            QVERIFY2(available.contains(main->normalGeometry()),
                     qPrintable(described(main->normalGeometry())));
            QCOMPARE(main->normalGeometry().size(), saved.size());
        }
    }

    // Before the window is first shown, in whichever version of Qt's format it was saved: on Wayland a
    // window larger than the screen fails at its first paint. A place no window can have (its corners
    // as far apart as an int allows) is left for the default one. A window of one size is never left
    // maximised, which the window manager would not do.
    void aSavedPlaceBeyondTheScreenIsBroughtWithinItBeforeTheWindowShows() {
        constexpr int least = std::numeric_limits<int>::min();
        constexpr int most = std::numeric_limits<int>::max();
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QRect& saved :
             {QRect(0, 0, 40'000, 30'000), QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
              QRect(QPoint(least, least), QPoint(most, most)), QRect(QPoint(0, 0), QPoint(most, most))}) {
            for (const quint16 version : {0, 1, 2, 3}) {
                for (const bool maximized : {false, true}) {
                    const QString value = described(saved) + " in version " + QString::number(version);
                    ThrowawayHome home;
                    home.settings.setWindowGeometry(
                        QStringLiteral("window"),
                        savedWindowGeometry(saved, maximized, available.width(), version));
                    WindowPlaces places(home.settings);
                    QWidget window;
                    places.keep(window, QStringLiteral("window"));
                    QVERIFY2(available.contains(window.normalGeometry()),
                             qPrintable(value + " opens at " + described(window.normalGeometry())));
                    QWidget fixed;
                    fixed.setFixedSize(400, 300);
                    places.keep(fixed, QStringLiteral("window"));
                    QVERIFY2(!fixed.isMaximized() && available.contains(fixed.geometry()), qPrintable(value));
                }
            }
        }
    }

    // A place Qt itself refuses, from a later Qt, is left for the default one.
    void aPlaceSavedInALaterVersionIsLeftForTheDefault() {
        ThrowawayHome home;
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        WindowPlaces places(home.settings);
        QWidget window;
        const QRect defaultPlace = window.geometry();
        home.settings.setWindowGeometry(
            QStringLiteral("window"),
            savedWindowGeometry(defaultPlace.translated(40, 30), true, available.width(), 4));
        places.keep(window, QStringLiteral("window"));
        QVERIFY(window.windowState() == Qt::WindowNoState);
        QCOMPARE(window.geometry(), defaultPlace);
    }

    // The window manager doesn't maximise a window of one size: one that comes back "maximised" would
    // stay at the screen's corner, neither maximised nor where it was left. Full screen it would have
    // no title bar to be closed by, launch after launch.
    void theSettingsWindowComesBackWhereItWasLeftAlsoWhenSavedMaximisedOrFullScreen() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect place(available.topLeft() + QPoint(60, 80), available.size() / 2);
        for (const quint16 version : {0, 1, 2, 3}) {
            for (const bool fullScreen : {false, true}) {
                home.settings.setWindowGeometry(
                    QStringLiteral("settings"),
                    savedWindowGeometry(place, !fullScreen, available.width(), version, fullScreen));
                AppShell shell(home.settings, home.alerts, home.parts(), true);
                const QWidget* settings = shell.router().open(WindowId::settings);
                const QString value =
                    QStringLiteral("version %1, full screen %2").arg(version).arg(fullScreen);
                QVERIFY2(settings->windowState() == Qt::WindowNoState, qPrintable(value));
                QCOMPARE(settings->pos(), place.topLeft());
            }
        }
    }

    // The main window's least size follows the desktop's text and is known only as it first shows: one
    // saved maximised over a normal place smaller than that (saved at smaller text) stays maximised
    // launch after launch, its normal place grown to the least size. One whose least size grows past
    // it while it shows maximised stores a place it can be restored to too.
    void aMaximisedWindowStaysSoWhenItsLeastSizeGrows() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        home.settings.setWindowGeometry(
            QStringLiteral("main"),
            savedWindowGeometry(QRect(available.topLeft(), QSize(1, 1)), true, available.width()));
        for (const int launch : {1, 2}) {
            AppShell shell(home.settings, home.alerts, home.parts(), true);
            shell.launch();
            const QWidget* main = shell.router().window(WindowId::main);
            QVERIFY2(main->isMaximized(), qPrintable(QStringLiteral("launch %1").arg(launch)));
            QVERIFY2(isAtLeast(main->normalGeometry(), main->minimumSize()) &&
                         available.contains(main->normalGeometry()),
                     qPrintable(described(main->normalGeometry())));
            shell.settleBeforeExit();
            const std::optional<QRect> stored =
                testing_support::savedNormalGeometry(home.settings.windowGeometry(QStringLiteral("main")));
            QVERIFY2(stored && *stored == main->normalGeometry(),
                     qPrintable(described(stored.value_or(QRect()))));
        }

        WindowPlaces places(home.settings);
        QWidget window;
        places.keep(window, QStringLiteral("window"));
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setMinimumSize(window.size() + QSize(1, 1));
        window.hide();
        const std::optional<QRect> stored =
            testing_support::savedNormalGeometry(home.settings.windowGeometry(QStringLiteral("window")));
        QVERIFY2(stored && isAtLeast(*stored, window.minimumSize()),
                 qPrintable(described(stored.value_or(QRect()))));
    }

    void theSwitchTakesTheMainWindowOutOfTheTaskbarAtOnce() {
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        AppShell shell(home.settings, home.alerts, home.parts(), true);
        shell.launch();
        QWidget* main = shell.router().window(WindowId::main);
        QVERIFY(main && main->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(!skipsTaskbar(*main));

        auto* settings = qobject_cast<SettingsWindow*>(shell.router().open(WindowId::settings));
        QVERIFY(settings);
        auto* general = qobject_cast<GeneralSettingsPane*>(&settings->pane());
        QVERIFY(general);
        general->showsInTaskbarBox().click();
        QVERIFY(!home.settings.showsDockIcon());
        QVERIFY(main->isVisible());
        QTRY_VERIFY(skipsTaskbar(*main));
        general->showsInTaskbarBox().click();
        QTRY_VERIFY(!skipsTaskbar(*main));

        // A main window made afresh while the entry is off starts without it.
        general->showsInTaskbarBox().click();
        shell.router().dismiss(WindowId::main);
        QTRY_VERIFY(!shell.router().isOpen(WindowId::main));
        main = shell.router().open(WindowId::main);
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QVERIFY(skipsTaskbar(*main));
    }
};

QTEST_MAIN(WindowPlacesTests)
#include "WindowPlacesTests.moc"
