#include "common/ascii.h"

#include <gtest/gtest.h>

using namespace quorbit;

// Only A..Z and a..z meet their other case; every other byte, a UTF-8 letter's included,
// must match itself exactly (a locale's tolower would fold Latin-1 capitals too).
TEST(AsciiCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("clAppWorkSpace", "CLAPPWORKSPACE"));
    EXPECT_TRUE(equalsIgnoringAsciiCase("", ""));
    EXPECT_FALSE(equalsIgnoringAsciiCase("classic", "classi"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("\xC9", "\xE9"));            // Latin-1 E acute, both cases
    EXPECT_FALSE(equalsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));    // the same in UTF-8
    EXPECT_FALSE(equalsIgnoringAsciiCase("@[", "`{"));                // the neighbours of A..Z and a..z
    EXPECT_EQ(asciiLowered("Http://X.Org/\xC3\x89"), "http://x.org/\xC3\x89");
}
