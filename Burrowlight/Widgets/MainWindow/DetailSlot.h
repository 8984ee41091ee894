#pragma once

#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/MainWindow/EmptyStateView.h"

#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace burrowlight {

// Makes the detail column's page for one tunnel. The tunnel detail and the trashed tunnel's page
// come in through here; each page is made afresh when another tunnel is selected and lives until
// the selection names something else.
class DetailFactory {
  public:
    virtual ~DetailFactory() = default;
    // The editor of a live tunnel, or of the unsaved new tunnel, `id`.
    virtual std::unique_ptr<QWidget> makeEditor(MainWindowModel& window, const tunnelkit::Uuid& id) = 0;
    // The read-only page of the trashed tunnel `id`.
    virtual std::unique_ptr<QWidget> makeTrashedPage(MainWindowModel& window, const tunnelkit::Uuid& id) = 0;
};

// Pages that name the selected tunnel and show where it stands: a window made without detail pages
// shows them, and the tunnel detail does while it cannot show the tunnel itself.
class PlaceholderDetails : public DetailFactory {
  public:
    std::unique_ptr<QWidget> makeEditor(MainWindowModel& window, const tunnelkit::Uuid& id) override;
    std::unique_ptr<QWidget> makeTrashedPage(MainWindowModel& window, const tunnelkit::Uuid& id) override;
};

// The detail column: one page at a time, chosen by the window's selection — the editor, the trashed
// page, "No Tunnel Selected" with a New Tunnel button, or "%n Tunnels Selected" with Connect and
// Disconnect (not in Recently Deleted).
class DetailSlot : public QWidget {
  public:
    DetailSlot(MainWindowModel& model, DetailFactory& factory, QWidget* parent = nullptr);

    QWidget* page() const { return page_.get(); }
    const DetailPane& pane() const { return shown_; }

    // The column is never narrower than `designPixels` (scaled with the text), nor than its page needs.
    void setLeastWidth(int designPixels);
    QSize minimumSizeHint() const override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void showPane();
    std::unique_ptr<QWidget> makePage(const DetailPane& pane);
    std::unique_ptr<QWidget> makeEmpty();
    std::unique_ptr<QWidget> makeSeveral(const DetailPane& pane);

    MainWindowModel& model_;
    DetailFactory& factory_;
    DetailPane shown_;
    int leastWidth_ = 0;
    std::unique_ptr<QWidget> page_;
    QVBoxLayout layout_{this};
};

} // namespace burrowlight
