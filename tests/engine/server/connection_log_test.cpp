#include "server/connection_log.h"

#include <gtest/gtest.h>

namespace quorbit::server {
namespace {

TEST(ConnectionLog, EachConnectionHasABurstThenARateAndDroppedLinesAreCounted) {
    ConnectionLog log;
    for (int i = 0; i < kLogBurst; ++i) EXPECT_EQ(log.admit(1, "a", 0).size(), 1u);
    EXPECT_TRUE(log.admit(1, "a", 0).empty());
    EXPECT_TRUE(log.admit(1, "a", kLogRefillMs - 1).empty());
    EXPECT_EQ(log.admit(2, "b", 0), std::vector<std::string>{"b"});  // another connection's own bucket
    EXPECT_EQ(log.admit(1, "c", kLogRefillMs),
              (std::vector<std::string>{"connection 1: 2 log lines dropped (too many)", "c"}));
    EXPECT_TRUE(log.admit(1, "d", kLogRefillMs).empty());
    EXPECT_EQ(log.end(1), "connection 1: 1 log line dropped (too many)");
    EXPECT_EQ(log.end(2), std::nullopt);
    EXPECT_EQ(log.tracked(), 0u);
    // A long quiet spell fills the bucket up to its size, no further.
    ConnectionLog later;
    later.admit(3, "x", 0);
    std::size_t written = 0;
    for (int i = 0; i < 3 * kLogBurst; ++i) written += later.admit(3, "y", 1000 * kLogRefillMs).size();
    EXPECT_EQ(written, static_cast<std::size_t>(kLogBurst));
}

}  // namespace
}  // namespace quorbit::server
