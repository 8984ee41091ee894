#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QRect>
#include <optional>

namespace testing_support {

constexpr quint32 qtGeometryMark = 0x1D9D0CB;

// A window's geometry as QWidget::saveGeometry() writes it on a screen `screenWidth` wide: `normal`
// its place in the normal state, and whether it was maximised or full screen. Version 3 is Qt 6's;
// Qt 5 wrote 2 (no shown place) and Qt 4 wrote 1 and 0 (no screen width either).
inline QByteArray savedWindowGeometry(const QRect& normal, bool maximized, int screenWidth,
                                      quint16 majorVersion = 3, bool fullScreen = false) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << qtGeometryMark << majorVersion << quint16(0) << normal << normal << qint32(0)
           << quint8(maximized) << quint8(fullScreen);
    if (majorVersion > 1) {
        stream << qint32(screenWidth);
    }
    if (majorVersion > 2) {
        stream << normal;
    }
    return bytes;
}

// The place in the normal state that a geometry the application stored holds, read here rather than
// by the application's own reader, which would misread it the same way on both sides.
inline std::optional<QRect> savedNormalGeometry(const QByteArray& geometry) {
    // The mark, two version numbers and the frame stand before it in every version.
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 mark = 0;
    stream >> mark;
    QRect normal;
    if (stream.skipRawData(2 + 2 + 4 * 4) < 0 || (stream >> normal).status() != QDataStream::Ok ||
        mark != qtGeometryMark) {
        return std::nullopt;
    }
    return normal;
}

} // namespace testing_support
