// The deal's weights.
#include <gtest/gtest.h>

#include <map>

#include "rules/deal.h"

namespace quorbit::rules {
namespace {

TEST(Deal, EachLetterCoversAsManyDrawsAsItsWeight) {
    const std::map<char, int> weights = {
        {'A', 9}, {'E', 12}, {'I', 9}, {'O', 8}, {'U', 3}, {'D', 5}, {'G', 3}, {'H', 2}, {'L', 4},
        {'M', 2}, {'N', 6},  {'P', 2}, {'R', 6}, {'S', 4}, {'T', 6}, {'Y', 2}, {'B', 2}, {'C', 2},
        {'F', 2}, {'J', 1},  {'K', 1}, {'W', 2}, {'Q', 1}, {'V', 2}, {'X', 1}, {'Z', 1}};
    std::map<char, int> counts;
    for (int v = 1; v <= 98; ++v) {
        const int code = drawcode(v);
        ASSERT_GE(code, 1);
        ASSERT_LE(code, 26);
        ++counts[static_cast<char>('A' + code - 1)];
    }
    EXPECT_EQ(counts, weights);
    EXPECT_EQ(drawcode(1), 1);    // A
    EXPECT_EQ(drawcode(21), 5);   // E ends at 21
    EXPECT_EQ(drawcode(22), 9);   // I starts at 22
    EXPECT_EQ(drawcode(94), 17);  // Q
    EXPECT_EQ(drawcode(98), 26);  // Z
}

}  // namespace
}  // namespace quorbit::rules
