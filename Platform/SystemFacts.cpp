#include "Platform/SystemFacts.h"

#include <fstream>
#include <string_view>
#include <sys/utsname.h>

namespace platform::system {

namespace {

// One value of os-release, which follows the shell's quoting: double quotes with backslash
// escapes of $ ` " and \, single quotes taken literally, a backslash outside quotes escaping the next
// character.
std::string unquoted(const std::string& value) {
    std::string text;
    char quote = 0;
    for (size_t index = 0; index < value.size(); ++index) {
        const char character = value[index];
        if (quote == '\'') {
            if (character == '\'') {
                quote = 0;
            } else {
                text += character;
            }
        } else if (character == '\\' && index + 1 < value.size() &&
                   (quote == 0 ||
                    std::string_view("$`\"\\").find(value[index + 1]) != std::string_view::npos)) {
            text += value[++index];
        } else if (character == '"' || (character == '\'' && quote == 0)) {
            quote = quote == character ? 0 : character;
        } else {
            text += character;
        }
    }
    return text;
}

std::optional<std::string> prettyName(std::ifstream& file) {
    static const std::string key = "PRETTY_NAME=";
    std::optional<std::string> found;
    for (std::string line; std::getline(file, line);) {
        const auto start = line.find_first_not_of(" \t");
        if (start != std::string::npos && line.compare(start, key.size(), key) == 0) {
            const auto end = line.find_last_not_of(" \t\r");
            found = unquoted(line.substr(start + key.size(), end + 1 - start - key.size()));
        }
    }
    return found;
}

} // namespace

std::string distributionName(const std::vector<std::string>& osReleaseFiles) {
    for (const auto& path : osReleaseFiles) {
        std::ifstream file(path);
        if (!file) {
            continue;
        }
        const auto name = prettyName(file);
        return name && !name->empty() ? *name : "Linux";
    }
    return "Linux";
}

std::optional<std::string> kernelRelease() {
    struct utsname names {};
    if (::uname(&names) != 0) {
        return std::nullopt;
    }
    return std::string(names.release);
}

} // namespace platform::system
