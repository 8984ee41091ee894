#pragma once

#include "Burrowlight/Models/MainWindowModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWidget>

namespace burrowlight {

// Paints the sidebar's rows: the group's symbol in the accent, its name and its count; the "Tags"
// heading in small letters.
class SidebarDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The first column: the groups with their counts, the tag rows' menu, and the product's name at
// the bottom. The chosen row is the window's sidebar item.
class SidebarPane : public QWidget {
    Q_OBJECT

  public:
    explicit SidebarPane(MainWindowModel& model, QWidget* parent = nullptr);

    QListView& view() { return view_; }
    // The menu a tag's row would open, filled in.
    void fillTagMenu(QMenu& menu, const std::string& tag);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void userChose();
    void showChoice();
    void openMenu(const QPoint& position);
    void applyPalette();

    MainWindowModel& model_;
    SidebarDelegate delegate_;
    QListView view_;
    QWidget footer_;
    QLabel footerIcon_;
    QLabel footerName_;
    QHBoxLayout footerLayout_{&footer_};
    QVBoxLayout layout_{this};
    bool following_ = false;
};

} // namespace burrowlight
