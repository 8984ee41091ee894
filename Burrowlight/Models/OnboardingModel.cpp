#include "Burrowlight/Models/OnboardingModel.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Desktop/LoginItem.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace burrowlight {

OnboardingModel::OnboardingModel(AppModel& model, Windows windows)
    : model_(model), windows_(std::move(windows)),
      hasSSHConfig_(QFileInfo(QDir(QString::fromStdString(model.parts().homeDirectory))
                                  .filePath(QStringLiteral(".ssh/config")))
                        .isFile()),
      opensAtLogin_(burrowlight::opensAtLogin(QString::fromLatin1(bundleIdentifier))),
      server_(QString::fromLatin1(bundleIdentifier), model.parts().sessionBus) {
    connect(&model_, &AppModel::hasTrayChanged, this, &OnboardingModel::changed);
}

bool OnboardingModel::hasTray() const {
    return model_.hasTray();
}

void OnboardingModel::refreshNotifications() {
    server_.checkAuthorization([self = QPointer(this)](bool authorized) {
        if (self) {
            self->notifications_ = authorized ? Notifications::allowed : Notifications::unavailable;
            emit self->changed();
        }
    });
}

void OnboardingModel::requestNotifications() {
    refreshNotifications();
}

void OnboardingModel::setOpensAtLogin(bool opens) {
    (void)setOpenAtLogin(QString::fromLatin1(bundleIdentifier), opens);
    opensAtLogin_ = burrowlight::opensAtLogin(QString::fromLatin1(bundleIdentifier));
    emit changed();
}

void OnboardingModel::importFromSSHConfig() {
    leave(&AppModel::setRequestsConfigImport);
}

void OnboardingModel::newTunnel() {
    leave(&AppModel::setRequestsNewTunnel);
}

void OnboardingModel::finish() {
    leave(nullptr);
}

void OnboardingModel::leave(void (AppModel::*request)(bool)) {
    model_.settings().setOnboardingCompleted(true);
    windows_.openMain();
    if (request) {
        (model_.*request)(true);
    }
    windows_.dismissOnboarding();
}

} // namespace burrowlight
