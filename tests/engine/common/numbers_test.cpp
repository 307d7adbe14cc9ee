#include "common/numbers.h"

#include <gtest/gtest.h>

using namespace quorbit;

TEST(ToInt, AcceptsOnlySignedDecimalIn32Bits) {
    EXPECT_EQ(toInt("0"), 0);
    EXPECT_EQ(toInt("-17"), -17);
    EXPECT_EQ(toInt("2147483647"), 2147483647);
    EXPECT_EQ(toInt("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "-", "2147483648", "-2147483649", "+5", " 5", "5 ", "0x10", "$10", "1e3",
                            "99999999999999999999"})
        EXPECT_FALSE(toInt(bad).has_value()) << bad;
}

TEST(StrToInt, ThrowsWhatToIntRefuses) {
    EXPECT_EQ(strToInt("-5"), -5);
    EXPECT_THROW(strToInt("5x"), ConversionError);
}
