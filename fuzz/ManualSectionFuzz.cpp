// The ssh_config manual as mandoc renders it: cutting one option's description out never fails.
// The first line names the option, the rest is the page.
#include "FuzzInput.h"
#include "TunnelKit/SSHManual.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzzing::text(data, size);
    const auto newline = input.find('\n');
    if (newline == std::string_view::npos) {
        return 0;
    }
    (void)SSHManual::section(input.substr(0, newline), input.substr(newline + 1));
    return 0;
}
