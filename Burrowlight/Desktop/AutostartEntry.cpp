#include "Burrowlight/Desktop/AutostartEntry.h"

#include "Platform/Folders.h"
#include "Platform/LinuxProcessTable.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstring>

namespace burrowlight {

namespace {

QString fromOptional(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QString();
}

// The escapes every string value of a desktop entry takes.
QString escapedValue(QString value) {
    return value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"))
        .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
}

bool isTrue(const QString& value) {
    return value == QLatin1String("true");
}

// The keys of the [Desktop Entry] group, as written (their escapes are of no matter here).
QHash<QString, QString> desktopEntryKeys(const QByteArray& contents) {
    QHash<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
        } else if (inGroup && !line.startsWith(QLatin1Char('#'))) {
            const auto equals = line.indexOf(QLatin1Char('='));
            if (equals > 0) {
                keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
            }
        }
    }
    return keys;
}

} // namespace

AutostartEntry::AutostartEntry(const QString& bundleIdentifier)
    : AutostartEntry(fromOptional(platform::folders::autostartEntryPath(bundleIdentifier.toStdString())),
                     fromOptional(platform::processes::ownExecutablePath())) {}

AutostartEntry::AutostartEntry(QString path, QString executable)
    : path_(std::move(path)), executable_(std::move(executable)) {}

bool AutostartEntry::isEnabled() const {
    QFile file(path_);
    if (path_.isEmpty() || !QFileInfo(path_).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const auto keys = desktopEntryKeys(file.readAll());
    return !isTrue(keys.value(QStringLiteral("Hidden"))) &&
           keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

std::expected<void, AutostartError> AutostartEntry::setEnabled(bool enabled) const {
    if (path_.isEmpty()) {
        return std::unexpected(AutostartError{AutostartError::Operation::locate, path_, QString()});
    }
    return enabled ? write() : remove();
}

QString AutostartEntry::execValue(const QString& executable) {
    QString quoted = QStringLiteral("\"");
    for (const QChar character : executable) {
        if (QStringView(u"\"`$\\").contains(character)) {
            quoted += QLatin1Char('\\');
        }
        quoted += character;
    }
    quoted += QLatin1Char('"');
    return escapedValue(quoted.replace(QLatin1Char('%'), QStringLiteral("%%")));
}

std::expected<void, AutostartError> AutostartEntry::write() const {
    using Operation = AutostartError::Operation;
    if (executable_.isEmpty()) {
        return std::unexpected(AutostartError{Operation::locate, path_, QString()});
    }
    const QString folder = QFileInfo(path_).absolutePath();
    if (const int code = platform::folders::createPrivateFolders(folder.toStdString()); code != 0) {
        return std::unexpected(
            AutostartError{Operation::write, folder, QString::fromLocal8Bit(std::strerror(code))});
    }
    const QString contents = QStringLiteral("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=%1\n"
                                            "Exec=%2\n"
                                            "Icon=%3\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n")
                                 .arg(escapedValue(QGuiApplication::applicationDisplayName()),
                                      execValue(executable_), QFileInfo(path_).completeBaseName());
    QSaveFile file(path_);
    const QByteArray bytes = contents.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return std::unexpected(AutostartError{Operation::write, path_, file.errorString()});
    }
    return {};
}

std::expected<void, AutostartError> AutostartEntry::remove() const {
    QFile file(path_);
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink()) {
        return {};
    }
    if (!file.remove()) {
        return std::unexpected(AutostartError{AutostartError::Operation::remove, path_, file.errorString()});
    }
    return {};
}

} // namespace burrowlight
