#pragma once

#include <chrono>

namespace tunnelkit {

// Spaces reconnection attempts: the wait doubles with every retry up to a ceiling.
struct RetryPolicy {
    std::chrono::nanoseconds firstDelay{};
    std::chrono::nanoseconds longestDelay{};

    // attempt counts the retries including this one (1 for the first retry); 0 and below wait as
    // long as the first.
    std::chrono::nanoseconds delay(int attempt) const;

    bool operator==(const RetryPolicy&) const = default;
};

} // namespace tunnelkit
