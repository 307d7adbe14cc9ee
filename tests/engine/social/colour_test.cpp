#include <gtest/gtest.h>

#include "social/colour.h"

namespace quorbit::social {
namespace {

TEST(ColourText, NamedColoursWriteByNameAndOthersAsEightHexDigits) {
    EXPECT_EQ(colourToText(kBlack), "clBlack");
    EXPECT_EQ(colourToText(kBlue), "clBlue");
    EXPECT_EQ(colourToText(Colour{0x808000}), "clTeal");
    EXPECT_EQ(colourToText(Colour{0xFF8040}), "$00FF8040");
    EXPECT_EQ(colourToText(Colour{0xFFFFFFFF}), "$FFFFFFFF");
    EXPECT_EQ(colourToText(Colour::fromRgb(186, 202, 239)), "$00EFCABA");
}

TEST(ColourText, ReadsNamesInAnyCaseNumbersAndSystemNames) {
    EXPECT_EQ(colourFromText("clRed"), Colour{0x0000FF});
    EXPECT_EQ(colourFromText("CLRED"), Colour{0x0000FF});
    EXPECT_EQ(colourFromText("clblack"), kBlack);
    EXPECT_EQ(colourFromText("$00FF8040"), Colour{0xFF8040});
    EXPECT_EQ(colourFromText("$ff"), Colour{0xFF});
    EXPECT_EQ(colourFromText("255"), Colour{0xFF});
    EXPECT_EQ(colourFromText("-1"), Colour{0xFFFFFFFF});
    EXPECT_EQ(colourFromText("clWindowText"), kBlack);
    for (const char* name : {"clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clGray",
                             "clSilver", "clLime", "clYellow", "clFuchsia", "clAqua", "clWhite"}) {
        const auto c = colourFromText(name);
        ASSERT_TRUE(c) << name;
        EXPECT_EQ(colourToText(*c), name);
    }
}

TEST(ColourText, AnythingElseIsAFailure) {
    for (const char* bad : {"", "$", "$123456789", "$12G4", "red", "clRedd", " 12", "12 ", "0x10",
                            "99999999999", "cl"})
        EXPECT_FALSE(colourFromText(bad)) << bad;
}

TEST(ColourText, RoundTripsEveryWrittenValue) {
    for (std::uint32_t v : {0u, 1u, 0x80u, 0xFFFFFFu, 0x01000000u, 0xDEADBEEFu}) {
        const auto back = colourFromText(colourToText(Colour{v}));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->value, v);
    }
}

TEST(Colour, ChannelsAndDrawingOrder) {
    const Colour c = Colour::fromRgb(0x12, 0x34, 0x56);
    EXPECT_EQ(c.value, 0x563412u);
    EXPECT_EQ(c.red(), 0x12);
    EXPECT_EQ(c.blue(), 0x56);
    EXPECT_EQ(c.rgb(), 0x123456u);
}

}  // namespace
}  // namespace quorbit::social
