#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Desktop/AutostartEntry.h"
#include "PrivateBuses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace burrowlight;

namespace {

void writeFile(const QString& path, const QByteArray& contents, QFile::Permissions permissions = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    if (permissions) {
        file.setPermissions(permissions);
    }
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class AutostartEntryTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void switchesInTheConfigHomeForThisExecutable() {
        const AutostartEntry entry(QString::fromLatin1(bundleIdentifier));
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        QCOMPARE(entry.path(), configHome + QStringLiteral("/autostart/com.tolvan.burrowlight.desktop"));
        QVERIFY(!entry.isEnabled());

        QVERIFY(entry.setEnabled(true));
        QVERIFY(entry.isEnabled());
        QCOMPARE(modeOf(configHome + QStringLiteral("/autostart")), mode_t(0700));
        const QString executable = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
        const QStringList lines = QString::fromUtf8(readFile(entry.path())).split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
        QVERIFY(lines.contains(QStringLiteral("Exec=") + AutostartEntry::execValue(executable)));
        QVERIFY(lines.contains(QStringLiteral("Type=Application")));

        QVERIFY(entry.setEnabled(false));
        QVERIFY(!entry.isEnabled());
        QVERIFY(!QFileInfo::exists(entry.path()));
        QVERIFY(entry.setEnabled(false)); // already off
    }

    void desktopsThatTurnItOffAreHeard() {
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("entry.desktop"));
        const AutostartEntry entry(path, QStringLiteral("/usr/bin/burrowlight"));
        const QByteArray start = "[Desktop Entry]\nType=Application\nExec=burrowlight\n";
        writeFile(path, start + "Hidden=true\n");
        QVERIFY(!entry.isEnabled());
        writeFile(path, start + "X-GNOME-Autostart-enabled=false\n");
        QVERIFY(!entry.isEnabled());
        writeFile(path, start + "[Desktop Action x]\nHidden=true\n");
        QVERIFY(entry.isEnabled());
    }

    // GLib's desktop-entry parser, as GNOME's session uses it, starts the entry's program.
    void aRealLauncherStartsTheNamedExecutable() {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty()) {
            QSKIP("gio (libglib2.0-bin) is not installed");
        }
        const QTemporaryDir folder;
        const QString odd = folder.filePath(QStringLiteral("it's \"a\" $HOME `x` \\ back"));
        const QString program = odd + QStringLiteral("/burrowlight");
        const QString marker = folder.filePath(QStringLiteral("started"));
        writeFile(program, "#!/bin/sh\nprintf '%s' \"$0\" > '" + marker.toUtf8() + "'\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const AutostartEntry entry(folder.filePath(QStringLiteral("autostart/entry.desktop")), program);
        QVERIFY(entry.setEnabled(true));

        QCOMPARE(QProcess::execute(gio, {QStringLiteral("launch"), entry.path()}), 0);
        QTRY_COMPARE(QString::fromUtf8(readFile(marker)), program);
        // GLib looks for an executable with "%" in its name without undoubling it first, so that one
        // case is checked as text: the field-code escape the format asks for.
        QCOMPARE(AutostartEntry::execValue(QStringLiteral("/opt/100%/b")),
                 QStringLiteral("\"/opt/100%%/b\""));
    }

    void failuresSayWhatAndWhere() {
        const QTemporaryDir folder;
        const auto noHome =
            AutostartEntry(QString(), QStringLiteral("/usr/bin/burrowlight")).setEnabled(true);
        QVERIFY(!noHome);
        QCOMPARE(noHome.error().operation, AutostartError::Operation::locate);

        writeFile(folder.filePath(QStringLiteral("file")), "not a folder");
        const auto write = AutostartEntry(folder.filePath(QStringLiteral("file/autostart/entry.desktop")),
                                          QStringLiteral("/usr/bin/burrowlight"))
                               .setEnabled(true);
        QVERIFY(!write);
        QCOMPARE(write.error().operation, AutostartError::Operation::write);
        QCOMPARE(write.error().path, folder.filePath(QStringLiteral("file/autostart")));
        QVERIFY(!write.error().reason.isEmpty());

        writeFile(folder.filePath(QStringLiteral("taken/entry.desktop/inside")),
                  "a folder where the entry goes");
        const AutostartEntry inTheWay(folder.filePath(QStringLiteral("taken/entry.desktop")),
                                      QStringLiteral("/usr/bin/burrowlight"));
        QVERIFY(!inTheWay.isEnabled());
        const auto remove = inTheWay.setEnabled(false);
        QVERIFY(!remove);
        QCOMPARE(remove.error().operation, AutostartError::Operation::remove);
        QCOMPARE(remove.error().path, inTheWay.path());
    }
};

QTEST_GUILESS_MAIN(AutostartEntryTests)
#include "AutostartEntryTests.moc"
