// A tray that comes after the application: a StatusNotifier host that registers with a watcher
// already on the bus; and the icon in a real tray, a tray host packaged by the distribution (trayer)
// on an X server of the test's own taking the application's icon into its panel. Run through
// with-private-buses.sh and with-xvfb.sh: with no StatusNotifierWatcher on the bus, Qt docks the icon
// the XEmbed way.
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "Burrowlight/Widgets/Shell/TrayHosts.h"
#include "PrivateBuses.h"
#include "ShellHarness.h"
#include "StandInStatusNotifierWatcher.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace burrowlight;
using shell_testing::ThrowawayHome;

namespace {

// The window of the icon Qt shows for the tray, once there is one.
QWidget* trayIconWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (QByteArray(widget->metaObject()->className()) == "QSystemTrayIconSys") {
            return widget;
        }
    }
    return nullptr;
}

// The X window that holds the window, as xwininfo reports it: "" for the root window.
QString parentWindow(WId window) {
    QProcess info;
    info.start(QStringLiteral("xwininfo"),
               {QStringLiteral("-children"), QStringLiteral("-id"), QString::number(window)});
    if (!info.waitForFinished(5'000)) {
        return QStringLiteral("?");
    }
    for (const QString& line : QString::fromLocal8Bit(info.readAllStandardOutput()).split('\n')) {
        if (line.trimmed().startsWith(QStringLiteral("Parent window id:"))) {
            return line.contains(QStringLiteral("(the root window)")) ? QString() : line.trimmed();
        }
    }
    return QStringLiteral("?");
}

} // namespace

class TrayHostTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
        AppSettings::registerDefaults();
    }

    // A panel's watcher may be on the bus before its host, which registers when it has started.
    void aHostRegisteringWithTheWatcherIsATrayThatCame() {
        testing_support::StandInStatusNotifierWatcher panel(
            testing_support::StandInStatusNotifierWatcher::Host::later);
        QVERIFY(panel.isRegistered());
        TrayHostWatch watch(QDBusConnection::sessionBus());
        QSignalSpy appeared(&watch, &TrayHostWatch::appeared);
        // The watch has heard that no host is there yet.
        QTRY_VERIFY(panel.hostQuestions() > 0);

        panel.registerHost();
        QTRY_COMPARE(appeared.count(), 1);
    }

    // The tray may start after the application, as a panel that comes late at login does.
    void theIconDocksInATrayThatComesLater() {
        if (qEnvironmentVariableIsSet("BURROWLIGHT_NO_X_SERVER")) {
            QSKIP(qPrintable(QStringLiteral("no X server for the tray: ") +
                             qEnvironmentVariable("BURROWLIGHT_NO_X_SERVER")));
        }
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty(),
                 "trayer is missing: scripts/install-deps --tests installs it");
        ThrowawayHome home;
        home.settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        home.settings.setOnboardingCompleted(true);
        AppShell shell(home.settings, home.alerts, home.parts());
        shell.launch();
        QVERIFY(!shell.model().hasTray());
        QVERIFY(!shell.tray().icon());

        QProcess host;
        host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host.start(QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                    QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                    QStringLiteral("true")});
        QVERIFY2(host.waitForStarted(), qPrintable(host.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(shell.model().hasTray(), 10'000);
        QVERIFY(shell.tray().icon()->isVisible());
        QTRY_VERIFY(trayIconWindow());
        const WId window = trayIconWindow()->winId();
        QTRY_VERIFY2_WITH_TIMEOUT(!parentWindow(window).isEmpty() &&
                                      parentWindow(window) != QStringLiteral("?"),
                                  "the tray host took the icon into its panel", 10'000);
        QVERIFY(!shell.tray().icon()->geometry().isEmpty());

        host.terminate();
        QVERIFY(host.waitForFinished(5'000));
    }
};

QTEST_MAIN(TrayHostTests)
#include "TrayHostTests.moc"
