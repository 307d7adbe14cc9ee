#include "protocol/limits.h"

#include <gtest/gtest.h>

#include "protocol/framing.h"

using namespace quorbit::protocol;

TEST(Limits, NamesLoseControlsAndBlanksAndAreCutInCharacters) {
    EXPECT_EQ(cleanName("  Ann\t\r\n "), "Ann");
    EXPECT_EQ(cleanName("A\x01n\x7Fn"), "Ann");
    EXPECT_EQ(cleanName("B\xC2\x85o"), "Bo");               // U+0085, a C1 control
    EXPECT_EQ(cleanName(std::string(30, 'x')), std::string(24, 'x'));
    // 30 e-acute: cut at 24 characters, never inside one.
    std::string accents;
    for (int i = 0; i < 30; ++i) accents += "\xC3\xA9";
    EXPECT_EQ(cleanName(accents).size(), 48u);
    EXPECT_TRUE(isValidUtf8(cleanName(accents)));
    // A blank left at the cut is trimmed too.
    std::string blankAtCut(23, 'y');
    blankAtCut += "  z";
    EXPECT_EQ(cleanName(blankAtCut), std::string(23, 'y'));
    EXPECT_EQ(cleanName("\x01\x02 "), "");
}

TEST(Limits, ChatTextIsCutAfterDecodingAndKeepsItsColour) {
    // 60,000 bytes read as Windows-1252 become 180,000 bytes of UTF-8.
    const std::string decoded = decodeWireText(std::string(60000, '\x80'));
    ASSERT_EQ(decoded.size(), 180000u);
    const std::string capped = capChatText(decoded + "|clRed");
    EXPECT_EQ(capped.size(), kMaxTextChars * 3 + 6);
    EXPECT_EQ(capped.substr(capped.size() - 6), "|clRed");
    EXPECT_EQ(capChatText("hi|" + std::string(100, 'c')), "hi|" + std::string(kMaxColourChars, 'c'));
    EXPECT_EQ(capChatText(std::string(2000, 'a')), std::string(kMaxTextChars, 'a'));
    EXPECT_EQ(capChatText("a+b|clBlue"), "a+b|clBlue");
}
