#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Desktop/SingleInstance.h"
#include "PrivateBuses.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace burrowlight;

namespace {

const QString noBus = QStringLiteral("unix:path=/nonexistent/bus");

// One launch of the probe program, as a process of its own.
class Launch {
  public:
    explicit Launch(const QStringList& arguments, const QString& workingFolder = QString(),
                    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(workingFolder.isEmpty() ? QDir::tempPath() : workingFolder);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(SINGLE_INSTANCE_PROBE), arguments);
    }
    ~Launch() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // The next line it prints; empty when it ends or stays silent for long.
    QString nextLine() {
        while (!process_.canReadLine() && process_.waitForReadyRead(20'000)) {
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    // Its exit status once it has ended by itself; -1 when it was still running after a long wait.
    int exitCode() {
        if (!process_.waitForFinished(20'000) || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process_.exitCode();
    }
    QProcess& process() { return process_; }

  private:
    QProcess process_;
};

QProcessEnvironment environmentWith(const QString& name, const QString& value) {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(name, value);
    return environment;
}

bool nameIsTaken() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QString::fromLatin1(bundleIdentifier));
}

} // namespace

class SingleInstanceTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void laterLaunchesHandTheirFilesOrAReopenToTheFirst() {
        const QTemporaryDir home;
        const QString app = home.filePath(QStringLiteral("app"));
        Launch first({app});
        QCOMPARE(first.nextLine(), QStringLiteral("primary bus"));

        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("documents"))));
        Launch withFiles({app, QStringLiteral("a.burrowlight"), QStringLiteral("/elsewhere/b.burrowlight"),
                          QStringLiteral("file:///with%20blank/c.burrowlight")},
                         home.filePath(QStringLiteral("documents")),
                         environmentWith(QStringLiteral("XDG_ACTIVATION_TOKEN"), QStringLiteral("token-1")));
        QCOMPARE(withFiles.nextLine(), QStringLiteral("handed-over"));
        QCOMPARE(withFiles.exitCode(), 0);
        QCOMPARE(first.nextLine(),
                 QStringLiteral("open %1|/elsewhere/b.burrowlight|/with blank/c.burrowlight token-1")
                     .arg(home.filePath(QStringLiteral("documents/a.burrowlight"))));

        Launch plain({app});
        QCOMPARE(plain.exitCode(), 0);
        QCOMPARE(first.nextLine(), QStringLiteral("reopen"));
    }

    // The first instance may be busy with a modal dialog when a file arrives: the later launch has
    // its answer regardless and ends.
    void aBusyFirstInstanceStillLetsTheLaterLaunchGo() {
        const QTemporaryDir home;
        auto claim = SingleInstance::claim(QString::fromLatin1(bundleIdentifier), home.path(), {});
        QVERIFY(std::holds_alternative<std::unique_ptr<SingleInstance>>(claim));
        const auto& instance = std::get<std::unique_ptr<SingleInstance>>(claim);
        QVERIFY(instance->ownsBusName());

        Launch later({home.path(), QStringLiteral("/tmp/x.burrowlight")});
        QStringList received;
        int laterExit = -2;
        connect(instance.get(), &SingleInstance::filesOpened, this, [&](const QStringList& paths) {
            received = paths;
            QEventLoop dialog;
            connect(&later.process(), &QProcess::finished, &dialog, [&] {
                laterExit = later.process().exitCode();
                dialog.quit();
            });
            dialog.exec();
        });
        QTRY_COMPARE_WITH_TIMEOUT(laterExit, 0, 30'000);
        QCOMPARE(received, QStringList{QStringLiteral("/tmp/x.burrowlight")});
    }

    void withoutASessionBusTheLockAloneKeepsOneInstance() {
        const QTemporaryDir home;
        const auto busless = environmentWith(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), noBus);
        Launch first({home.path()}, QString(), busless);
        QCOMPARE(first.nextLine(), QStringLiteral("primary lock-only"));

        Launch alsoBusless({home.path()}, QString(), busless);
        QVERIFY(alsoBusless.nextLine().startsWith(QStringLiteral("error alreadyRunning")));
        QCOMPARE(alsoBusless.exitCode(), 1);

        // On the bus it can take the name, but the lock says another instance runs: it gives both up.
        Launch onTheBus({home.path(), QStringLiteral("/tmp/x.burrowlight")});
        QVERIFY(onTheBus.nextLine().startsWith(QStringLiteral("error alreadyRunning")));
        QCOMPARE(onTheBus.exitCode(), 1);
        QVERIFY(!nameIsTaken());
    }

    void aKilledFirstInstanceLeavesNothingBehind() {
        const QTemporaryDir home;
        {
            Launch first({home.path()});
            QCOMPARE(first.nextLine(), QStringLiteral("primary bus"));
            first.process().kill();
            QVERIFY(first.process().waitForFinished());
        }
        QTRY_VERIFY(!nameIsTaken());
        Launch next({home.path()});
        QCOMPARE(next.nextLine(), QStringLiteral("primary bus"));
    }

    void anUnusableFolderIsAnErrorAndFreesTheName() {
        const QTemporaryDir home;
        QFile file(home.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const auto claim = SingleInstance::claim(QString::fromLatin1(bundleIdentifier),
                                                 home.filePath(QStringLiteral("file/app")), {});
        const auto* error = std::get_if<InstanceError>(&claim);
        QVERIFY(error);
        QCOMPARE(error->kind, InstanceError::Kind::lockFailed);
        QVERIFY(error->detail.startsWith(home.filePath(QStringLiteral("file/app/instance.lock"))));
        QVERIFY(!nameIsTaken());
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTests)
#include "SingleInstanceTests.moc"
