#include "Burrowlight/Models/FileChoice.h"

#include "Burrowlight/Core/AppIdentity.h"

#include <QDir>

namespace burrowlight {

FileChoice FileChoice::existingKey(const QString& homeDirectory) {
    return {false, QDir(homeDirectory).filePath(QStringLiteral(".ssh")), {}};
}

FileChoice FileChoice::newLog(const QString& homeDirectory) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) {
        state = QDir(homeDirectory).filePath(QStringLiteral(".local/state"));
    }
    return {true, QDir(state).filePath(QString::fromLatin1(bundleIdentifier)), QStringLiteral("tunnel.log")};
}

QString storedPath(const QString& chosen, const QString& homeDirectory) {
    const QString home = QDir::cleanPath(homeDirectory);
    const QString prefix = home + QLatin1Char('/');
    if (!home.isEmpty() && home != QLatin1String("/") && chosen.startsWith(prefix)) {
        return QStringLiteral("~/") + chosen.mid(prefix.size());
    }
    return chosen;
}

std::optional<std::string> pathFromText(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text.toStdString();
}

} // namespace burrowlight
