#include "Burrowlight/Models/TermsModel.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Core/SiteLink.h"
#include "Burrowlight/Core/TermsOfUse.h"
#include "Burrowlight/Desktop/AppLog.h"

#include <QDateTime>

namespace burrowlight {

TermsModel::TermsModel(AppModel& model, AppTermination& termination, Windows windows)
    : model_(model), termination_(termination), windows_(std::move(windows)) {}

std::optional<QString> TermsModel::windowAfterAcceptance(bool onboardingCompleted, bool showsDockIcon,
                                                         bool trayAvailable) {
    if (!onboardingCompleted) {
        return QStringLiteral("onboarding");
    }
    if (showsDockIcon || !trayAvailable) {
        return QStringLiteral("main");
    }
    return std::nullopt;
}

void TermsModel::setAcceptsTerms(bool accepts) {
    update(acceptsTerms_, accepts);
}

void TermsModel::setApprovesLiability(bool approves) {
    update(approvesLiability_, approves);
}

void TermsModel::update(bool& field, bool value) {
    const bool could = canAccept();
    field = value;
    if (could != canAccept()) {
        emit canAcceptChanged(canAccept());
    }
}

void TermsModel::accept() {
    if (!canAccept()) {
        return;
    }
    AppSettings& settings = model_.settings();
    settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
    AppLog::app().write(QStringLiteral("Terms of use %1 accepted").arg(QLatin1String(currentTermsVersion)));
    model_.setTermsAccepted(true);
    // The manager's start skipped them while the terms were not accepted.
    model_.controller().connectAtLaunch();
    if (const auto next = windowAfterAcceptance(settings.onboardingCompleted(), settings.showsDockIcon(),
                                                model_.hasTray())) {
        windows_.open(*next);
    }
    windows_.dismissTerms();
}

void TermsModel::quit() {
    termination_.requestTermination();
}

void TermsModel::closed() {
    if (!model_.termsAccepted()) {
        termination_.requestTermination();
    }
}

void TermsModel::readTerms() {
    openSite(QStringLiteral("/condizioni"), QStringLiteral("/en/terms"));
}

} // namespace burrowlight
