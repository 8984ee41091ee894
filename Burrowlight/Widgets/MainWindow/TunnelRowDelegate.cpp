#include "Burrowlight/Widgets/MainWindow/TunnelRowDelegate.h"

#include "Burrowlight/Models/TunnelListModel.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace burrowlight {

using tunnelkit::TunnelState;
using Kind = TunnelListRow::Kind;

namespace {

// The list is inset from its column's edges; a row's content from the row's.
int inset() {
    return sizes::scaled(8);
}
int leading() {
    return sizes::scaled(10);
}
int trailing() {
    return sizes::scaled(16);
}
int spacing() {
    return sizes::scaled(10);
}
int lineGap() {
    return sizes::scaled(2);
}
QSize toggleSize() {
    return sizes::scaled(QSize(30, 17));
}

Kind kindOf(const QModelIndex& index) {
    return static_cast<Kind>(index.data(TunnelListModel::KindRole).toInt());
}

QFont titleFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::Medium);
    return font;
}

QFont subtitleFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.92);
    return font;
}

bool hasSwitch(const QModelIndex& index) {
    return kindOf(index) == Kind::saved && !index.data(TunnelListModel::InTrashRole).toBool();
}

bool isFocusedSelection(const QStyleOptionViewItem& option) {
    return (option.state & QStyle::State_Selected) && (option.state & QStyle::State_Active) &&
           option.widget && option.widget->hasFocus();
}

// A small switch: a rounded track and a round knob at the end it points to.
void paintToggle(QPainter& painter, const QRect& rect, const RowSwitchLook& look, bool onSelection,
                 const QPalette& palette) {
    const QColor accent = onSelection ? tolvanOnAccent(palette) : tolvanAccent(palette);
    QColor track = accent;
    if (!look.isOn) {
        track = onSelection ? tolvanOnAccent(palette) : palette.color(QPalette::WindowText);
        track.setAlphaF(0.25);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (!look.isEnabled) {
        painter.setOpacity(0.45);
    }
    const qreal radius = rect.height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(track);
    painter.drawRoundedRect(QRectF(rect), radius, radius);
    const qreal knob = rect.height() - 4;
    const qreal x = look.isOn ? rect.right() + 1 - 2 - knob : rect.left() + 2;
    painter.setBrush(look.isOn && onSelection ? tolvanAccent(palette) : QColor(Qt::white));
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.drawEllipse(QRectF(x, rect.top() + 2, knob, knob));
    painter.restore();
}

} // namespace

TunnelRowDelegate::TunnelRowDelegate(const StatusPulse& pulse, QObject* parent)
    : QStyledItemDelegate(parent), pulse_(pulse) {}

TunnelRowDelegate::Geometry TunnelRowDelegate::geometry(const QStyleOptionViewItem& option,
                                                        const QModelIndex& index) const {
    Geometry g;
    g.background = option.rect.adjusted(inset(), 1, -inset(), -1);
    const QRect content = g.background.adjusted(leading(), 0, -trailing(), 0);
    g.dot = QRect(content.left(), content.top(), statusDotWidth, content.height());
    int right = content.right();
    if (hasSwitch(index)) {
        g.toggle = QRect(
            QPoint(right + 1 - toggleSize().width(), content.center().y() - toggleSize().height() / 2 + 1),
            toggleSize());
        right = g.toggle.left() - 8;
    }
    g.text = QRect(QPoint(g.dot.right() + 1 + spacing(), content.top()), QPoint(right, content.bottom()));

    const QFontMetrics titleMetrics(titleFont(option.font));
    const QString subtitle = index.data(TunnelListModel::SubtitleRole).toString();
    const int subtitleHeight =
        subtitle.isEmpty() ? 0 : QFontMetrics(subtitleFont(option.font)).height() + lineGap();
    const int top = g.text.center().y() - (titleMetrics.height() + subtitleHeight) / 2 + 1;
    const int markSize = titleMetrics.height() * 4 / 5;
    int marks = 0;
    if (index.data(TunnelListModel::PinnedRole).toBool()) {
        marks += 4 + markSize;
    }
    if (index.data(TunnelListModel::EditedRole).toBool()) {
        marks += 4 + markSize;
    }
    const int titleRoom = std::max(0, g.text.width() - marks);
    const int titleWidth = std::min(
        titleMetrics.horizontalAdvance(look::enoughToFill(titleMetrics, index.data().toString(), titleRoom)) +
            1,
        titleRoom);
    g.title = QRect(g.text.left(), top, titleWidth, titleMetrics.height());
    int x = g.title.right() + 1;
    const int markTop = g.title.center().y() - markSize / 2 + 1;
    if (index.data(TunnelListModel::PinnedRole).toBool()) {
        g.pin = QRect(x + 4, markTop, markSize, markSize);
        x = g.pin.right() + 1;
    }
    if (index.data(TunnelListModel::EditedRole).toBool()) {
        g.edited = QRect(x + 4, markTop, markSize, markSize);
    }
    if (!subtitle.isEmpty()) {
        g.subtitle = QRect(g.text.left(), g.title.bottom() + 1 + lineGap(), g.text.width(),
                           subtitleHeight - lineGap());
    }
    return g;
}

QSize TunnelRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int title = QFontMetrics(titleFont(option.font)).height();
    const int subtitle = QFontMetrics(subtitleFont(option.font)).height();
    switch (kindOf(index)) {
    case Kind::note: {
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const int width = (view ? view->viewport()->width() : 360) - 2 * (inset() + leading());
        const QRect bounds = QFontMetrics(subtitleFont(option.font))
                                 .boundingRect(QRect(0, 0, std::max(width, 100), 1000), Qt::TextWordWrap,
                                               index.data().toString());
        return {0, bounds.height() + 18};
    }
    case Kind::newTunnel:
        return {0, std::max(44, title + subtitle + lineGap() + 14)};
    case Kind::saved:
        break;
    }
    const bool twoLines = !index.data(TunnelListModel::SubtitleRole).toString().isEmpty();
    return {0, twoLines ? title + subtitle + lineGap() + 14 : std::max(36, title + 16)};
}

void TunnelRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const Geometry g = geometry(option, index);
    const QPalette& palette = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = isFocusedSelection(option);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selected) {
        QColor fill = tolvanAccent(palette);
        if (!focused) {
            fill.setAlphaF(0.16);
        }
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(g.background), 6, 6);
    }
    const QColor text = focused ? tolvanOnAccent(palette) : palette.color(QPalette::Text);
    switch (kindOf(index)) {
    case Kind::note:
        painter->setFont(subtitleFont(option.font));
        painter->setPen(look::secondary(palette));
        painter->drawText(g.background.adjusted(leading(), 8, -leading(), -8),
                          Qt::TextWordWrap | Qt::AlignLeft, index.data().toString());
        break;
    case Kind::newTunnel:
        painter->drawPixmap(g.dot.center().x() - 6 + 1, g.dot.center().y() - 6 + 1,
                            look::symbol(QStringLiteral("pencil.circle.fill"),
                                         focused ? text : tolvanAccent(palette), 12,
                                         painter->device()->devicePixelRatioF()));
        paintTexts(*painter, option, index, g, text);
        break;
    case Kind::saved:
        paintSaved(*painter, option, index, g, text);
        break;
    }
    painter->restore();
}

void TunnelRowDelegate::paintSaved(QPainter& painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, const Geometry& g, const QColor& text) const {
    const auto state = index.data(TunnelListModel::StateRole).value<TunnelState>();
    const StatusDotLook dot = statusDot(state);
    if (!dot.hiddenInRow) {
        paintStatusDot(painter, g.dot, dot, pulse_.phase(), option.palette);
    }
    paintTexts(painter, option, index, g, text);
    const qreal dpr = painter.device()->devicePixelRatioF();
    const bool focused = isFocusedSelection(option);
    if (!g.pin.isEmpty()) {
        painter.drawPixmap(g.pin, look::symbol(QStringLiteral("pin.fill"),
                                               focused ? text : look::secondary(option.palette),
                                               g.pin.width(), dpr));
    }
    if (!g.edited.isEmpty()) {
        painter.drawPixmap(g.edited, look::symbol(QStringLiteral("pencil"),
                                                  focused ? text : tolvanAccent(option.palette),
                                                  g.edited.width(), dpr));
    }
    if (!g.toggle.isEmpty()) {
        paintToggle(painter, g.toggle, TunnelRowTexts::rowSwitch(state), focused, option.palette);
    }
}

void TunnelRowDelegate::paintTexts(QPainter& painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, const Geometry& g, const QColor& text) const {
    const QFont title = titleFont(option.font);
    painter.setFont(title);
    painter.setPen(text);
    const QFontMetrics titleMetrics(title);
    painter.drawText(g.title, Qt::AlignLeft | Qt::AlignVCenter,
                     look::elided(titleMetrics, index.data().toString(), g.title.width()));
    if (!g.subtitle.isEmpty()) {
        const QFont subtitle = subtitleFont(option.font);
        painter.setFont(subtitle);
        QColor faded = text;
        faded.setAlphaF(0.62);
        painter.setPen(faded);
        const QFontMetrics subtitleMetrics(subtitle);
        painter.drawText(g.subtitle, Qt::AlignLeft | Qt::AlignVCenter,
                         look::elided(subtitleMetrics, index.data(TunnelListModel::SubtitleRole).toString(),
                                      g.subtitle.width()));
    }
}

bool TunnelRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if ((press || release) && hasSwitch(index)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            geometry(option, index).toggle.adjusted(-4, -6, 4, 6).contains(mouse->position().toPoint())) {
            const auto state = index.data(TunnelListModel::StateRole).value<TunnelState>();
            if (release && TunnelRowTexts::rowSwitch(state).isEnabled) {
                emit toggled(index.data(TunnelListModel::IdRole).value<tunnelkit::Uuid>());
            }
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TunnelRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || kindOf(index) != Kind::saved) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const Geometry g = geometry(option, index);
    const auto state = index.data(TunnelListModel::StateRole).value<TunnelState>();
    QString tip;
    if (g.dot.contains(event->pos()) && !statusDot(state).hiddenInRow) {
        tip = statusDot(state).toolTip;
    } else if (g.toggle.contains(event->pos())) {
        tip = TunnelRowTexts::rowSwitch(state).toolTip;
    } else if (g.edited.contains(event->pos())) {
        tip = TunnelRowTexts::unsavedChanges();
    } else if (g.pin.contains(event->pos())) {
        tip = TunnelRowTexts::pinned();
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), tip, view);
    return true;
}

} // namespace burrowlight
