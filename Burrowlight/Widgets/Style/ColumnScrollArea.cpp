#include "Burrowlight/Widgets/Style/ColumnScrollArea.h"

#include <QEvent>
#include <QScrollBar>

namespace burrowlight {

ColumnScrollArea::ColumnScrollArea(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
}

void ColumnScrollArea::setColumn(QWidget& column) {
    setWidget(&column);
    column.installEventFilter(this);
}

QSize ColumnScrollArea::minimumSizeHint() const {
    QSize least = QScrollArea::minimumSizeHint();
    if (const QWidget* column = widget()) {
        const int scrollBar =
            verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff ? 0 : verticalScrollBar()->sizeHint().width();
        least.setWidth(
            std::max(least.width(), column->minimumSizeHint().width() + scrollBar + 2 * frameWidth()));
    }
    return least;
}

bool ColumnScrollArea::eventFilter(QObject* watched, QEvent* event) {
    // The column's least width changed: so did ours, which a scroll area would otherwise keep to itself.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

} // namespace burrowlight
