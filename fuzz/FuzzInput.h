#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// The input of one run as text, and the one way a target reports a broken promise: abort, which
// libFuzzer records as a crash with the input that caused it.
namespace fuzzing {

inline std::string_view text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline void require(bool promise) {
    if (!promise) {
        std::abort();
    }
}

} // namespace fuzzing
