#include "Burrowlight/Widgets/MainWindow/SidebarPane.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QMenu>
#include <QPainter>

namespace burrowlight {

namespace {

int inset() {
    return sizes::scaled(8);
}
int iconSize() {
    return sizes::scaled(16);
}

bool isHeader(const QModelIndex& index) {
    return index.data(SidebarModel::HeaderRole).toBool();
}

QFont headerFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 0.85);
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

QSize SidebarDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (isHeader(index)) {
        return {0, QFontMetrics(headerFont(option.font)).height() + 18};
    }
    return {0, std::max(30, option.fontMetrics.height() + 12)};
}

void SidebarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QPalette& palette = option.palette;
    const QRect row = option.rect.adjusted(inset(), 1, -inset(), -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (isHeader(index)) {
        painter->setFont(headerFont(option.font));
        painter->setPen(look::secondary(palette));
        painter->drawText(row.adjusted(8, 0, -8, -3), Qt::AlignLeft | Qt::AlignBottom,
                          index.data().toString());
        painter->restore();
        return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = selected && option.widget && option.widget->hasFocus();
    if (selected) {
        QColor fill = tolvanAccent(palette);
        fill.setAlphaF(focused ? 1.0 : 0.16);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawRoundedRect(QRectF(row), 6, 6);
    }
    const QColor text = focused ? tolvanOnAccent(palette) : palette.color(QPalette::WindowText);
    const QColor symbolColor = focused ? text : tolvanAccent(palette);
    const QRect icon(row.left() + 8, row.center().y() - iconSize() / 2 + 1, iconSize(), iconSize());
    painter->drawPixmap(icon, look::symbol(index.data(SidebarModel::SymbolRole).toString(), symbolColor,
                                           iconSize(), painter->device()->devicePixelRatioF()));
    const QString count = QString::number(index.data(SidebarModel::CountRole).toInt());
    const int countWidth = option.fontMetrics.horizontalAdvance(count);
    const QRect countRect(row.right() - 8 - countWidth, row.top(), countWidth, row.height());
    QColor faded = text;
    faded.setAlphaF(0.62);
    painter->setPen(faded);
    painter->setFont(option.font);
    painter->drawText(countRect, Qt::AlignRight | Qt::AlignVCenter, count);
    const QRect title(icon.right() + 9, row.top(), countRect.left() - 8 - icon.right() - 9, row.height());
    painter->setPen(text);
    painter->drawText(title, Qt::AlignLeft | Qt::AlignVCenter,
                      look::elided(option.fontMetrics, index.data().toString(), title.width()));
    painter->restore();
}

SidebarPane::SidebarPane(MainWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto& sidebar = model_.sidebar();
    // As in the list: rows coming and going are not the user's choice.
    const auto changing = [this] { following_ = true; };
    connect(&sidebar, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
    connect(&sidebar, &QAbstractItemModel::rowsAboutToBeInserted, this, changing);
    connect(&sidebar, &QAbstractItemModel::rowsAboutToBeMoved, this, changing);
    view_.setModel(&sidebar);
    const auto changed = [this] {
        following_ = false;
        showChoice();
    };
    connect(&sidebar, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&sidebar, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&sidebar, &QAbstractItemModel::rowsMoved, this, changed);
    view_.setItemDelegate(&delegate_);
    view_.setSelectionMode(QAbstractItemView::SingleSelection);
    view_.setFrameShape(QFrame::NoFrame);
    view_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    view_.setAccessibleName(MainWindowTexts::groupsAccessibleName());
    connect(view_.selectionModel(), &QItemSelectionModel::selectionChanged, this, &SidebarPane::userChose);
    connect(&view_, &QWidget::customContextMenuRequested, this, &SidebarPane::openMenu);
    connect(&model_.state(), &MainWindowState::sidebarChanged, this, &SidebarPane::showChoice);

    footerName_.setText(appDisplayName());
    footerLayout_.setContentsMargins(sizes::scaled(QMargins(16, 16, 16, 16)));
    footerLayout_.setSpacing(sizes::scaled(6));
    footerLayout_.addWidget(&footerIcon_);
    footerLayout_.addWidget(&footerName_);
    footerLayout_.addStretch();
    layout_.setContentsMargins(sizes::scaled(QMargins(0, 8, 0, 0)));
    layout_.setSpacing(0);
    layout_.addWidget(&view_, 1);
    layout_.addWidget(&footer_);
    applyPalette();
    showChoice();
}

void SidebarPane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyPalette();
    }
}

void SidebarPane::applyPalette() {
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    setPalette(palette);
    view_.setPalette(palette);
    setAutoFillBackground(true);
    makeSecondary(footerName_);
    QFont font = footerName_.font();
    font.setPointSizeF(QGuiApplication::font().pointSizeF() * 0.92);
    footerName_.setFont(font);
    footerIcon_.setPixmap(tintedPixmap(QIcon(QStringLiteral(":/icons/BurrowlightMenuIcon.svg")),
                                       look::secondary(palette), QSize(18, 18), devicePixelRatioF()));
}

void SidebarPane::userChose() {
    if (following_) {
        return;
    }
    const QModelIndexList chosen = view_.selectionModel()->selectedIndexes();
    if (!chosen.isEmpty()) {
        model_.state().setSidebar(model_.sidebar().itemAt(chosen.front()));
    }
}

// The window's item, or no row when it names a tag that is gone.
void SidebarPane::showChoice() {
    following_ = true;
    const auto& item = model_.state().sidebar();
    const QModelIndex index = item ? model_.sidebar().indexOf(*item) : QModelIndex();
    if (index.isValid()) {
        view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        view_.selectionModel()->clearSelection();
    }
    following_ = false;
}

void SidebarPane::fillTagMenu(QMenu& menu, const std::string& tag) {
    look::fill(menu, model_.tagRowMenu(tag));
}

void SidebarPane::openMenu(const QPoint& position) {
    const auto item = model_.sidebar().itemAt(view_.indexAt(position));
    if (!item || item->kind != SidebarItem::Kind::tag) {
        return;
    }
    QMenu menu(this);
    fillTagMenu(menu, item->tag);
    menu.exec(view_.viewport()->mapToGlobal(position));
}

} // namespace burrowlight
