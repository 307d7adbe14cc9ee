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

TEST(Limits, NamesLoseFormatCharactersAndWideSpacesButKeepTheirLook) {
    EXPECT_EQ(cleanName("\u202Eevil\u202C Ann"), "evil Ann");
    EXPECT_EQ(cleanName("\u3000\u00A0Zubo\u200B\u2028\u00A0"), "Zubo");
    EXPECT_EQ(cleanName("\uFF3A\uFF55\uFF42\uFF4F"), "\uFF3A\uFF55\uFF42\uFF4F");  // shown as typed
    EXPECT_EQ(cleanName("Zu\xFF\xC3" "bo"), "Zubo");  // not UTF-8
    EXPECT_FALSE(usableName(cleanName("\u2003 \u00A0")));
    EXPECT_FALSE(usableName("\u3164\uFE0F"));  // a filler and a variation selector show nothing
    EXPECT_TRUE(usableName("Ann"));
}

TEST(Limits, NamesAreComparedAfterNfkcCaseFoldingAndLatinLookalikes) {
    for (const char* name : {"Zubo", "ZUBO", "Zubo\u200B", "\uFF3A\uFF55\uFF42\uFF4F", "Zubo\u00A0",
                             "Zub\u043E", "\u0396ub\u03BF", "\U0001D419ubo"})
        EXPECT_TRUE(sameName(name, "zubo")) << name;
    // Composed and decomposed accents, the sharp s, and spaces of other widths.
    EXPECT_TRUE(sameName("Jos\u00E9", "JOSE\u0301"));
    EXPECT_TRUE(sameName("Stra\u00DFe", "STRASSE"));
    EXPECT_TRUE(sameName("Ann  Lee", "ann\u2003lee"));
    EXPECT_TRUE(sameName("a\u0323\u0301", "a\u0301\u0323"));  // marks in canonical order
    EXPECT_TRUE(sameName("\uD55C", "\u1112\u1161\u11AB"));     // Hangul syllable and its letters
    EXPECT_FALSE(sameName("Zubo", "Zube"));
    EXPECT_FALSE(sameName("Jos\u00E9", "Jose"));
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
