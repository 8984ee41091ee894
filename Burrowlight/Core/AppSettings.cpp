#include "Burrowlight/Core/AppSettings.h"

#include "Burrowlight/Core/SettingsFile.h"
#include "Burrowlight/Core/TermsOfUse.h"

#include <QHash>

namespace burrowlight {

namespace {

QHash<QString, QVariant>& registeredDefaults() {
    static QHash<QString, QVariant> defaults;
    return defaults;
}

QString keyText(const char* key) {
    return QString::fromLatin1(key);
}

} // namespace

AppSettings::AppSettings(std::unique_ptr<QSettings> storage, QObject* parent)
    : QObject(parent), storage_(storage ? std::move(storage) : openAppSettings()) {}

AppSettings::~AppSettings() = default;

void AppSettings::registerDefaults() {
    registerDefault(settingsKey::usesSSHConfig, true);
    registerDefault(settingsKey::notifiesStatusChanges, true);
    registerDefault(settingsKey::showsDockIcon, true);
    registerDefault(settingsKey::onboardingCompleted, false);
    registerDefault(settingsKey::logShowsDetails, false);
    registerDefault(settingsKey::selectedSettingsSection, QStringLiteral("general"));
}

void AppSettings::registerDefault(const char* key, const QVariant& value) {
    registeredDefaults().insert(keyText(key), value);
}

QVariant AppSettings::value(const char* key) const {
    const QString name = keyText(key);
    return storage_->contains(name) ? storage_->value(name) : registeredDefaults().value(name);
}

bool AppSettings::boolValue(const char* key) const {
    return value(key).toBool();
}

std::optional<QString> AppSettings::textValue(const char* key) const {
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return stored.toString();
}

void AppSettings::store(const char* key, const std::optional<QVariant>& newValue) {
    if (newValue) {
        storage_->setValue(keyText(key), *newValue);
    } else {
        storage_->remove(keyText(key));
    }
    storage_->sync();
}

bool AppSettings::storeBool(const char* key, bool newValue) {
    const bool before = boolValue(key);
    store(key, newValue);
    return boolValue(key) != before;
}

bool AppSettings::usesSSHConfig() const {
    return boolValue(settingsKey::usesSSHConfig);
}

void AppSettings::setUsesSSHConfig(bool uses) {
    if (storeBool(settingsKey::usesSSHConfig, uses)) {
        emit usesSSHConfigChanged(uses);
    }
}

bool AppSettings::notifiesStatusChanges() const {
    return boolValue(settingsKey::notifiesStatusChanges);
}

void AppSettings::setNotifiesStatusChanges(bool notifies) {
    if (storeBool(settingsKey::notifiesStatusChanges, notifies)) {
        emit notifiesStatusChangesChanged(notifies);
    }
}

bool AppSettings::showsDockIcon() const {
    return boolValue(settingsKey::showsDockIcon);
}

void AppSettings::setShowsDockIcon(bool shows) {
    if (storeBool(settingsKey::showsDockIcon, shows)) {
        emit showsDockIconChanged(shows);
    }
}

bool AppSettings::onboardingCompleted() const {
    return boolValue(settingsKey::onboardingCompleted);
}

void AppSettings::setOnboardingCompleted(bool completed) {
    if (storeBool(settingsKey::onboardingCompleted, completed)) {
        emit onboardingCompletedChanged(completed);
    }
}

bool AppSettings::logShowsDetails() const {
    return boolValue(settingsKey::logShowsDetails);
}

void AppSettings::setLogShowsDetails(bool shows) {
    if (storeBool(settingsKey::logShowsDetails, shows)) {
        emit logShowsDetailsChanged(shows);
    }
}

std::optional<QString> AppSettings::termsAcceptedVersion() const {
    return textValue(settingsKey::termsAcceptedVersion);
}

std::optional<QDateTime> AppSettings::termsAcceptedAt() const {
    const QVariant stored = value(settingsKey::termsAcceptedAt);
    if (stored.typeId() != QMetaType::QDateTime) {
        return std::nullopt;
    }
    return stored.toDateTime();
}

bool AppSettings::currentTermsAccepted() const {
    return termsAcceptedVersion() == QString::fromLatin1(currentTermsVersion);
}

void AppSettings::recordTermsAcceptance(const QDateTime& at) {
    const auto versionBefore = termsAcceptedVersion();
    const auto dateBefore = termsAcceptedAt();
    store(settingsKey::termsAcceptedVersion, QVariant(QString::fromLatin1(currentTermsVersion)));
    store(settingsKey::termsAcceptedAt, QVariant(at));
    if (termsAcceptedVersion() != versionBefore || termsAcceptedAt() != dateBefore) {
        emit termsAcceptanceChanged();
    }
}

std::optional<QString> AppSettings::tipPageOpenedVersion() const {
    return textValue(settingsKey::tipPageOpenedVersion);
}

void AppSettings::setTipPageOpenedVersion(const QString& version) {
    const auto before = tipPageOpenedVersion();
    store(settingsKey::tipPageOpenedVersion, QVariant(version));
    if (tipPageOpenedVersion() != before) {
        emit tipPageOpenedVersionChanged();
    }
}

std::optional<QStringList> AppSettings::languages() const {
    const QVariant stored = value(settingsKey::languages);
    if (!stored.isValid()) {
        return std::nullopt;
    }
    // A one-element list is read back from the file as plain text.
    if (stored.typeId() == QMetaType::QString) {
        return QStringList{stored.toString()};
    }
    if (stored.typeId() != QMetaType::QStringList) {
        return std::nullopt;
    }
    return stored.toStringList();
}

void AppSettings::setLanguages(const std::optional<QStringList>& languages) {
    const auto before = this->languages();
    store(settingsKey::languages, languages ? std::optional<QVariant>(*languages) : std::nullopt);
    if (this->languages() != before) {
        emit languagesChanged();
    }
}

QString AppSettings::selectedSettingsSection() const {
    return textValue(settingsKey::selectedSettingsSection).value_or(QStringLiteral("general"));
}

void AppSettings::setSelectedSettingsSection(const QString& section) {
    const QString before = selectedSettingsSection();
    store(settingsKey::selectedSettingsSection, QVariant(section));
    if (selectedSettingsSection() != before) {
        emit selectedSettingsSectionChanged();
    }
}

QByteArray AppSettings::windowGeometry(const QString& window) const {
    return storage_->value(QStringLiteral("window.%1.geometry").arg(window)).toByteArray();
}

void AppSettings::setWindowGeometry(const QString& window, const QByteArray& geometry) {
    // Stored on every quit: a window left where it was costs no write.
    if (geometry == windowGeometry(window)) {
        return;
    }
    storage_->setValue(QStringLiteral("window.%1.geometry").arg(window), geometry);
    storage_->sync();
}

} // namespace burrowlight
