#pragma once

#include "Burrowlight/Models/GeneralSettingsModel.h"
#include "Burrowlight/Widgets/Shell/TipButton.h"
#include "Burrowlight/Widgets/Shell/WrappingCheckBox.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace burrowlight {

// The General pane: language, startup, taskbar, notifications, updates where configured, and the
// application's version with the tip.
class GeneralSettingsPane : public TolvanSettingsForm {
    Q_OBJECT

  public:
    explicit GeneralSettingsPane(std::unique_ptr<GeneralSettingsModel> model);
    ~GeneralSettingsPane() override;

    GeneralSettingsModel& model() { return *model_; }
    QComboBox& languageBox() { return language_; }
    QWidget& relaunchRow() { return relaunchRow_; }
    QCheckBox& showsInTaskbarBox() { return showsInTaskbar_; }
    QPushButton& tipButton() { return tip_; }

  private:
    void addRows();
    void connectControls();
    void refresh();
    QString appearanceNote() const;

    std::unique_ptr<GeneralSettingsModel> model_;
    QComboBox language_;
    QWidget relaunchRow_;
    QLabel relaunchText_;
    QPushButton relaunch_;
    QHBoxLayout relaunchLayout_{&relaunchRow_};
    QCheckBox openAtLogin_;
    QLabel loginItemError_;
    QCheckBox showsInTaskbar_;
    // Its Italian is too long for one line in the window's fixed width.
    WrappingCheckBox notifies_;
    QCheckBox automaticallyChecks_;
    QPushButton checkNow_;
    QLabel version_;
    QWidget tipBlock_;
    QLabel tipText_;
    TipButton tip_{32};
    QVBoxLayout tipLayout_{&tipBlock_};
    QFormLayout* languageRows_ = nullptr;
    QFormLayout* startupRows_ = nullptr;
    QFormLayout* appearanceRows_ = nullptr;
    PaletteFollower theme_;
};

} // namespace burrowlight
