#include "Burrowlight/Core/SavedGeometry.h"

#include <QBuffer>
#include <QDataStream>

namespace burrowlight {

namespace {

constexpr quint32 qtGeometryMark = 0x1D9D0CB;
// The version Qt 5.12 and later write.
constexpr quint16 latestMajorVersion = 3;
// The mark, the two version numbers and the frame come first in every version.
constexpr qint64 normalPlaceOffset = 4 + 2 + 2 + 4 * 4;

} // namespace

// Read here rather than by restoreGeometry(), which applies a value before anything can check it: a
// window would be made as large as the value says, or left maximised at a size of its own. The
// versions differ only after the fields read here.
std::optional<SavedGeometry> readSavedGeometry(const QByteArray& geometry) {
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 mark = 0;
    quint16 majorVersion = 0;
    quint16 minorVersion = 0;
    QRect frame;
    QRect normal;
    qint32 screenNumber = 0;
    quint8 maximized = 0;
    quint8 fullScreen = 0;
    stream >> mark >> majorVersion >> minorVersion >> frame >> normal >> screenNumber >> maximized >>
        fullScreen;
    if (stream.status() != QDataStream::Ok || mark != qtGeometryMark || majorVersion > latestMajorVersion) {
        return std::nullopt;
    }
    Qt::WindowStates state;
    state.setFlag(Qt::WindowMaximized, maximized != 0);
    state.setFlag(Qt::WindowFullScreen, fullScreen != 0);
    return SavedGeometry{normal, state};
}

QByteArray withNormalPlace(QByteArray geometry, const QRect& normal) {
    if (!readSavedGeometry(geometry)) {
        return geometry;
    }
    QBuffer buffer(&geometry);
    buffer.open(QIODevice::ReadWrite);
    buffer.seek(normalPlaceOffset);
    QDataStream stream(&buffer);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << normal;
    return geometry;
}

} // namespace burrowlight
