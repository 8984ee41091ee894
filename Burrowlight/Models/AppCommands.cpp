#include "Burrowlight/Models/AppCommands.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Core/SiteLink.h"

namespace burrowlight {

AppCommands::AppCommands(AppModel& model, AppTermination& termination, Windows windows)
    : model_(model), termination_(termination), windows_(std::move(windows)) {}

bool AppCommands::showsCheckForUpdates() const {
    return model_.updates().isConfigured();
}

void AppCommands::about() {
    windows_.showAbout();
}

void AppCommands::checkForUpdates() {
    model_.updates().checkForUpdates();
}

bool AppCommands::quit() {
    return !termination_.requestTerminationFromMenu();
}

void AppCommands::help() {
    openSite(QStringLiteral("/guida"), QStringLiteral("/en/guide"));
}

void AppCommands::privacy() {
    openSite(QStringLiteral("/privacy"), QStringLiteral("/en/privacy"));
}

void AppCommands::termsOfUse() {
    openSite(QStringLiteral("/condizioni"), QStringLiteral("/en/terms"));
}

void AppCommands::newTunnel() {
    if (passesTermsGate()) {
        windows_.openMain();
        model_.setRequestsNewTunnel(true);
    }
}

void AppCommands::importFromSSHConfig() {
    if (passesTermsGate()) {
        windows_.openMain();
        model_.setRequestsConfigImport(true);
    }
}

void AppCommands::connectAll() {
    if (passesTermsGate()) {
        model_.controller().connectAll();
    }
}

void AppCommands::disconnectAll() {
    model_.controller().disconnectAll();
}

bool AppCommands::passesTermsGate() {
    return model_.controller().passesTermsGate();
}

} // namespace burrowlight
