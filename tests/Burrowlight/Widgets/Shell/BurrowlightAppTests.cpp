#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace burrowlight;

namespace {

// Runs the event loop until something ends it; a loop nobody ends gives up with status 99.
int runEventLoopWhile(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    QTimer::singleShot(60'000, [] { QApplication::exit(99); });
    return QApplication::exec();
}

} // namespace

class BurrowlightAppTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // As in the application: only Quit ends it, never a closed window.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void trayQuitIsTheApplicationsOwnQuit() {
        bool fromMenu = false;
        AppTermination termination({.shouldTerminate =
                                        [&] {
                                            fromMenu = termination.quitRequestedFromMenu();
                                            return true;
                                        },
                                    .willTerminate = {}});
        const AppPresence presence([&] { termination.requestTerminationFromMenu(); });
        QVERIFY(!presence.tray().icon().pixmap(22, 22).isNull());
        QCOMPARE(presence.tray().toolTip(), QStringLiteral("Burrowlight"));
        QVERIFY(presence.tray().contextMenu());
        QCOMPARE(presence.tray().contextMenu()->actions(), QList<QAction*>{presence.quitAction()});
        QCOMPARE(presence.quitAction()->text(), QStringLiteral("Quit Burrowlight"));
        QCOMPARE(runEventLoopWhile([&] { presence.quitAction()->trigger(); }), 0);
        QVERIFY(fromMenu);
        QVERIFY(!termination.quitRequestedFromMenu());
    }
};

QTEST_MAIN(BurrowlightAppTests)
#include "BurrowlightAppTests.moc"
