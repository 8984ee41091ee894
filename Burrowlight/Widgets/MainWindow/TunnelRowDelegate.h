#pragma once

#include "Burrowlight/Widgets/MainWindow/StatusDot.h"
#include "TunnelKit/Identifiers.h"

#include <QStyledItemDelegate>
#include <functional>

namespace burrowlight {

// Paints the list's rows: the state dot, the title with the pinned and unsaved marks, the deletion
// time or "not saved yet" beneath it, and the on/off switch; a click on the switch flips it
// without selecting the row.
class TunnelRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Where the parts of one row go.
    struct Geometry {
        QRect background;
        QRect dot;
        QRect text;
        QRect title;
        QRect pin;
        QRect edited;
        QRect subtitle;
        // Empty for rows without a switch.
        QRect toggle;
    };

    TunnelRowDelegate(const StatusPulse& pulse, QObject* parent = nullptr);

    Geometry geometry(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  signals:
    // The row's switch was flipped.
    void toggled(const tunnelkit::Uuid& id);

  private:
    void paintSaved(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                    const Geometry& geometry, const QColor& text) const;
    void paintTexts(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                    const Geometry& geometry, const QColor& text) const;

    const StatusPulse& pulse_;
};

} // namespace burrowlight
