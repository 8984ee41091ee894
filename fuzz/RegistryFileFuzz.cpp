// The process registry file, current or legacy form; a corrupt file is an empty list.
#include "FuzzInput.h"
#include "TunnelKit/ProcessRegistry.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto entries = ProcessRegistry::decode(fuzzing::text(data, size));
    for (const auto& entry : entries) {
        fuzzing::require(!entry.start || *entry.start <= static_cast<uint64_t>(INT64_MAX));
    }
    return 0;
}
