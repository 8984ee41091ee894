// ssh's output, line by line as the connection reads it: level, signal, failure, session facts and
// the attempt's progress.
#include "FuzzInput.h"
#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SessionInfo.h"
#include "TunnelKit/Spawn.h"

using namespace tunnelkit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SessionInfo session;
    SSHAttemptProgress progress;
    auto rest = fuzzing::text(data, size);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto line = decodeUTF8(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        (void)SSHLogParser::level(line);
        (void)SSHLogParser::failure(line);
        session.update(line);
        if (const auto signal = SSHLogParser::signal(line)) {
            progress.apply(*signal, line, progress.isConfirmed());
        }
    }
    return 0;
}
