#include "Burrowlight/Widgets/MainWindow/TunnelListAccessible.h"

#include "Burrowlight/Models/TunnelListModel.h"
#include "Burrowlight/Widgets/MainWindow/TunnelListPane.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QPointer>
#include <unordered_map>
#include <vector>

namespace burrowlight {

using tunnelkit::Uuid;

namespace {

TunnelListModel* listModel(const QAbstractItemView* view) {
    return view ? qobject_cast<TunnelListModel*>(view->model()) : nullptr;
}

// One row, found again by its key wherever the row has moved; invalid once the row is gone.
class TunnelRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    TunnelRowAccessible(TunnelListView& view, Uuid key) : view_(&view), key_(key) {}

    const TunnelListView* view() const { return view_; }
    QModelIndex index() const {
        const TunnelListModel* model = listModel(view_);
        const auto row = model ? model->rowOf(key_) : std::nullopt;
        return row ? model->index(*row) : QModelIndex();
    }

    bool isValid() const override { return index().isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text type) const override {
        const QModelIndex row = index();
        switch (type) {
        case QAccessible::Name:
            return row.data(Qt::AccessibleTextRole).toString();
        case QAccessible::Description:
            return row.data(Qt::AccessibleDescriptionRole).toString();
        case QAccessible::Value:
            return row.data(TunnelListModel::StateTextRole).toString();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text /*type*/, const QString& /*text*/) override {}

    QRect rect() const override {
        const QModelIndex row = index();
        if (!row.isValid()) {
            return {};
        }
        const QRect shown = view_->visualRect(row);
        return {view_->viewport()->mapToGlobal(shown.topLeft()), shown.size()};
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const QModelIndex row = index();
        if (!row.isValid()) {
            state.invalid = true;
            return state;
        }
        const bool selectable = row.flags().testFlag(Qt::ItemIsSelectable);
        state.selectable = selectable;
        state.focusable = selectable;
        state.selected = view_->selectionModel()->isSelected(row);
        state.focused = view_->hasFocus() && view_->currentIndex() == row;
        state.invisible = !view_->isVisible();
        state.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(row));
        if (const auto toggle = listModel(view_)->rowSwitch(row)) {
            state.checkable = true;
            state.checked = toggle->isOn;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        const QModelIndex row = index();
        QStringList names;
        if (row.flags().testFlag(Qt::ItemIsSelectable)) {
            names << pressAction();
        }
        if (const auto toggle = row.isValid() ? listModel(view_)->rowSwitch(row) : std::nullopt;
            toggle && toggle->isEnabled) {
            names << toggleAction();
        }
        return names;
    }

    void doAction(const QString& name) override {
        if (!actionNames().contains(name)) {
            return;
        }
        const QModelIndex row = index();
        if (name == pressAction()) {
            view_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        } else {
            emit view_->toggleRequested(row);
        }
    }

    // What flipping the switch does now: "Connect" or "Disconnect", as its tooltip says.
    QString localizedActionDescription(const QString& name) const override {
        const QModelIndex row = index();
        if (const auto toggle = row.isValid() ? listModel(view_)->rowSwitch(row) : std::nullopt;
            toggle && name == toggleAction()) {
            return toggle->toolTip;
        }
        return QAccessibleActionInterface::localizedActionDescription(name);
    }

    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == toggleAction()) {
            return {QKeySequence(Qt::Key_Space).toString(QKeySequence::NativeText)};
        }
        return {};
    }

  private:
    QPointer<TunnelListView> view_;
    Uuid key_;
};

// The list with its rows as children, in the order shown; a row's interface lives as long as the
// row, so that assistive technology can hold on to it while rows come and go around it.
class TunnelListAccessible : public QAccessibleWidget {
  public:
    explicit TunnelListAccessible(TunnelListView& view) : QAccessibleWidget(&view, QAccessible::List) {}

    ~TunnelListAccessible() override {
        for (const auto& connection : followed_) {
            QObject::disconnect(connection);
        }
        for (const auto& [key, id] : rows_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override {
        const TunnelListModel* model = follow();
        return model ? model->rowCount() : 0;
    }

    QAccessibleInterface* child(int index) const override {
        const TunnelListModel* model = follow();
        if (!model || index < 0 || index >= model->rowCount()) {
            return nullptr;
        }
        const Uuid& key = model->rows()[static_cast<size_t>(index)].key();
        auto found = rows_.find(key);
        if (found == rows_.end()) {
            // Owned by Qt's accessibility cache from here on; deleted with its row or the list.
            auto* row = new TunnelRowAccessible(view(), key);
            found = rows_.emplace(key, QAccessible::registerAccessibleInterface(row)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* row = dynamic_cast<const TunnelRowAccessible*>(child);
        return row && row->view() == &view() && row->isValid() ? row->index().row() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex row = view().indexAt(view().viewport()->mapFromGlobal(QPoint(x, y)));
        return row.isValid() ? child(row.row()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = view().currentIndex();
        return view().hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

  private:
    TunnelListView& view() const { return static_cast<TunnelListView&>(*widget()); }

    // Watches the list's model, which the view may be given after this was made.
    const TunnelListModel* follow() const {
        TunnelListModel* model = listModel(&view());
        if (model == model_) {
            return model;
        }
        for (const auto& connection : followed_) {
            QObject::disconnect(connection);
        }
        model_ = model;
        followed_.clear();
        if (model) {
            followed_ = {
                QObject::connect(model, &QAbstractItemModel::rowsRemoved, &view(),
                                 [this] { forgetGoneRows(); }),
                QObject::connect(model, &QAbstractItemModel::modelReset, &view(),
                                 [this] { forgetGoneRows(); }),
                QObject::connect(model, &QAbstractItemModel::dataChanged, &view(),
                                 [this](const QModelIndex& first, const QModelIndex& last) {
                                     announce(first.row(), last.row());
                                 }),
            };
        }
        return model;
    }

    void forgetGoneRows() const {
        for (auto row = rows_.begin(); row != rows_.end();) {
            if (model_ && model_->rowOf(row->first)) {
                ++row;
            } else {
                QAccessible::deleteAccessibleInterface(row->second);
                row = rows_.erase(row);
            }
        }
    }

    // A screen reader on a row hears its state, marks and switch change.
    void announce(int first, int last) const {
        if (!QAccessible::isActive() || !model_) {
            return;
        }
        for (int index = first; index <= last && index < model_->rowCount(); ++index) {
            const auto found = rows_.find(model_->rows()[static_cast<size_t>(index)].key());
            if (found == rows_.end()) {
                continue;
            }
            QAccessibleInterface* row = QAccessible::accessibleInterface(found->second);
            for (const auto type : {QAccessible::NameChanged, QAccessible::DescriptionChanged}) {
                QAccessibleEvent event(row, type);
                QAccessible::updateAccessibility(&event);
            }
            QAccessible::State switched;
            switched.checked = true;
            QAccessibleStateChangeEvent event(row, switched);
            QAccessible::updateAccessibility(&event);
        }
    }

    mutable std::unordered_map<Uuid, QAccessible::Id> rows_;
    mutable QPointer<TunnelListModel> model_;
    mutable std::vector<QMetaObject::Connection> followed_;
};

QAccessibleInterface* tunnelListInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(TunnelListView::staticMetaObject.className())) {
        if (auto* view = qobject_cast<TunnelListView*>(object)) {
            return new TunnelListAccessible(*view); // owned by Qt's accessibility cache
        }
    }
    return nullptr;
}

} // namespace

void installTunnelListAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&tunnelListInterface);
        return true;
    }();
}

} // namespace burrowlight
