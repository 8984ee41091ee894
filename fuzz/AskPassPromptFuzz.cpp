// ssh's questions to the askpass helper: classified, with the key a remembered answer is filed under.
// The first line is the prompt hint ssh may set, the rest the prompt.
#include "FuzzInput.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/Spawn.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzzing::text(data, size);
    const auto newline = input.find('\n');
    const auto hint = newline == std::string_view::npos ? std::string_view() : input.substr(0, newline);
    auto prompt = decodeUTF8(newline == std::string_view::npos ? input : input.substr(newline + 1));
    const AskPassRequest request(prompt, hint.empty() ? std::nullopt : std::optional(hint));
    if (const auto key = request.secretKey()) {
        fuzzing::require(!key->identity.empty());
        (void)AskPassLedger::markerName(*key, Uuid());
    }
    (void)AskPassRequest::keyPath(prompt);
    return 0;
}
