#include "Burrowlight/Widgets/MainWindow/TunnelListPane.h"

#include "Burrowlight/Widgets/MainWindow/TunnelListAccessible.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QScrollBar>
#include <utility>

namespace burrowlight {

using tunnelkit::TunnelState;
using tunnelkit::Uuid;

TunnelListView::TunnelListView(QWidget* parent) : QListView(parent) {
    installTunnelListAccessibility();
}

void TunnelListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    // The trash's note wraps to the column: its row is measured again when the column's width changes.
    if (event->size().width() != event->oldSize().width()) {
        scheduleDelayedItemsLayout();
    }
}

void TunnelListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        emit deletePressed();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit openPressed();
        return;
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier) {
            emit toggleRequested(currentIndex());
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

TunnelListPane::TunnelListPane(MainWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto& list = model_.list();
    // Rows inserted, removed or moved are not the user selecting: the flag is up from before the
    // view's selection model hears of the change until after it is done with it.
    const auto changing = [this] { following_ = true; };
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
    connect(&list, &QAbstractItemModel::rowsAboutToBeInserted, this, changing);
    connect(&list, &QAbstractItemModel::rowsAboutToBeMoved, this, changing);
    view_.setModel(&list);
    // A refresh inserts a run of rows between each two kept ones: following each run would lay the
    // whole list out again each time, minutes for an archive of thousands imported among others.
    connect(&list, &QAbstractItemModel::rowsRemoved, this, [this] {
        following_ = false;
        followRows();
    });
    connect(&list, &QAbstractItemModel::rowsInserted, this, [this] {
        following_ = false;
        rowsInserted_ = true;
        followRows();
    });
    connect(&list, &QAbstractItemModel::rowsMoved, this, [this] {
        following_ = false;
        followRows();
    });
    connect(&list, &QAbstractItemModel::dataChanged, this, &TunnelListPane::followRows);
    connect(&list, &TunnelListModel::refreshed, this, &TunnelListPane::followRows);
    view_.setItemDelegate(&delegate_);
    view_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_.setFrameShape(QFrame::NoFrame);
    view_.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    view_.setSpacing(0);
    view_.setAccessibleName(MainWindowTexts::tunnelsAccessibleName());
    connect(view_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TunnelListPane::userSelected);
    connect(&view_, &QAbstractItemView::doubleClicked, this, [this] { model_.openRows(selectedRows()); });
    connect(&view_, &TunnelListView::openPressed, this, [this] { model_.openRows(selectedRows()); });
    connect(&view_, &TunnelListView::deletePressed, &model_, &MainWindowModel::deleteSelection);
    connect(&view_, &TunnelListView::toggleRequested, this, [this](const QModelIndex& row) {
        if (const auto toggle = model_.list().rowSwitch(row); toggle && toggle->isEnabled) {
            model_.toggle(row.data(TunnelListModel::IdRole).value<Uuid>());
        }
    });
    connect(&view_, &QWidget::customContextMenuRequested, this, &TunnelListPane::openContextMenu);
    connect(view_.verticalScrollBar(), &QScrollBar::valueChanged, this, &TunnelListPane::updatePulse);
    connect(&delegate_, &TunnelRowDelegate::toggled, &model_, &MainWindowModel::toggle);
    connect(&pulse_, &QVariantAnimation::valueChanged, this, &TunnelListPane::pulseStep);

    connect(&model_.state(), &MainWindowState::selectionChanged, this, &TunnelListPane::showSelection);
    connect(&model_.state(), &MainWindowState::sidebarChanged, this,
            [this] { title_.setFullText(model_.list().title()); });
    connect(&list, &TunnelListModel::emptyStateChanged, this, &TunnelListPane::showEmptyState);

    title_.setFullText(list.title());
    QFont font = title_.font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    font.setWeight(QFont::Bold);
    title_.setFont(font);
    title_.setContentsMargins(sizes::scaled(QMargins(18, 14, 18, 8)));
    stack_.addWidget(&view_);
    stack_.addWidget(&empty_);
    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&title_);
    layout_.addWidget(&body_, 1);
    applyPalette();
    showEmptyState();
    showSelection();
}

void TunnelListPane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyPalette();
    }
}

void TunnelListPane::applyPalette() {
    look::onSurface(*this);
    look::onSurface(view_);
    look::onSurface(empty_);
}

TunnelIds TunnelListPane::selectedRows() const {
    TunnelIds ids;
    for (const QModelIndex& index : view_.selectionModel()->selectedIndexes()) {
        if (const QVariant id = index.data(TunnelListModel::IdRole); id.isValid()) {
            ids.insert(id.value<Uuid>());
        }
    }
    return ids;
}

void TunnelListPane::userSelected() {
    if (!following_) {
        model_.state().setSelection(selectedRows());
    }
}

void TunnelListPane::showSelection() {
    following_ = true;
    QItemSelection selection;
    QModelIndex last;
    for (const auto& id : model_.state().selection()) {
        if (const auto row = model_.list().rowOf(id)) {
            last = model_.list().index(*row);
            selection.select(last, last);
        }
    }
    view_.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (last.isValid() && !view_.selectionModel()->isSelected(view_.currentIndex())) {
        view_.selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
    }
    if (model_.state().selection().size() == 1 && last.isValid()) {
        view_.scrollTo(last);
    }
    following_ = false;
}

void TunnelListPane::showEmptyState() {
    const auto& state = model_.list().emptyState();
    if (!state) {
        stack_.setCurrentWidget(&view_);
        return;
    }
    empty_.show(state->symbol, state->title, state->description);
    empty_.clearButtons();
    if (state->offersImport) {
        connect(&empty_.addButton(MainWindowTexts::importFromSSHConfig()), &QPushButton::clicked, this,
                [this] { model_.actions().importConfig(); });
        connect(&empty_.addButton(MainWindowTexts::importFile()), &QPushButton::clicked, this,
                [this] { model_.actions().importFile(); });
    }
    stack_.setCurrentWidget(&empty_);
}

void TunnelListPane::fillContextMenu(QMenu& menu, const TunnelIds& rows) {
    look::fill(menu, model_.contextMenu(rows));
}

void TunnelListPane::openContextMenu(const QPoint& position) {
    QModelIndex index = view_.indexAt(position);
    QPoint at = position;
    if (!index.isValid() && view_.hasFocus() && view_.selectionModel()->isSelected(view_.currentIndex())) {
        index = view_.currentIndex();
        at = view_.visualRect(index).center();
    }
    if (!index.isValid()) {
        return;
    }
    TunnelIds rows;
    if (view_.selectionModel()->isSelected(index)) {
        rows = selectedRows();
    } else if (const QVariant id = index.data(TunnelListModel::IdRole); id.isValid()) {
        rows.insert(id.value<Uuid>());
    }
    QMenu menu(this);
    fillContextMenu(menu, rows);
    if (!menu.isEmpty()) {
        menu.exec(view_.viewport()->mapToGlobal(at));
    }
}

void TunnelListPane::followRows() {
    if (model_.list().isRefreshing()) {
        return;
    }
    if (std::exchange(rowsInserted_, false)) {
        showSelection();
    }
    updatePulse();
}

// Only rows in sight can pulse; the animation stops when none of them is connecting.
void TunnelListPane::updatePulse() {
    bool connecting = false;
    const QRect visible = view_.viewport()->rect();
    for (QModelIndex index = view_.indexAt(visible.topLeft() + QPoint(1, 1)); index.isValid() && !connecting;
         index = index.siblingAtRow(index.row() + 1)) {
        if (!view_.visualRect(index).intersects(visible)) {
            break;
        }
        connecting =
            index.data(TunnelListModel::StateRole).value<TunnelState>().is<TunnelState::Connecting>();
    }
    if (connecting && pulse_.state() != QAbstractAnimation::Running) {
        pulse_.start();
    } else if (!connecting && pulse_.state() == QAbstractAnimation::Running) {
        pulse_.stop();
    }
}

void TunnelListPane::pulseStep() {
    const QRect visible = view_.viewport()->rect();
    for (QModelIndex index = view_.indexAt(visible.topLeft() + QPoint(1, 1)); index.isValid();
         index = index.siblingAtRow(index.row() + 1)) {
        const QRect row = view_.visualRect(index);
        if (!row.intersects(visible)) {
            break;
        }
        if (index.data(TunnelListModel::StateRole).value<TunnelState>().is<TunnelState::Connecting>()) {
            view_.viewport()->update(QRect(row.left(), row.top(), 48, row.height()));
        }
    }
}

} // namespace burrowlight
