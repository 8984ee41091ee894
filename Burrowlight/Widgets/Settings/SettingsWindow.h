#pragma once

#include "Burrowlight/Models/SettingsModel.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <functional>
#include <memory>

namespace burrowlight {

class AlertPresenter;
class AppModel;
class AppTermination;

// What the panes of the settings window work with.
struct SettingsServices {
    AppModel& model;
    AppTermination& termination;
    AlertPresenter& alerts;
    // Opens the window "main", or brings it forward.
    std::function<void()> openMain;
};

// The window "settings": a sidebar of sections and, beside it, the selected section's header and
// pane. A pane is made afresh each time its section is selected. The section is kept in the
// settings store, so the window opens where the user left it.
class SettingsWindow : public QDialog {
    Q_OBJECT

  public:
    static constexpr int width = 760;
    static constexpr int height = 520;

    explicit SettingsWindow(SettingsServices services);
    ~SettingsWindow() override;

    SettingsModel& model() { return model_; }
    QListWidget& sidebar() { return sidebar_; }
    QLabel& sectionTitle() { return title_; }
    // The pane on show.
    QWidget& pane() { return *pane_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showSection(SettingsSection section);
    std::unique_ptr<QWidget> makePane(SettingsSection section);
    void applyTheme();

    SettingsServices services_;
    SettingsModel model_;
    // Containers come before what they hold, so that each goes first.
    QWidget sidebarColumn_;
    QWidget brandRow_;
    QWidget detail_;
    QWidget header_;
    QListWidget sidebar_;
    QLabel brandIcon_;
    QLabel brandName_;
    QFrame divider_;
    QLabel title_;
    QLabel subtitle_;
    std::unique_ptr<QWidget> pane_;
    QHBoxLayout brandLayout_{&brandRow_};
    QVBoxLayout sidebarLayout_{&sidebarColumn_};
    QVBoxLayout headerLayout_{&header_};
    QVBoxLayout detailLayout_{&detail_};
    QHBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight
