#include "Burrowlight/Core/ExportFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace burrowlight {

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

} // namespace burrowlight
