// Bytes of any child's output to text: always well-formed UTF-8, unchanged when it already was.
#include "FuzzInput.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/Text.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto bytes = fuzzing::text(data, size);
    const auto decoded = decodeUTF8(bytes);
    fuzzing::require(text::isWellFormedUTF8(decoded));
    fuzzing::require(text::isWellFormedUTF8(bytes) == (decoded == bytes));
    fuzzing::require(text::fromCodePoints(text::toCodePoints(bytes)) == decoded);
    (void)text::trimBlanksAndLineBreaks(decoded);
    (void)text::lowercased(decoded);
    return 0;
}
