#include "Burrowlight/Core/AppIdentity.h"

#include "Burrowlight/Core/AppIdentityConfig.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/Text.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QSaveFile>

namespace burrowlight {

QIcon appIcon() {
    return QIcon(QStringLiteral(":/icons/burrowlight.svg"));
}

QIcon trayIcon() {
    return QIcon(QStringLiteral(":/icons/BurrowlightMenuIcon.svg"));
}

QString appDisplayName() {
    const QString name = QStringLiteral(BURROWLIGHT_DISPLAY_NAME);
    return name.isEmpty() ? QStringLiteral("Burrowlight") : name;
}

QString composeVersion(const QString& shortVersion, const QString& buildVersion) {
    return (shortVersion.isEmpty() ? QStringLiteral("0.0.0") : shortVersion) + QStringLiteral(" (") +
           (buildVersion.isEmpty() ? QStringLiteral("0") : buildVersion) + QStringLiteral(")");
}

QString appVersion() {
    return composeVersion(QStringLiteral(BURROWLIGHT_SHORT_VERSION),
                          QStringLiteral(BURROWLIGHT_BUILD_VERSION));
}

std::unique_ptr<QSettings> openAppSettings() {
    return std::make_unique<QSettings>(QString::fromLatin1(bundleIdentifier), QStringLiteral("burrowlight"));
}

bool currentTermsAccepted(const QSettings& settings) {
    const QVariant stored = settings.value(QStringLiteral("termsAcceptedVersion"));
    return stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String(currentTermsVersion);
}

bool currentTermsAccepted() {
    return currentTermsAccepted(*openAppSettings());
}

ExportFile ExportFile::read(const QString& path) {
    ExportFile file;
    QFile source(path);
    if (QFileInfo(path).isFile() && source.open(QIODevice::ReadOnly)) {
        file.data = source.readAll();
    }
    return file;
}

bool ExportFile::write(const QString& path, QString* error) const {
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(data) != data.size() || !target.commit()) {
        if (error) {
            *error = target.errorString();
        }
        return false;
    }
    return true;
}

QString sshVersion(const std::string& executable) {
    tunnelkit::ChildProcessRequest request;
    request.executable = executable;
    request.arguments = {"-V"};
    // ssh -V writes to standard error; one pipe takes both. The runner reads to the end before it
    // reaps, so a large output cannot stall it.
    request.errorOutput = tunnelkit::ErrorOutput::joined;
    const auto result = tunnelkit::runChildProcess(request);
    if (!result) {
        return QStringLiteral("?");
    }
    return QString::fromStdString(
        tunnelkit::text::trimBlanksAndLineBreaks(tunnelkit::decodeUTF8(result->output)));
}

} // namespace burrowlight
