#pragma once

#include "TunnelKit/FileIO.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Spawn.h"

#include <cstring>
#include <ostream>
#include <variant>

// How the tests show the engine's error values in their failure messages.
namespace tunnelkit {

inline std::ostream& operator<<(std::ostream& out, const FileError& error) {
    static constexpr const char* operations[] = {"read", "createFolder", "write", "rename"};
    static constexpr const char* kinds[] = {"system", "notRegularFile", "tooLarge"};
    return out << operations[static_cast<int>(error.operation)] << " " << error.path << ": "
               << kinds[static_cast<int>(error.kind)] << " " << std::strerror(error.code);
}

inline std::ostream& operator<<(std::ostream& out, const DecodingError& error) {
    return out << "decoding problem " << static_cast<int>(error.problem) << " at '" << error.codingPath
               << "'";
}

inline std::ostream& operator<<(std::ostream& out, const LaunchError& error) {
    return out << "launch: " << std::strerror(error.code);
}

template <class... Errors> std::ostream& operator<<(std::ostream& out, const std::variant<Errors...>& error) {
    std::visit([&out](const auto& payload) { out << payload; }, error);
    return out;
}

inline void PrintTo(const FileError& error, std::ostream* out) {
    *out << error;
}
inline void PrintTo(const DecodingError& error, std::ostream* out) {
    *out << error;
}

} // namespace tunnelkit
