#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QRect>

namespace testing_support {

// A window's geometry as QWidget::saveGeometry() writes it (version 3.0) on a screen `screenWidth`
// wide: `normal` its place in the normal state, and whether it was maximised.
inline QByteArray savedWindowGeometry(const QRect& normal, bool maximized, int screenWidth) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << normal << normal << qint32(0)
           << quint8(maximized) << quint8(false) << qint32(screenWidth) << normal;
    return bytes;
}

} // namespace testing_support
