#pragma once

#include "Burrowlight/Models/DetailContext.h"
#include "Burrowlight/Models/LogCardModel.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/Detail/DetailHeader.h"
#include "Burrowlight/Widgets/Detail/DetailParts.h"
#include "Burrowlight/Widgets/Detail/DetailSections.h"
#include "Burrowlight/Widgets/MainWindow/DetailSlot.h"
#include "Burrowlight/Widgets/Style/ColumnScrollArea.h"

#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <memory>

namespace burrowlight {

// The editor of one tunnel (a saved one or the unsaved new one) in the main window's detail column:
// the unsaved-changes bar over one scrolling column of the header, the problem banner, the sections
// and the live log.
class TunnelDetail : public QWidget {
    Q_OBJECT

  public:
    // Between a request to edit the tunnel and the cursor in its name, so the window can settle.
    static constexpr std::chrono::milliseconds focusDelay{150};

    TunnelDetail(MainWindowModel& window, TunnelDrafts::Draft draft, DetailSections& sections,
                 QWidget* parent = nullptr);
    ~TunnelDetail() override;

    DetailContext& context() { return context_; }
    DetailHeader& header() { return header_; }
    UnsavedBar& unsavedBar() { return bar_; }
    ProblemBanner& banner() { return banner_; }
    // None until the tunnel has a connection.
    LogCard* logCard() { return logCard_.get(); }
    QWidget* configSection() { return config_.get(); }
    QWidget* sessionSection() { return session_.get(); }
    QWidget* sshCommandSection() { return sshCommand_.get(); }

  private:
    void takeFocusRequest();
    void refresh();
    void refreshBar();
    void refreshSections();
    void showLogCard();
    void pressSave();
    void placeSection(const std::unique_ptr<QWidget>& section);

    MainWindowModel& window_;
    DetailContext context_;
    UnsavedBar bar_;
    QLabel storageProblem_;
    ColumnScrollArea scroll_;
    QWidget column_;
    DetailHeader header_;
    ProblemBanner banner_;
    QVBoxLayout columnLayout_{&column_};
    // After the column that shows them, so that they go first.
    std::unique_ptr<QWidget> forwards_;
    std::unique_ptr<QWidget> config_;
    std::unique_ptr<QWidget> session_;
    std::unique_ptr<QWidget> advanced_;
    std::unique_ptr<QWidget> sshCommand_;
    std::unique_ptr<LogCardModel> logModel_;
    std::unique_ptr<LogCard> logCard_;
    QShortcut cancel_{QKeySequence(Qt::Key_Escape), this};
    QShortcut save_{QKeySequence(Qt::Key_Return), this};
    QShortcut saveEnter_{QKeySequence(Qt::Key_Enter), this};
    QShortcut connect_{QKeySequence(Qt::CTRL | Qt::Key_Return), this};
    QVBoxLayout layout_{this};
};

// The detail column's pages for a tunnel: its editor, or the trashed tunnel's page. The editable
// sections come from `sections`; read-only stand-ins when none is given.
class TunnelDetails : public DetailFactory {
  public:
    explicit TunnelDetails(DetailSections* sections = nullptr);
    explicit TunnelDetails(std::unique_ptr<DetailSections> sections);

    std::unique_ptr<QWidget> makeEditor(MainWindowModel& window, const tunnelkit::Uuid& id) override;
    std::unique_ptr<QWidget> makeTrashedPage(MainWindowModel& window, const tunnelkit::Uuid& id) override;

  private:
    StandInSections standIns_;
    std::unique_ptr<DetailSections> ownSections_;
    DetailSections& sections_;
    PlaceholderDetails placeholders_;
};

} // namespace burrowlight
