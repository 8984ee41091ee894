#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/Text.h"

namespace tunnelkit {

namespace {

std::string quotedInclude(std::string_view path) {
    return "Include \"" + std::string(path) + "\"\n";
}

} // namespace

std::string SSHCommandBuilder::wrapperConfigText() const {
    std::string text = "# Written by Burrowlight before each connection. The values above the\n"
                       "# includes win over them, also for jump hosts.\n";
    for (auto setting : fixedOptions) {
        if (text::startsWith(setting, "ExitOnForwardFailure=")) {
            continue;
        }
        std::string line(setting);
        line[line.find('=')] = ' ';
        text += line + "\n";
    }
    text += "LogLevel INFO\n";
    if (configFile) {
        text += quotedInclude(*configFile);
    } else if (usesConfigFiles) {
        text += quotedInclude(homeDirectory + "/.ssh/config");
        text += quotedInclude(systemConfigFile);
    }
    return text;
}

Result<void, FileError> SSHCommandBuilder::writeWrapperConfig() const {
    if (!wrapperURL) {
        return {};
    }
    // Missing folders are made first. The temporary file is created 0600 and renamed into place:
    // never readable by others, and a reader sees the old text or the new one, never a part.
    return writeFileAtomically(*wrapperURL, wrapperConfigText(), 0600);
}

} // namespace tunnelkit
