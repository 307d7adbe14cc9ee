#include "protocol/framing.h"

#include <gtest/gtest.h>

using namespace quorbit::protocol;

namespace {
std::vector<std::string> cut(LineCutter& c, std::string_view bytes) {
    std::vector<std::string> out;
    EXPECT_TRUE(c.feed(bytes, out));
    return out;
}
}  // namespace

TEST(LineCutter, TwoMessagesInOneReadQueueInOrder) {
    LineCutter c;
    auto lines = cut(c, "CMD_chat+1+hi|clRed\xFF" "CMD_shuffle+1+\xFF");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "CMD_chat+1+hi|clRed");
    EXPECT_EQ(lines[1], "CMD_shuffle+1+");
    EXPECT_EQ(c.tailSize(), 0u);
}

TEST(LineCutter, SplitMessageIsJoinedAcrossReads) {
    LineCutter c;
    EXPECT_TRUE(cut(c, "CMD_sel").empty());
    EXPECT_TRUE(cut(c, "ectletter+1+2").empty());
    auto lines = cut(c, "+3+4+\xFF" "CMD_x");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "CMD_selectletter+1+2+3+4+");
    EXPECT_EQ(c.tailSize(), 5u);
}

TEST(LineCutter, EmptyEntriesAreQueuedAsEmptyLines) {
    LineCutter c;
    auto lines = cut(c, "\xFF\xFF");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "");
    EXPECT_FALSE(splitLine(lines[0]).has_value());
}

TEST(LineCutter, OverlongTailIsReportedAndDiscarded) {
    LineCutter c;
    std::vector<std::string> out;
    std::string big(kMaxTail, 'a');
    EXPECT_TRUE(c.feed(big, out));
    EXPECT_FALSE(c.feed("b", out));
    EXPECT_EQ(c.tailSize(), 0u);
    EXPECT_TRUE(out.empty());
}

TEST(WireText, Utf8PassesAndWindows1252IsConverted) {
    EXPECT_EQ(decodeWireText("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(decodeWireText("caf\xE9"), "caf\xC3\xA9");        // é in Windows-1252
    EXPECT_EQ(decodeWireText("\x80" "5"), "\xE2\x82\xAC" "5");  // the euro sign
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));                        // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));                    // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));                        // truncated
}

TEST(SplitLine, NameIsEverythingBeforeTheFirstPlus) {
    auto s = splitLine("CMD_chat+1+a+b");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "CMD_chat");
    EXPECT_EQ(s->payload, "1+a+b");
    EXPECT_FALSE(splitLine("CMD_full"));
    EXPECT_FALSE(splitLine("+1+2"));
    EXPECT_TRUE(splitLine("CMD_full+")->payload.empty());
}
