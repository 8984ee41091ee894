#include "TunnelKit/RetryPolicy.h"

#include <algorithm>
#include <cstdint>

namespace tunnelkit {

std::chrono::nanoseconds RetryPolicy::delay(int attempt) const {
    constexpr int largestExponent = 16;
    const int exponent = std::clamp(attempt, 1, largestExponent + 1) - 1;
    // Compared before multiplying, so that no first delay, however long, can overflow.
    if (firstDelay.count() > (longestDelay.count() >> exponent)) {
        return longestDelay;
    }
    return firstDelay * (std::int64_t{1} << exponent);
}

} // namespace tunnelkit
