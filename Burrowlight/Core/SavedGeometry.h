#pragma once

#include <QByteArray>
#include <QRect>
#include <optional>

namespace burrowlight {

// What QWidget::saveGeometry() wrote, as far as it is used: the window's place in its normal state,
// and whether it was maximised or full screen. The screen it was saved on is not: the place is
// brought within the screen the window opens on, whatever its size.
struct SavedGeometry {
    QRect normal;
    Qt::WindowStates state;
};

// Any version of Qt's format that Qt reads, field by field; none for bytes that are not, or for a
// later version, which Qt refuses too.
std::optional<SavedGeometry> readSavedGeometry(const QByteArray& geometry);

// Qt's value with `normal` as the window's place in its normal state; bytes that are not Qt's as
// they are.
QByteArray withNormalPlace(QByteArray geometry, const QRect& normal);

} // namespace burrowlight
