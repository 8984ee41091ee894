#pragma once

#include <optional>
#include <string>
#include <vector>

// What a problem report says about the system it runs on.
namespace platform::system {

// PRETTY_NAME of the first os-release file that can be read ("/etc/os-release", else
// "/usr/lib/os-release"); "Linux", the name os-release itself falls back to, when none names one.
std::string distributionName(const std::vector<std::string>& osReleaseFiles = {"/etc/os-release",
                                                                               "/usr/lib/os-release"});

// The running kernel's release, as `uname -r` prints it.
std::optional<std::string> kernelRelease();

} // namespace platform::system
