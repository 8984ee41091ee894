#include "Burrowlight/AskPass/AskPassHelper.h"
#include "Burrowlight/Widgets/Shell/BurrowlightApp.h"
#include "TunnelKit/AskPass.h"

#include <cstdlib>
#include <string_view>

// The role is chosen from the environment before any Qt object, setting or single-instance
// machinery exists: ssh starts this same executable as its askpass program.
int main(int argc, char** argv) {
    const char* role = std::getenv(tunnelkit::AskPassEnvironment::askPassFlagKey);
    if (role && std::string_view(role) == "1") {
        burrowlight::AskPassHelper::run(argc, argv);
    }
    return burrowlight::BurrowlightApp::main(argc, argv);
}
