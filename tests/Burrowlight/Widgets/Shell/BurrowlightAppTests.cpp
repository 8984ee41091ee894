#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"

#include <QApplication>
#include <QPushButton>
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

    void trayMenuQuitEndsTheApplication() {
        const AppPresence presence(true);
        QVERIFY(!presence.fallbackWindow());
        QVERIFY(!presence.tray().icon().pixmap(22, 22).isNull());
        QCOMPARE(presence.tray().toolTip(), QStringLiteral("Burrowlight"));
        QVERIFY(presence.tray().contextMenu());
        QCOMPARE(presence.tray().contextMenu()->actions(), QList<QAction*>{presence.quitAction()});
        QCOMPARE(presence.quitAction()->text(), QStringLiteral("Quit Burrowlight"));
        QCOMPARE(runEventLoopWhile([&] { presence.quitAction()->trigger(); }), 0);
    }

    void withoutATrayAWindowOffersQuit() {
        const AppPresence presence(false);
        QMessageBox* window = presence.fallbackWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->text(), QStringLiteral("Burrowlight is running."));
        QCOMPARE(window->buttons().size(), 1);
        auto* quit = qobject_cast<QPushButton*>(window->buttons().front());
        QVERIFY(quit);
        QCOMPARE(quit->text(), QStringLiteral("Quit Burrowlight"));
        QCOMPARE(runEventLoopWhile([&] { QTest::mouseClick(quit, Qt::LeftButton); }), 0);
    }
};

QTEST_MAIN(BurrowlightAppTests)
#include "BurrowlightAppTests.moc"
