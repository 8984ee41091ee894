#include "Burrowlight/Models/GeneralSettingsModel.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Core/Texts/SettingsTexts.h"
#include "Burrowlight/Core/TipPage.h"
#include "Burrowlight/Desktop/LoginItem.h"
#include "Burrowlight/Desktop/Relaunch.h"

namespace burrowlight {

LanguageFacts LanguageFacts::ofThisRun() {
    return {runningLocalization(), systemLanguages()};
}

GeneralSettingsModel::GeneralSettingsModel(AppModel& model, AppTermination& termination,
                                           LanguageFacts languages)
    : model_(model), termination_(termination), languages_(std::move(languages)),
      opensAtLogin_(burrowlight::opensAtLogin(QString::fromLatin1(bundleIdentifier))) {
    AppSettings& settings = model_.settings();
    connect(&settings, &AppSettings::languagesChanged, this, &GeneralSettingsModel::changed);
    connect(&settings, &AppSettings::showsDockIconChanged, this, &GeneralSettingsModel::changed);
    connect(&model_, &AppModel::hasTrayChanged, this, &GeneralSettingsModel::changed);
    connect(&settings, &AppSettings::notifiesStatusChangesChanged, this, &GeneralSettingsModel::changed);
    connect(&model_.updates(), &UpdateController::automaticallyChecksChanged, this,
            &GeneralSettingsModel::changed);
    // The relaunch note mentions connected tunnels only while there are some.
    connect(&model_.engine(), &EngineBridge::stateChanged, this, &GeneralSettingsModel::changed);
    connect(&model_.engine(), &EngineBridge::tunnelsChanged, this, &GeneralSettingsModel::changed);
}

QString GeneralSettingsModel::title(AppLanguage language) {
    switch (language) {
    case AppLanguage::system:
        return tr("Same as the system");
    case AppLanguage::english:
        return QStringLiteral("English");
    case AppLanguage::italian:
        return QStringLiteral("Italiano");
    }
    return {};
}

AppLanguage GeneralSettingsModel::language() const {
    return currentAppLanguage(model_.settings());
}

void GeneralSettingsModel::setLanguage(AppLanguage language) {
    if (language != this->language()) {
        applyAppLanguage(language, model_.settings());
    }
}

bool GeneralSettingsModel::needsRelaunch() const {
    return resolvedLocalization(language(), languages_.system) != languages_.running;
}

QString GeneralSettingsModel::relaunchExplanation() const {
    if (!needsRelaunch()) {
        return {};
    }
    QString text = tr("Burrowlight changes language when it relaunches.");
    if (!model_.controller().activeTunnels().empty()) {
        text += QLatin1Char('\n') +
                tr("Connected tunnels disconnect. Those set to connect when Burrowlight opens come back on.");
    }
    return text;
}

void GeneralSettingsModel::relaunchNow() {
    relaunch([this] { return termination_.requestTermination(); });
}

void GeneralSettingsModel::setOpensAtLogin(bool opens) {
    if (const auto done = setOpenAtLogin(QString::fromLatin1(bundleIdentifier), opens); done) {
        loginItemError_.reset();
    } else {
        loginItemError_ = tr("Couldn't change the login item: %1").arg(texts::message(done.error()));
    }
    opensAtLogin_ = burrowlight::opensAtLogin(QString::fromLatin1(bundleIdentifier));
    emit changed();
}

bool GeneralSettingsModel::showsInTaskbar() const {
    return model_.settings().showsDockIcon();
}

void GeneralSettingsModel::setShowsInTaskbar(bool shows) {
    model_.settings().setShowsDockIcon(shows);
}

bool GeneralSettingsModel::notifies() const {
    return model_.settings().notifiesStatusChanges();
}

void GeneralSettingsModel::setNotifies(bool notifies) {
    model_.settings().setNotifiesStatusChanges(notifies);
}

bool GeneralSettingsModel::hasTray() const {
    return model_.hasTray();
}

bool GeneralSettingsModel::showsUpdates() const {
    return model_.updates().isConfigured();
}

bool GeneralSettingsModel::automaticallyChecks() const {
    return model_.updates().automaticallyChecks();
}

void GeneralSettingsModel::setAutomaticallyChecks(bool checks) {
    model_.updates().setAutomaticallyChecks(checks);
}

void GeneralSettingsModel::checkForUpdates() {
    model_.updates().checkForUpdates();
}

QString GeneralSettingsModel::version() const {
    return appVersion();
}

void GeneralSettingsModel::openTipPage() {
    burrowlight::openTipPage(model_.settings());
}

} // namespace burrowlight
