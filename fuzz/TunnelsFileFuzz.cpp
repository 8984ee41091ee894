// The tunnels file: whatever the bytes, a list or a decoding error; a list read back from what the
// store writes of it is the same list.
#include "FuzzInput.h"
#include "TunnelKit/TunnelStore.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tunnels = TunnelStore::decode(fuzzing::text(data, size));
    if (tunnels) {
        fuzzing::require(TunnelStore::decode(TunnelStore::encode(*tunnels)) == tunnels);
    }
    return 0;
}
