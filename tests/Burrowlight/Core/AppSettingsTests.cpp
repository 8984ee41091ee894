#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/TermsOfUse.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace burrowlight;

namespace {

std::unique_ptr<QSettings> settingsFile(const QTemporaryDir& dir) {
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("burrowlight.conf")),
                                       QSettings::IniFormat);
}

} // namespace

class AppSettingsTests : public QObject {
    Q_OBJECT

  private slots:
    // A first run has no stored values: what main() registered is read, nothing is written.
    void firstRunReadsTheRegisteredDefaults() {
        QTemporaryDir dir;
        AppSettings settings(settingsFile(dir));
        QVERIFY2(!settings.showsDockIcon(), "nothing registered yet reads as false");
        AppSettings::registerDefaults();
        QVERIFY(settings.showsDockIcon());
        QVERIFY(settings.usesSSHConfig());
        QVERIFY(settings.notifiesStatusChanges());
        QVERIFY(!settings.onboardingCompleted());
        QVERIFY(!settings.logShowsDetails());
        QVERIFY(!settings.currentTermsAccepted());
        QVERIFY(settings.storage().allKeys().isEmpty());
    }

    void eachKeyAnnouncesOnlyItsOwnRealChanges() {
        AppSettings::registerDefaults();
        QTemporaryDir dir;
        AppSettings settings(settingsFile(dir));
        QSignalSpy dock(&settings, &AppSettings::showsDockIconChanged);
        QSignalSpy notifications(&settings, &AppSettings::notifiesStatusChangesChanged);
        settings.setShowsDockIcon(true);
        QCOMPARE(dock.count(), 0);
        settings.setShowsDockIcon(false);
        settings.setShowsDockIcon(false);
        QCOMPARE(dock.count(), 1);
        QCOMPARE(dock.at(0).at(0).toBool(), false);
        QCOMPARE(notifications.count(), 0);

        // Read afresh: another store over the same file sees the stored value.
        AppSettings again(settingsFile(dir));
        QVERIFY(!again.showsDockIcon());
        QVERIFY(again.usesSSHConfig());
    }

    void termsTipAndLanguageSurviveInTheFile() {
        QTemporaryDir dir;
        const QDateTime acceptedAt = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
        {
            AppSettings settings(settingsFile(dir));
            QSignalSpy terms(&settings, &AppSettings::termsAcceptanceChanged);
            settings.recordTermsAcceptance(acceptedAt);
            QCOMPARE(terms.count(), 1);
            settings.setTipPageOpenedVersion(QStringLiteral("1.0 (3)"));
            settings.setLanguages(QStringList{QStringLiteral("it")});
        }
        AppSettings settings(settingsFile(dir));
        QVERIFY(settings.currentTermsAccepted());
        QVERIFY(currentTermsAccepted(settings.storage()));
        QCOMPARE(settings.termsAcceptedAt(), std::optional(acceptedAt));
        QCOMPARE(settings.tipPageOpenedVersion(), std::optional(QStringLiteral("1.0 (3)")));
        QCOMPARE(settings.languages(), std::optional(QStringList{QStringLiteral("it")}));

        QSignalSpy languages(&settings, &AppSettings::languagesChanged);
        settings.setLanguages(std::nullopt);
        QCOMPARE(settings.languages(), std::nullopt);
        QCOMPARE(languages.count(), 1);
    }
};

QTEST_GUILESS_MAIN(AppSettingsTests)
#include "AppSettingsTests.moc"
