#pragma once

#include "Burrowlight/Models/SSHConfigImportModel.h"
#include "Burrowlight/Widgets/Shell/ElidedCheckBox.h"
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Style/ColumnScrollArea.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

class MainWindowModel;

// One alias of the list: its toggle, labelled in monospace, and the row's detail beneath.
class HostToggle : public QWidget {
  public:
    HostToggle(const ConfigImportRow& row, QWidget* parent = nullptr);

    QCheckBox& box() { return box_; }
    QLabel& detail() { return detail_; }
    void present(const ConfigImportRow& row);

  private:
    ElidedCheckBox box_;
    ElidedLabel detail_;
    QVBoxLayout layout_{this};
};

// The sheet over the main window that turns host aliases of ~/.ssh/config into tunnels. It starts
// resolving when it appears; closing it stops what is left. The imported tunnels go to the window.
class SSHConfigImportSheet : public QDialog {
    Q_OBJECT

  public:
    static constexpr QSize size{560, 520};

    SSHConfigImportSheet(MainWindowModel& window, QWidget& parent,
                         std::optional<SSHConfigImportModel::Resolution> resolution = std::nullopt);
    ~SSHConfigImportSheet() override;

    SSHConfigImportModel& model() { return model_; }
    QWidget& turnOnSection() { return turnOnCard_; }
    QPushButton& turnOnButton() { return turnOn_; }
    QWidget& progressRow() { return progressRow_; }
    QLabel& emptyText() { return empty_; }
    const std::vector<std::unique_ptr<HostToggle>>& hostToggles() const { return toggles_; }
    QPushButton& importButton() { return import_; }
    QPushButton& cancelButton() { return cancel_; }

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showList();
    void importChosen();
    void applyTheme();

    MainWindowModel& window_;
    SSHConfigImportModel model_;
    // Containers first, their contents next and the layouts last, so that each goes before what
    // holds it.
    ColumnScrollArea scroll_;
    QWidget column_;
    TolvanCard turnOnCard_;
    TolvanCard hostsCard_;
    QWidget turnOnRow_;
    QWidget turnOnText_;
    QWidget progressRow_;
    QWidget hostList_;
    QFrame divider_;
    QWidget bar_;
    QLabel turnOnTitle_;
    QLabel turnOnSubtitle_;
    QPushButton turnOn_;
    QLabel hostsHeading_;
    QProgressBar progress_;
    QLabel progressText_;
    QLabel empty_;
    QLabel footer_;
    QPushButton cancel_;
    QPushButton import_;
    std::vector<std::unique_ptr<HostToggle>> toggles_;
    QVBoxLayout turnOnTextLayout_{&turnOnText_};
    QHBoxLayout turnOnLayout_{&turnOnRow_};
    QHBoxLayout progressLayout_{&progressRow_};
    QVBoxLayout hostListLayout_{&hostList_};
    QVBoxLayout columnLayout_{&column_};
    QHBoxLayout barLayout_{&bar_};
    QVBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight
