#pragma once

#include <QByteArray>
#include <QString>

namespace burrowlight {

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

} // namespace burrowlight
