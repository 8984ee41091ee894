// The relaunch after a language change: the shell left behind waits for the old process, then
// starts the same executable, which speaks the new language. This test's own executable plays the
// application in a process of its own (see `playApplication`).
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Desktop/Relaunch.h"
#include "Platform/LinuxProcessTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

using namespace burrowlight;

namespace {

constexpr const char* stageVariable = "RELAUNCH_TEST_STAGE";

QString stageFile(const char* name) {
    return QString::fromLocal8Bit(qgetenv(stageVariable)) + QLatin1Char('/') + QLatin1String(name);
}

void writeLine(const QString& path, const QString& line) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(line.toUtf8());
    }
}

QStringList readLine(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(QLatin1Char(' '))
                                          : QStringList();
}

// Processes other than this one that run this test's executable.
QList<pid_t> othersRunningThisExecutable() {
    QList<pid_t> found;
    const auto executable = platform::processes::ownExecutablePath();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (numeric && pid != ::getpid() && platform::processes::executablePath(pid) == executable) {
            found.append(pid);
        }
    }
    return found;
}

bool isRunning(pid_t pid) {
    return ::kill(pid, 0) == 0 && platform::processes::parentOf(pid).has_value();
}

// First run: the user picks Italian and asks for the relaunch, which quits. The run it leaves
// behind records what it is and which language it starts in.
int playApplication(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    AppSettings settings(std::make_unique<QSettings>(stageFile("settings.conf"), QSettings::IniFormat));
    if (QFile::exists(stageFile("first"))) {
        writeLine(stageFile("second"),
                  QStringLiteral("%1 %2 %3")
                      .arg(::getpid())
                      .arg(QString::fromStdString(platform::processes::ownExecutablePath().value_or("")),
                           startupLocalization(settings)));
        return EXIT_SUCCESS;
    }
    writeLine(stageFile("first"), QString::number(::getpid()));
    AppTermination termination({.shouldTerminate = {}, .willTerminate = [] { relaunchIfAsked(); }});
    QTimer::singleShot(0, [&] {
        applyAppLanguage(AppLanguage::italian, settings);
        relaunch([&] { return termination.requestTermination(); });
    });
    return QCoreApplication::exec();
}

} // namespace

class RelaunchTests : public QObject {
    Q_OBJECT

  private slots:
    void afterALanguageChangeTheSameExecutableStartsAgainInIt() {
        const QTemporaryDir stage;
        QProcess first;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(stageVariable), stage.path());
        environment.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        environment.remove(QStringLiteral("LANGUAGE"));
        environment.remove(QStringLiteral("LC_ALL"));
        first.setProcessEnvironment(environment);
        first.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(first.waitForFinished(30'000));
        QCOMPARE(first.exitCode(), 0);
        const auto firstPid = readLine(stage.filePath(QStringLiteral("first"))).value(0).toInt();
        QVERIFY(firstPid > 0);

        // The new process runs within 2 s of the old one's end...
        QTRY_VERIFY_WITH_TIMEOUT(!othersRunningThisExecutable().isEmpty() ||
                                     QFile::exists(stage.filePath(QStringLiteral("second"))),
                                 2'000);
        // ...and, once started, tells what it is.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stage.filePath(QStringLiteral("second"))), 30'000);
        const QStringList second = readLine(stage.filePath(QStringLiteral("second")));
        QCOMPARE(second.size(), 3);
        QVERIFY(second[0].toInt() != firstPid);
        QVERIFY(!isRunning(firstPid));
        QCOMPARE(second[1], QCoreApplication::applicationFilePath());
        QCOMPARE(second[2], QStringLiteral("it"));
    }

    void theShellWaitsForTheOldProcess() {
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
        // The shell became the executable, started without arguments.
        QCOMPARE(readLine(marker).join(QLatin1Char(' ')).trimmed(), QString::number(*relauncher) + " 0");
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(stageVariable)) {
        return playApplication(argc, argv);
    }
    QCoreApplication application(argc, argv);
    RelaunchTests tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "RelaunchTests.moc"
