#include "Burrowlight/BurrowlightApp.h"

#include <cstdlib>
#include <string_view>

// The role is chosen from the environment before any Qt object, setting or single-instance
// machinery exists: ssh starts this same executable as its askpass program.
int main(int argc, char** argv) {
    return burrowlight::BurrowlightApp::main(argc, argv);
}
