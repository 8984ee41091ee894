// Tunnel archives from anywhere: an archive or a decoding error, and an archive encodes and decodes
// back to itself.
#include "FuzzInput.h"
#include "TunnelKit/TunnelStore.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto archive = TunnelArchive::decode(fuzzing::text(data, size));
    if (archive) {
        const auto again = TunnelArchive::decode(archive->encoded());
        fuzzing::require(again && again->tunnels == archive->tunnels &&
                         again->exportedAt == archive->exportedAt && again->version == archive->version);
    }
    return 0;
}
