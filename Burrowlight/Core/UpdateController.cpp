#include "Burrowlight/Core/UpdateController.h"

#include "Burrowlight/Core/AppIdentityConfig.h"
#include "Burrowlight/Desktop/AppLog.h"

namespace burrowlight {

UpdateFeed UpdateFeed::ofThisBuild() {
    return {QStringLiteral(BURROWLIGHT_UPDATE_FEED_URL), QStringLiteral(BURROWLIGHT_UPDATE_PUBLIC_KEY)};
}

UpdateController::UpdateController(UpdateFeed feed, const BackendFactory& makeBackend, QObject* parent)
    : QObject(parent) {
    if (feed.feedURL.isEmpty() || feed.publicKey.isEmpty() || !makeBackend) {
        return;
    }
    backend_ = makeBackend(feed, *this);
    if (backend_) {
        setAutomaticallyChecks(backend_->automaticallyChecksForUpdates());
    }
}

UpdateController::~UpdateController() = default;

void UpdateController::setAutomaticallyChecks(bool checks) {
    if (backend_) {
        backend_->setAutomaticallyChecksForUpdates(checks);
    }
    if (checks != automaticallyChecks_) {
        automaticallyChecks_ = checks;
        emit automaticallyChecksChanged(checks);
    }
}

void UpdateController::checkForUpdates() {
    AppLog::updates().write(QStringLiteral("Check for Updates chosen"));
    if (backend_) {
        backend_->checkForUpdates();
    }
}

void UpdateController::updateAnnounced(const QString& displayVersion, bool userInitiated) {
    if (userInitiated) {
        return;
    }
    AppLog::updates().write(QStringLiteral("Update %1 waiting in the menu").arg(displayVersion));
    setUpdateWaiting(true);
}

void UpdateController::userAttendedToUpdate() {
    setUpdateWaiting(false);
}

void UpdateController::updateSessionWillFinish() {
    setUpdateWaiting(false);
}

void UpdateController::setUpdateWaiting(bool waiting) {
    if (waiting != updateWaiting_) {
        updateWaiting_ = waiting;
        emit updateWaitingChanged(waiting);
    }
}

} // namespace burrowlight
