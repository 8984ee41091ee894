// An endpoint as the user types it: every endpoint that passes validation reads back from the text
// it is shown as.
#include "FuzzInput.h"
#include "TunnelKit/SSHCommandBuilder.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto endpoint = Endpoint::parse(fuzzing::text(data, size));
    if (!endpoint) {
        return 0;
    }
    const auto shown = endpoint->displayText();
    if (!SSHCommandBuilder::endpointProblem(*endpoint, true)) {
        fuzzing::require(Endpoint::parse(shown) == endpoint);
    }
    return 0;
}
