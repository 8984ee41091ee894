#pragma once

#include <cstdlib>
#include <string>

namespace testing_support {

// True only inside tests/support/with-secret-service.sh, whose keyring lives in the throwaway HOME:
// tests that store secrets refuse to run against the user's own keyring.
inline bool runsInThrowawayKeyring() {
    const char* throwaway = std::getenv("BURROWLIGHT_THROWAWAY_KEYRING");
    const char* home = std::getenv("HOME");
    return throwaway && home && std::string(throwaway) == home;
}

} // namespace testing_support
