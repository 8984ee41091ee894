#include "Burrowlight/Core/TermsWindowOpener.h"

#include <QTest>

using namespace burrowlight;

class TermsWindowOpenerTests : public QObject {
    Q_OBJECT

  private slots:
    void termsWindowRequestsWaitForTheTray() {
        TermsWindowOpener opener;
        int opened = 0;
        opener.request();
        opener.request();
        QVERIFY(opener.isPending());
        opener.install([&] { ++opened; });
        QCOMPARE(opened, 1);
        QVERIFY(!opener.isPending());
        opener.request();
        QCOMPARE(opened, 2);
        QVERIFY(!opener.isPending());
    }
};

QTEST_GUILESS_MAIN(TermsWindowOpenerTests)
#include "TermsWindowOpenerTests.moc"
