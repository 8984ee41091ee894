#include "Burrowlight/AskPass/AskPassHelper.h"
#include "Burrowlight/Automation/CommandLine.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "TunnelKit/AskPass.h"

#include <cstdlib>
#include <string_view>

// The role is chosen from the environment before any Qt object, setting or single-instance
// machinery exists: ssh starts this same executable as its askpass program.
int main(int argc, char** argv) {
    burrowlight::AppLog::setIdentity(burrowlight::bundleIdentifier);
    const char* role = std::getenv(tunnelkit::AskPassEnvironment::askPassFlagKey);
    if (role && std::string_view(role) == "1") {
        burrowlight::AskPassHelper::run(argc, argv);
    }
    // Scripts act on the running application; they never start one.
    if (burrowlight::CommandLine::handles(argc, argv)) {
        return burrowlight::CommandLine::run(argc, argv);
    }
    // Before any window, model or launch step reads a setting: a first run has no stored values.
    burrowlight::AppSettings::registerDefaults();
    return burrowlight::BurrowlightApp::main(argc, argv);
}
