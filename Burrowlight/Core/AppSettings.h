#pragma once

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace burrowlight {

// The names under which the application keeps its settings, as the rest of the system knows them.
namespace settingsKey {
inline constexpr const char* usesSSHConfig = "usesSSHConfig";
inline constexpr const char* notifiesStatusChanges = "notifiesStatusChanges";
inline constexpr const char* showsDockIcon = "showsDockIcon";
inline constexpr const char* onboardingCompleted = "onboardingCompleted";
inline constexpr const char* termsAcceptedVersion = "termsAcceptedVersion";
inline constexpr const char* termsAcceptedAt = "termsAcceptedAt";
inline constexpr const char* tipPageOpenedVersion = "tipPageOpenedVersion";
inline constexpr const char* languages = "AppleLanguages";
inline constexpr const char* logShowsDetails = "log.showsDetails";
inline constexpr const char* selectedSettingsSection = "settings.selectedSection";
} // namespace settingsKey

// The application's settings, typed, over one settings file. A value never stored reads as its
// registered default; a key without one reads as false or empty. Every setter stores at once and
// announces a change of the value read back, only when it differs.
//
// Registered defaults are held for the whole process and never written to the file, so a later
// version may change them. registerDefaults() runs in main() before anything reads a setting.
class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool usesSSHConfig READ usesSSHConfig WRITE setUsesSSHConfig NOTIFY usesSSHConfigChanged)
    Q_PROPERTY(bool notifiesStatusChanges READ notifiesStatusChanges WRITE setNotifiesStatusChanges NOTIFY
                   notifiesStatusChangesChanged)
    Q_PROPERTY(bool showsDockIcon READ showsDockIcon WRITE setShowsDockIcon NOTIFY showsDockIconChanged)
    Q_PROPERTY(bool onboardingCompleted READ onboardingCompleted WRITE setOnboardingCompleted NOTIFY
                   onboardingCompletedChanged)
    Q_PROPERTY(
        bool logShowsDetails READ logShowsDetails WRITE setLogShowsDetails NOTIFY logShowsDetailsChanged)

  public:
    // Over the application's own file (openAppSettings()) unless a test hands in another.
    explicit AppSettings(std::unique_ptr<QSettings> storage = {}, QObject* parent = nullptr);
    ~AppSettings() override;

    // The application's defaults: the ssh configuration read, notifications on, the main window in
    // the taskbar, onboarding not yet done, the log without details, the settings on General.
    static void registerDefaults();
    static void registerDefault(const char* key, const QVariant& value);

    bool usesSSHConfig() const;
    void setUsesSSHConfig(bool uses);
    bool notifiesStatusChanges() const;
    void setNotifiesStatusChanges(bool notifies);
    bool showsDockIcon() const;
    void setShowsDockIcon(bool shows);
    bool onboardingCompleted() const;
    void setOnboardingCompleted(bool completed);
    bool logShowsDetails() const;
    void setLogShowsDetails(bool shows);

    // Acceptance of the terms of use: the version accepted last and when.
    std::optional<QString> termsAcceptedVersion() const;
    std::optional<QDateTime> termsAcceptedAt() const;
    bool currentTermsAccepted() const;
    // Stores the version the application shows now, and the moment.
    void recordTermsAcceptance(const QDateTime& at);

    // The application version for which the tip page was opened last.
    std::optional<QString> tipPageOpenedVersion() const;
    void setTipPageOpenedVersion(const QString& version);

    // The user's own language choice; none follows the system.
    std::optional<QStringList> languages() const;
    void setLanguages(const std::optional<QStringList>& languages);

    // The raw value of the section the settings window shows: "general" unless another was chosen.
    QString selectedSettingsSection() const;
    void setSelectedSettingsSection(const QString& section);

    // Where a window ("main", "settings") was when it last went away, as QWidget::saveGeometry()
    // writes it; empty until then. Kept under "window.<name>.geometry".
    QByteArray windowGeometry(const QString& window) const;
    void setWindowGeometry(const QString& window, const QByteArray& geometry);

    QSettings& storage() { return *storage_; }

  signals:
    void usesSSHConfigChanged(bool uses);
    void notifiesStatusChangesChanged(bool notifies);
    void showsDockIconChanged(bool shows);
    void onboardingCompletedChanged(bool completed);
    void logShowsDetailsChanged(bool shows);
    void termsAcceptanceChanged();
    void tipPageOpenedVersionChanged();
    void languagesChanged();
    void selectedSettingsSectionChanged();

  private:
    QVariant value(const char* key) const;
    bool boolValue(const char* key) const;
    std::optional<QString> textValue(const char* key) const;
    // Stores, or for none removes, and writes the file at once.
    void store(const char* key, const std::optional<QVariant>& value);
    // Whether what a reader sees changed.
    bool storeBool(const char* key, bool value);

    std::unique_ptr<QSettings> storage_;
};

} // namespace burrowlight
