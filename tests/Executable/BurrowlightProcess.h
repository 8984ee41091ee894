#pragma once

#include "TunnelKit/Spawn.h"

#include <string>

// The real program, as the tests find it in the build.
namespace testing_support {

inline const std::string burrowlightExecutable = BURROWLIGHT_EXECUTABLE;

// This test's environment without what would leak into the program: a preloaded library, and the
// role and askpass variables of whatever started the tests.
inline tunnelkit::Environment cleanEnvironment() {
    auto environment = tunnelkit::currentEnvironment();
    for (const char* name :
         {"LD_PRELOAD", "BURROWLIGHT_ASKPASS", "BURROWLIGHT_TUNNEL_ID", "BURROWLIGHT_TUNNEL_NAME",
          "BURROWLIGHT_ATTEMPT", "BURROWLIGHT_STATE_DIR", "BURROWLIGHT_DISPLAY", "SSH_ASKPASS",
          "SSH_ASKPASS_REQUIRE", "SSH_ASKPASS_PROMPT", "DISPLAY"}) {
        environment.erase(name);
    }
    return environment;
}

// Makes every burrowlight process started with this environment the parent of `program`, run
// with that process's own arguments (see preload/RunAsChild.cpp): ancestors that really run the
// program's executable, with no hook in the program.
inline void runUnderBurrowlight(tunnelkit::Environment& environment, const std::string& program) {
    environment["LD_PRELOAD"] = RUN_AS_CHILD_LIBRARY;
    environment["BURROWLIGHT_TEST_RUN_AS_CHILD"] = program;
    // A sanitized build insists on its runtime being loaded first; the preloaded library comes
    // before it, harmlessly.
    auto& sanitizer = environment["ASAN_OPTIONS"];
    sanitizer += (sanitizer.empty() ? "" : ":") + std::string("verify_asan_link_order=0");
}

} // namespace testing_support
