#pragma once

#include "Platform/Folders.h"

#include <optional>
#include <string>
#include <string_view>

namespace tunnelkit {

// Where the wrapper ssh configuration is written, or nothing when no wrapper is to be used: ssh
// pastes the "-F" path unquoted into the command it builds for jump hosts, so a path with any
// character a shell reads specially is never handed to it.
std::optional<std::string> wrapperConfigLocation(
    std::string_view bundleIdentifier,
    const platform::folders::Environment& environment = platform::folders::Environment::current());

} // namespace tunnelkit
