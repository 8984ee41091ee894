#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/ExportFile.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Core/TermsOfUse.h"

#include <QTemporaryDir>
#include <QTest>

using namespace burrowlight;

class AppIdentityTests : public QObject {
    Q_OBJECT

  private slots:
    void versionFallsBackPartByPart() {
        QCOMPARE(composeVersion(QStringLiteral("1.2.3"), QStringLiteral("45")), QStringLiteral("1.2.3 (45)"));
        QCOMPARE(composeVersion(QStringLiteral("1.2.3"), QString()), QStringLiteral("1.2.3 (0)"));
        QCOMPARE(composeVersion(QString(), QString()), QStringLiteral("0.0.0 (0)"));
        QVERIFY(appVersion().contains(QStringLiteral(" (")));
        QCOMPARE(appDisplayName(), QStringLiteral("Burrowlight"));
    }

    void termsAcceptedOnlyForTheExactCurrentVersion() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        QVERIFY(!currentTermsAccepted(settings));
        settings.setValue(QStringLiteral("termsAcceptedVersion"), QStringLiteral("2026-11-19.2 "));
        QVERIFY(!currentTermsAccepted(settings));
        settings.setValue(QStringLiteral("termsAcceptedVersion"), QStringLiteral("2026-01-01.1"));
        QVERIFY(!currentTermsAccepted(settings));
        settings.setValue(QStringLiteral("termsAcceptedVersion"), QString::fromLatin1(currentTermsVersion));
        QVERIFY(currentTermsAccepted(settings));
        settings.setValue(QStringLiteral("termsAcceptedVersion"), 20261119);
        QVERIFY(!currentTermsAccepted(settings));
    }

    void exportFileReadsAndWritesBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.burrowlight"));
        ExportFile file{QByteArrayLiteral("{\"format\":\"burrowlight\"}"), QStringLiteral("t.burrowlight")};
        QVERIFY(file.write(path));
        const auto read = ExportFile::read(path);
        QCOMPARE(read.data, file.data);
        QVERIFY(read.name.isEmpty());
        QVERIFY2(ExportFile::read(dir.path()).data.isEmpty(), "a folder has no contents");
        QVERIFY(ExportFile::read(dir.filePath(QStringLiteral("missing"))).data.isEmpty());
        QString error;
        QVERIFY(!file.write(dir.filePath(QStringLiteral("no/such/folder/x")), &error));
        QVERIFY(!error.isEmpty());
    }

    void sshVersionReadsTheInstalledSsh() {
        const QString version = sshVersion();
        QVERIFY2(version.startsWith(QStringLiteral("OpenSSH_")), qPrintable(version));
        QCOMPARE(sshVersion("/nonexistent/ssh"), QStringLiteral("?"));
    }

    void sshVersionOfAQuietOrChattyProgram() {
        QTemporaryDir dir;
        const QString quiet = dir.filePath(QStringLiteral("quiet"));
        const QString chatty = dir.filePath(QStringLiteral("chatty"));
        writeScript(quiet, "#!/bin/sh\nexit 3\n");
        // Far more than a pipe holds, on standard error, before exiting.
        writeScript(chatty,
                    "#!/bin/sh\nyes x | tr -d '\\n' | head -c 300000 >&2\necho >&2\necho ' v1 ' >&2\n");
        QCOMPARE(sshVersion(quiet.toStdString()), QString());
        const QString long_ = sshVersion(chatty.toStdString());
        QVERIFY(long_.endsWith(QStringLiteral("\n v1")));
        QCOMPARE(long_.size(), 300000 + 4);
    }

  private:
    static void writeScript(const QString& path, const char* body) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(AppIdentityTests)
#include "AppIdentityTests.moc"
