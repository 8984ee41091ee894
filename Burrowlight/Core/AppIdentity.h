#pragma once

#include <QByteArray>
#include <QIcon>
#include <QSettings>
#include <QString>
#include <memory>
#include <string>

namespace burrowlight {

inline constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";
// The version of the terms of use the application currently shows.
inline constexpr const char* currentTermsVersion = "2026-11-19.2";

QString appDisplayName();
// The application's icon and the tray's, from the resources compiled into the program.
QIcon appIcon();
QIcon trayIcon();
// "SHORT (BUILD)", falling back to 0.0.0 and 0 for parts the build did not name.
QString appVersion();
QString composeVersion(const QString& shortVersion, const QString& buildVersion);

// The application's own settings store, under the bundle identifier.
std::unique_ptr<QSettings> openAppSettings();

bool currentTermsAccepted(const QSettings& settings);
bool currentTermsAccepted();

// One encoded tunnel archive on its way through an open or save dialog.
struct ExportFile {
    static constexpr const char* fileExtension = "burrowlight";
    static constexpr const char* mimeType = "application/x-burrowlight-tunnels";

    QByteArray data;
    QString name;

    // The file's contents, or empty data when it cannot be read (the import then fails to decode).
    static ExportFile read(const QString& path);
    bool write(const QString& path, QString* error = nullptr) const;
};

// The installed ssh's version line, or "?" when it cannot be started. Blocks while ssh runs:
// call it off the GUI thread.
QString sshVersion(const std::string& executable = "/usr/bin/ssh");

} // namespace burrowlight
