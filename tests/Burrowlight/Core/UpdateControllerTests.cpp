#include "Burrowlight/Core/UpdateController.h"
#include "Burrowlight/Desktop/AppLog.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;

namespace {

struct RecordingUpdater : UpdateBackend {
    bool automatic = true;
    int writes = 0;
    int checks = 0;
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool checks) override {
        automatic = checks;
        ++writes;
    }
    void checkForUpdates() override { ++checks; }
};

UpdateController::BackendFactory recordingUpdater(RecordingUpdater** made) {
    return [made](const UpdateFeed&, UpdateController&) {
        auto updater = std::make_unique<RecordingUpdater>();
        *made = updater.get();
        return updater;
    };
}

} // namespace

class UpdateControllerTests : public QObject {
    Q_OBJECT

  private slots:
    void thisBuildHasNoUpdates() {
        const AppLogRecorder log;
        UpdateController updates;
        QVERIFY(!updates.isConfigured());
        QVERIFY(!updates.automaticallyChecks());
        updates.checkForUpdates();
        QCOMPARE(log.count(QStringLiteral("Check for Updates chosen")), 1);

        RecordingUpdater* made = nullptr;
        UpdateController withoutKey(UpdateFeed{QStringLiteral("https://example.com/feed.xml"), {}},
                                    recordingUpdater(&made));
        QVERIFY(!withoutKey.isConfigured());
        QCOMPARE(made, nullptr);
    }

    void scheduledUpdatesWaitInTheMenu() {
        RecordingUpdater* updater = nullptr;
        UpdateController updates(
            UpdateFeed{QStringLiteral("https://example.com/feed.xml"), QStringLiteral("key")},
            recordingUpdater(&updater));
        QVERIFY(updates.isConfigured());
        QVERIFY(updates.automaticallyChecks());
        QSignalSpy waiting(&updates, &UpdateController::updateWaitingChanged);
        const AppLogRecorder log;
        QSignalSpy automatic(&updates, &UpdateController::automaticallyChecksChanged);

        updates.updateAnnounced(QStringLiteral("2.1"), true);
        QVERIFY(!updates.updateWaiting());
        QCOMPARE(log.lines().size(), 0);
        updates.updateAnnounced(QStringLiteral("2.1"), false);
        QVERIFY(updates.updateWaiting());
        QCOMPARE(log.count(QStringLiteral("Update 2.1 waiting in the menu")), 1);
        updates.userAttendedToUpdate();
        QCOMPARE(waiting.count(), 2);

        const int writes = updater->writes;
        updates.setAutomaticallyChecks(true);
        QCOMPARE(automatic.count(), 0);
        QCOMPARE(updater->writes, writes + 1);
        updates.checkForUpdates();
        QCOMPARE(updater->checks, 1);
    }
};

QTEST_GUILESS_MAIN(UpdateControllerTests)
#include "UpdateControllerTests.moc"
