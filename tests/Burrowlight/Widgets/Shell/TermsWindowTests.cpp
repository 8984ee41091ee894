#include "Burrowlight/Widgets/Shell/TermsWindow.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;

class TermsWindowTests : public QObject {
    Q_OBJECT

  private slots:
    void acceptNeedsBothTicks() {
        TermsWindow window(std::make_unique<TermsModel>());
        window.show();
        QSignalSpy accepted(&window.model(), &TermsModel::accepted);
        QVERIFY(!window.acceptButton().isEnabled());

        QTest::mouseClick(&window.acceptsTermsBox().label(), Qt::LeftButton);
        QVERIFY(window.acceptsTermsBox().box().isChecked());
        QVERIFY(!window.acceptButton().isEnabled());
        QTest::keyClick(&window, Qt::Key_Return);
        QCOMPARE(accepted.count(), 0);

        QTest::mouseClick(&window.approvesLiabilityBox().box(), Qt::LeftButton);
        QVERIFY(window.acceptButton().isEnabled());
        window.acceptsTermsBox().box().setChecked(false);
        QVERIFY(!window.acceptButton().isEnabled());
        window.acceptsTermsBox().box().setChecked(true);

        QTest::keyClick(&window, Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
    }

    void escapeTheCloseButtonAndQuitAllQuit() {
        TermsWindow window(std::make_unique<TermsModel>());
        window.show();
        QSignalSpy quit(&window.model(), &TermsModel::quitRequested);
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(quit.count(), 1);
        QVERIFY2(window.isVisible(), "the window waits for the quit to go through");
        QTest::mouseClick(&window.quitButton(), Qt::LeftButton);
        QCOMPARE(quit.count(), 2);
        window.close();
        QCOMPARE(quit.count(), 3);
    }
};

QTEST_MAIN(TermsWindowTests)
#include "TermsWindowTests.moc"
