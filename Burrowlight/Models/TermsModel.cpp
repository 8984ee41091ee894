#include "Burrowlight/Models/TermsModel.h"

#include "Burrowlight/Core/SiteLink.h"

namespace burrowlight {

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
    if (canAccept()) {
        emit accepted();
    }
}

void TermsModel::quit() {
    emit quitRequested();
}

void TermsModel::closed() {
    emit quitRequested();
}

void TermsModel::readTerms() {
    openSite(QStringLiteral("/condizioni"), QStringLiteral("/en/terms"));
}

} // namespace burrowlight
