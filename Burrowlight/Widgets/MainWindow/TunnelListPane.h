#pragma once

#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/MainWindow/EmptyStateView.h"
#include "Burrowlight/Widgets/MainWindow/StatusDot.h"
#include "Burrowlight/Widgets/MainWindow/TunnelRowDelegate.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"

#include <QLabel>
#include <QListView>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QWidget>

namespace burrowlight {

// The list as the user works it: Delete and Backspace act on the selection, Return opens the
// one selected tunnel, Space flips the current row's switch, the menu key opens the context menu.
// Assistive technology finds each row as one element with its switch as an action.
class TunnelListView : public QListView {
    Q_OBJECT

  public:
    explicit TunnelListView(QWidget* parent = nullptr);

  signals:
    void deletePressed();
    void openPressed();
    // Space on the current row, or assistive technology flipping a row's switch.
    void toggleRequested(const QModelIndex& row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The middle column: the group's title, the list of tunnels with its rows, menus and keys, and the
// empty state when there is nothing to list. The selection it shows is the window's: what the
// user selects goes there, and what the window selects shows here; rows that a search hides stay
// selected in the window.
class TunnelListPane : public QWidget {
    Q_OBJECT

  public:
    explicit TunnelListPane(MainWindowModel& model, QWidget* parent = nullptr);

    TunnelListView& view() { return view_; }
    const QLabel& title() const { return title_; }
    EmptyStateView& emptyState() { return empty_; }
    // The rows' pulse runs only while a connecting row is in sight.
    bool isPulsing() const { return pulse_.state() == QAbstractAnimation::Running; }

    // The context menu the list would open for these rows, filled in.
    void fillContextMenu(QMenu& menu, const TunnelIds& rows);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    TunnelIds selectedRows() const;
    void userSelected();
    void showSelection();
    void showEmptyState();
    void openContextMenu(const QPoint& position);
    void followRows();
    void updatePulse();
    void pulseStep();
    void applyPalette();

    MainWindowModel& model_;
    StatusPulse pulse_;
    TunnelRowDelegate delegate_{pulse_};
    ElidedLabel title_;
    // Before what it holds, which goes first.
    QWidget body_;
    TunnelListView view_;
    EmptyStateView empty_;
    QStackedLayout stack_{&body_};
    QVBoxLayout layout_{this};
    // The window's selection is being shown, or rows are being removed: not the user's choice.
    bool following_ = false;
    // Rows came during a refresh: the selection is shown once it is over.
    bool rowsInserted_ = false;
};

} // namespace burrowlight
