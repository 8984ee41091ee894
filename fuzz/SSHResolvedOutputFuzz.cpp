// What "ssh -G" prints: parsed into a resolved host without failing, the same output giving the
// same host, forward identifiers included.
#include "FuzzInput.h"
#include "TunnelKit/SSHConfigResolver.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto output = fuzzing::text(data, size);
    const auto host = SSHConfigResolver::parse(output, "alias");
    fuzzing::require(SSHConfigResolver::parse(output, "alias") == host);
    (void)host.destination();
    for (const auto& forward : host.forwards) {
        (void)forward.listen.displayText();
    }
    return 0;
}
