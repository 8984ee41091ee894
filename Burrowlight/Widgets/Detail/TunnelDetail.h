#pragma once

#include "Burrowlight/Models/DetailContext.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Detail/DetailSections.h"
#include "Burrowlight/Widgets/MainWindow/DetailSlot.h"

#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <memory>

namespace burrowlight {

// The editor of one tunnel (a saved one or the unsaved new one) in the main window's detail column:
// one scrolling column under the unsaved-changes bar.
class TunnelDetail : public QWidget {
    Q_OBJECT

  public:
    // Between a request to edit the tunnel and the cursor in its name, so the window can settle.
    static constexpr std::chrono::milliseconds focusDelay{150};

    TunnelDetail(MainWindowModel& window, TunnelDrafts::Draft draft, DetailSections& sections,
                 QWidget* parent = nullptr);
    ~TunnelDetail() override;

    DetailContext& context() { return context_; }

  private:
    void takeFocusRequest();
    void placeSection(std::unique_ptr<QWidget>& section);

    MainWindowModel& window_;
    DetailContext context_;
    QScrollArea scroll_;
    QWidget column_;
    QVBoxLayout columnLayout_{&column_};
    // After the column that shows them, so that they go first.
    std::unique_ptr<QWidget> forwards_;
    std::unique_ptr<QWidget> config_;
    std::unique_ptr<QWidget> session_;
    std::unique_ptr<QWidget> advanced_;
    std::unique_ptr<QWidget> sshCommand_;
    QVBoxLayout layout_{this};
};

// The detail column's pages for a tunnel: its editor, or the trashed tunnel's page. The editable
// sections come from `sections`; read-only stand-ins when none is given.
class TunnelDetails : public DetailFactory {
  public:
    explicit TunnelDetails(DetailSections* sections = nullptr);

    std::unique_ptr<QWidget> makeEditor(MainWindowModel& window, const tunnelkit::Uuid& id) override;
    std::unique_ptr<QWidget> makeTrashedPage(MainWindowModel& window, const tunnelkit::Uuid& id) override;

  private:
    StandInSections standIns_;
    DetailSections& sections_;
    PlaceholderDetails placeholders_;
};

} // namespace burrowlight
