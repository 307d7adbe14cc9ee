#include "common/escape.h"

#include <gtest/gtest.h>

using quorbit::escapeForLog;

TEST(Escape, ControlsFormatCharactersAndBrokenUtf8BecomeHexAndTheRestStays) {
    EXPECT_EQ(escapeForLog("Ann\n[x] \x1B[2J\x07\x7F"), "Ann\\x0A[x] \\x1B[2J\\x07\\x7F");
    EXPECT_EQ(escapeForLog("a\xC2\x85" "b"), "a\\xC2\\x85b");                  // C1 control U+0085
    EXPECT_EQ(escapeForLog("\xE2\x80\xAE" "evil"), "\\xE2\\x80\\xAEevil");     // U+202E
    EXPECT_EQ(escapeForLog("x\xFF\xC3"), "x\\xFF\\xC3");                        // not UTF-8
    EXPECT_EQ(escapeForLog("\xED\xA0\x80"), "\\xED\\xA0\\x80");                 // a surrogate
    EXPECT_EQ(escapeForLog(std::string("a\0b", 3)), "a\\x00b");
    EXPECT_EQ(escapeForLog("C:\\x41"), "C:\\\\x41");  // a typed escape stays told apart
    EXPECT_EQ(escapeForLog("Jos\xC3\xA9 \xF0\x9F\x98\x80"), "Jos\xC3\xA9 \xF0\x9F\x98\x80");
}
