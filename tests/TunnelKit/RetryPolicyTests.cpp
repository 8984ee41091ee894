#include "TunnelKit/RetryPolicy.h"

#include <climits>
#include <gtest/gtest.h>

using namespace tunnelkit;
using namespace std::chrono_literals;

TEST(RetryPolicy, TheApplicationsWaitsDoubleUpToAMinute) {
    const RetryPolicy policy{3s, 60s};
    EXPECT_EQ(policy.delay(1), 3s);
    EXPECT_EQ(policy.delay(2), 6s);
    EXPECT_EQ(policy.delay(3), 12s);
    EXPECT_EQ(policy.delay(4), 24s);
    EXPECT_EQ(policy.delay(5), 48s);
    EXPECT_EQ(policy.delay(6), 60s);
    EXPECT_EQ(policy.delay(17), 60s);
    EXPECT_EQ(policy.delay(1000), 60s);
    EXPECT_EQ(policy.delay(INT_MAX), 60s);
}

TEST(RetryPolicy, AttemptsBelowOneWaitTheFirstDelay) {
    const RetryPolicy policy{3s, 60s};
    EXPECT_EQ(policy.delay(0), 3s);
    EXPECT_EQ(policy.delay(-5), 3s);
    EXPECT_EQ(policy.delay(INT_MIN), 3s);
}

TEST(RetryPolicy, TheExponentStopsAtSixteen) {
    const RetryPolicy policy{1ms, std::chrono::hours(24)};
    EXPECT_EQ(policy.delay(17), 65536ms);
    EXPECT_EQ(policy.delay(18), 65536ms);
    EXPECT_EQ(policy.delay(INT_MAX), 65536ms);
}

TEST(RetryPolicy, TheCeilingHoldsEvenForTheFirstWait) {
    EXPECT_EQ((RetryPolicy{90s, 60s}.delay(1)), 60s);
    // A first delay so long that doubling it would overflow still gives the ceiling.
    const RetryPolicy huge{std::chrono::nanoseconds(LLONG_MAX / 2), std::chrono::nanoseconds(LLONG_MAX)};
    EXPECT_EQ(huge.delay(1), std::chrono::nanoseconds(LLONG_MAX / 2));
    EXPECT_EQ(huge.delay(3), std::chrono::nanoseconds(LLONG_MAX));
    EXPECT_EQ((RetryPolicy{0s, 60s}.delay(10)), 0s);
}
