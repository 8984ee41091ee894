#include "Burrowlight/Desktop/FileManager.h"

#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/DBusReplies.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace burrowlight {

void revealInFileManager(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)} << QString();
    callAsync(
        QDBusConnection::sessionBus(), call, QCoreApplication::instance(),
        [absolute](const QDBusMessage& answer) {
            if (answer.type() != QDBusMessage::ErrorMessage) {
                return;
            }
            const QString folder = QFileInfo(absolute).absolutePath();
            if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) {
                AppLog::app().write(
                    QStringLiteral("No file manager shows %1 (%2)").arg(absolute, answer.errorMessage()));
            }
        });
}

} // namespace burrowlight
