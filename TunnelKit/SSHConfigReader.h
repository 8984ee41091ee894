#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tunnelkit {

// Finds the host aliases of the user's own ssh configuration by reading the files themselves,
// following Include, without running ssh. Nothing is reported: unreadable files, unmatched
// includes, loops and nesting deeper than `maximumIncludeDepth` just add no further aliases.
namespace SSHConfigReader {

inline constexpr int maximumIncludeDepth = 16;
// A larger file, or anything but a regular file (a FIFO, /dev/zero), counts as missing.
inline constexpr uint64_t maximumFileSize = 1024 * 1024;

struct TokenizedLine {
    std::string keyword; // lower-cased; empty for a blank or comment line
    std::vector<std::string> arguments;
    bool operator==(const TokenizedLine&) const = default;
};

// The aliases of `configFile` and of everything it includes, without patterns or negations,
// each once, in the order first met. Relative includes are taken under `homeDirectory`/.ssh/.
std::vector<std::string> hostAliases(const std::string& configFile, const std::string& homeDirectory);

TokenizedLine tokenize(std::string_view line);

// The paths one Include argument matches, in ascending order; none when nothing matches.
std::vector<std::string> expandInclude(std::string_view argument, const std::string& homeDirectory);

// The text cut at every line break (LF, CR, CRLF, VT, FF, NEL, LS, PS), empty lines dropped.
std::vector<std::string> nonEmptyLines(std::string_view text);

} // namespace SSHConfigReader

} // namespace tunnelkit
