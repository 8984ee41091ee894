#pragma once

#include <QObject>
#include <QString>
#include <array>

namespace burrowlight {

class AppSettings;

// The sections of the settings window, in the order of its sidebar.
enum class SettingsSection { general, ssh, tunnels };
inline constexpr std::array allSettingsSections{SettingsSection::general, SettingsSection::ssh,
                                                SettingsSection::tunnels};

// "general", "ssh", "tunnels".
QString rawValue(SettingsSection section);
// Any text but the three raw values opens General.
SettingsSection settingsSectionFromRawValue(const QString& raw);
QString title(SettingsSection section);
QString subtitle(SettingsSection section);
QString symbolName(SettingsSection section);

// The settings window: which section it shows, kept in the settings store so that the window
// opens where the user left it.
class SettingsModel : public QObject {
    Q_OBJECT

  public:
    explicit SettingsModel(AppSettings& settings);

    SettingsSection selected() const { return selected_; }
    void select(SettingsSection section);

  signals:
    void selectedChanged(SettingsSection section);

  private:
    AppSettings& settings_;
    SettingsSection selected_;
};

} // namespace burrowlight
