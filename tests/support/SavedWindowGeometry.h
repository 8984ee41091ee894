#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QRect>

namespace testing_support {

// A window's geometry as QWidget::saveGeometry() writes it on a screen `screenWidth` wide: `normal`
// its place in the normal state, and whether it was maximised. Version 3 is Qt 6's; Qt 5 wrote 2
// (no shown place) and Qt 4 wrote 1 (no screen width either).
inline QByteArray savedWindowGeometry(const QRect& normal, bool maximized, int screenWidth,
                                      quint16 majorVersion = 3) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << quint32(0x1D9D0CB) << majorVersion << quint16(0) << normal << normal << qint32(0)
           << quint8(maximized) << quint8(false);
    if (majorVersion > 1) {
        stream << qint32(screenWidth);
    }
    if (majorVersion > 2) {
        stream << normal;
    }
    return bytes;
}

} // namespace testing_support
