#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Core/QtMainQueue.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace burrowlight;
using tunnelkit::SSHCommandBuilder;

namespace {

// ssh that reads none of the user's files.
SSHCommandBuilder isolatedSsh(const std::string& executable = SSHCommandBuilder::defaultExecutable) {
    return SSHCommandBuilder(executable, false, "/nonexistent");
}

tunnelkit::Tunnel tunnelTo(const std::string& host, bool withForward = false) {
    auto tunnel = tunnelkit::Tunnel::created();
    tunnel.host = host;
    if (withForward) {
        tunnel.forwards = {
            tunnelkit::Forward::make(tunnelkit::Uuid::random(), tunnelkit::Forward::Kind::dynamic, true,
                                     tunnelkit::Endpoint::tcp("localhost", 1080), std::nullopt, "")};
    }
    return tunnel;
}

} // namespace

class ConfigHostsTests : public QObject {
    Q_OBJECT

    std::shared_ptr<QtMainQueue> queue_ = std::make_shared<QtMainQueue>();

  private slots:
    void sshAnswersAndTheSettingOffRemoves() {
        bool readsConfiguration = true;
        ConfigHosts hosts(
            [&]() -> std::optional<SSHCommandBuilder> {
                return readsConfiguration ? std::optional(isolatedSsh()) : std::nullopt;
            },
            queue_);
        QSignalSpy changed(&hosts, &ConfigHosts::hostsChanged);
        bool done = false;
        hosts.resolve("db.example.com", [&] { done = true; });
        QVERIFY(hosts.asked().contains("db.example.com"));
        QTRY_VERIFY(done);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(hosts.host("db.example.com")->hostname, std::string("db.example.com"));

        readsConfiguration = false;
        hosts.resolve("db.example.com");
        QVERIFY(!hosts.host("db.example.com"));
        hosts.resolve("never.example.com");
        QCOMPARE(changed.count(), 3);
        QVERIFY(hosts.asked().contains("never.example.com"));
    }

    void aResetDropsTheAnswersOfEarlierRuns() {
        ConfigHosts hosts([] { return std::optional(isolatedSsh()); }, queue_);
        bool done = false;
        hosts.resolve("db.example.com", [&] { done = true; });
        hosts.reset();
        QCOMPARE(hosts.generation(), 1);
        QVERIFY(hosts.asked().empty());
        QTRY_VERIFY(done);
        QVERIFY(hosts.hosts().empty());
    }

    void resolveAllAsksOneAfterAnotherForTunnelsWithoutForwards() {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("runs.log"));
        const QString script = dir.filePath(QStringLiteral("ssh"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("#!/bin/sh\nfor a; do last=$a; done\necho \"begin $last\" >> '%1'\n"
                           "sleep 0.2\necho \"end $last\" >> '%1'\nprintf 'hostname %s.lan\\n' \"$last\"\n")
                .arg(log)
                .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        ConfigHosts hosts([&] { return std::optional(isolatedSsh(script.toStdString())); }, queue_);
        bool done = false;
        hosts.resolveAll({tunnelTo("a"), tunnelTo("b", true), tunnelTo("c")}, [&] { done = true; });
        QTRY_VERIFY(done);
        QFile runs(log);
        QVERIFY(runs.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(runs.readAll()), QStringLiteral("begin a\nend a\nbegin c\nend c\n"));
        QCOMPARE(hosts.host("c")->hostname, std::string("c.lan"));
        QVERIFY(!hosts.asked().contains("b"));
    }
};

QTEST_GUILESS_MAIN(ConfigHostsTests)
#include "ConfigHostsTests.moc"
