// Failed logins: free at first, then a doubling wait per name and per address.
#include <gtest/gtest.h>

#include "accounts/login_throttle.h"

namespace quorbit::accounts {
namespace {

TEST(LoginThrottle, WaitsDoubleAfterThreeFailuresAndASuccessClears) {
    LoginThrottle t;
    for (int i = 0; i < kFreeFailures; ++i) {
        EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 0), 0);
        t.failed("ann", "10.0.0.1", 0);
    }
    EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 0), kFirstDelayMs);
    // The name waits from any address, the address for any name.
    EXPECT_EQ(t.waitMs("ann", "10.0.0.2", 400), kFirstDelayMs - 400);
    EXPECT_EQ(t.waitMs("bob", "10.0.0.1", 400), kFirstDelayMs - 400);
    EXPECT_EQ(t.waitMs("bob", "10.0.0.2", 400), 0);
    t.failed("ann", "10.0.0.1", 1000);
    EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 1000), 2 * kFirstDelayMs);
    for (int i = 0; i < 40; ++i) t.failed("ann", "10.0.0.1", 5000);
    EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 5000), kMaxDelayMs);
    // Forgotten after a quiet hour, and cleared by a success.
    EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 5000 + kForgetMs), 0);
    t.succeeded("ann", "10.0.0.1");
    EXPECT_EQ(t.waitMs("ann", "10.0.0.1", 5000), 0);
    EXPECT_EQ(t.tracked(), 0u);
}

TEST(LoginThrottle, AFloodOfNamesIsBounded) {
    LoginThrottle t;
    for (std::size_t i = 0; i < kMaxEntries + 10; ++i) t.failed("n" + std::to_string(i), "a", static_cast<std::int64_t>(i));
    EXPECT_LE(t.tracked(), kMaxEntries + 1);
    EXPECT_GT(t.waitMs("zzz", "a", kMaxEntries), 0);  // the address is still slowed
}

}  // namespace
}  // namespace quorbit::accounts
