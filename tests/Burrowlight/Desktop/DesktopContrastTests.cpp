#include "Burrowlight/Desktop/DesktopContrast.h"
#include "PrivateBuses.h"
#include "StandInSettingsPortal.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using testing_support::StandInSettingsPortal;

Q_DECLARE_METATYPE(StandInSettingsPortal::Version)

class DesktopContrastTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void followsThePortalsPreference_data() {
        QTest::addColumn<StandInSettingsPortal::Version>("version");
        QTest::newRow("ReadOne") << StandInSettingsPortal::Version::withReadOne;
        QTest::newRow("Read only, older portals") << StandInSettingsPortal::Version::readOnly;
    }

    void followsThePortalsPreference() {
        QFETCH(StandInSettingsPortal::Version, version);
        StandInSettingsPortal portal(1, version);
        QVERIFY(portal.isRegistered());
        const DesktopContrast contrast;
        QSignalSpy changes(&contrast, &DesktopContrast::highChanged);
        QVERIFY2(!contrast.isHigh(), "answered later, never waited for");
        QTRY_VERIFY(contrast.isHigh());

        portal.setContrast(0);
        QTRY_VERIFY(!contrast.isHigh());
        portal.setContrast(1);
        QTRY_VERIFY(contrast.isHigh());
        QCOMPARE(changes.count(), 3);
    }
};

QTEST_GUILESS_MAIN(DesktopContrastTests)
#include "DesktopContrastTests.moc"
