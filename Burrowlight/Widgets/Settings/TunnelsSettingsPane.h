#pragma once

#include "Burrowlight/Models/TunnelsSettingsModel.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <memory>

namespace burrowlight {

// The Tunnels pane: import, export, and the tunnels file with the reason it can't be read or
// saved.
class TunnelsSettingsPane : public TolvanSettingsForm {
    Q_OBJECT

  public:
    // Where the user picks a file; none when the dialog was cancelled. Tests hand in their own.
    struct FileDialogs {
        std::function<QString(QWidget* parent)> open;
        std::function<QString(QWidget* parent, const QString& suggestedName)> save;

        static FileDialogs ofTheDesktop();
    };

    explicit TunnelsSettingsPane(std::unique_ptr<TunnelsSettingsModel> model,
                                 FileDialogs dialogs = FileDialogs::ofTheDesktop());
    ~TunnelsSettingsPane() override;

    TunnelsSettingsModel& model() { return *model_; }
    QPushButton& exportButton() { return export_; }
    QLabel& storageProblem() { return storageProblem_; }

  private:
    void importFile();
    void exportAll();
    void refresh();

    std::unique_ptr<TunnelsSettingsModel> model_;
    FileDialogs dialogs_;
    QWidget importButtons_;
    QPushButton importFromSSHConfig_;
    QPushButton import_;
    QHBoxLayout importLayout_{&importButtons_};
    QPushButton export_;
    QPushButton showTunnelsFile_;
    QLabel storageProblem_;
    QFormLayout* storageRows_ = nullptr;
    PaletteFollower theme_;
};

} // namespace burrowlight
