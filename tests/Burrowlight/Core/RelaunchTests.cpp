// The shell left behind to relaunch: it waits for the old process, then starts the executable.
#include "Burrowlight/Core/Relaunch.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>

using namespace burrowlight;

class RelaunchTests : public QObject {
    Q_OBJECT

  private slots:
    void startsTheExecutableOnceTheOldProcessIsGone() {
        const QTemporaryDir root;
        // A path the shell must not split or unquote.
        const QString folder = root.filePath(QStringLiteral("new \"release\" it's"));
        QVERIFY(QDir().mkpath(folder));
        const QString executable = folder + QStringLiteral("/burrowlight");
        const QString marker = folder + QStringLiteral("/started");
        {
            QFile script(executable);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\necho \"$$ $#\" > \"$(dirname \"$0\")/started\"\n");
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        }
        QProcess old;
        old.start(QStringLiteral("/bin/sleep"), {QStringLiteral("600")});
        QVERIFY(old.waitForStarted());

        const auto relauncher = startRelauncher(executable, static_cast<pid_t>(old.processId()));
        if (!relauncher) {
            QFAIL(qPrintable(relauncher.error()));
        }
        QTest::qWait(700);
        QVERIFY2(!QFile::exists(marker), "nothing starts while the old process lives");

        old.kill();
        QVERIFY(old.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10'000);
        int status = 0;
        QCOMPARE(::waitpid(*relauncher, &status, 0), *relauncher);
        QFile started(marker);
        QVERIFY(started.open(QIODevice::ReadOnly));
        // The shell became the executable, started without arguments.
        QCOMPARE(started.readAll().trimmed(), QByteArray::number(*relauncher) + " 0");
    }
};

QTEST_GUILESS_MAIN(RelaunchTests)
#include "RelaunchTests.moc"
