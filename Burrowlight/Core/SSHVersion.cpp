#include "Burrowlight/Core/SSHVersion.h"

#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/Text.h"

namespace burrowlight {

QString sshVersion(const std::string& executable) {
    tunnelkit::ChildProcessRequest request;
    request.executable = executable;
    request.arguments = {"-V"};
    // ssh -V writes to standard error; one pipe takes both. The runner reads to the end before it
    // reaps, so a large output cannot stall it.
    request.errorOutput = tunnelkit::ErrorOutput::joined;
    const auto result = tunnelkit::runChildProcess(request);
    if (!result) {
        return QStringLiteral("?");
    }
    return QString::fromStdString(
        tunnelkit::text::trimBlanksAndLineBreaks(tunnelkit::decodeUTF8(result->output)));
}

} // namespace burrowlight
