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

TEST(LineCutter, OverlongLineIsReportedOnceAndSkippedThroughItsTerminator) {
    LineCutter c;
    std::vector<std::string> out;
    EXPECT_TRUE(c.feed(std::string(kMaxTail, 'a'), out));  // at the limit: still a line
    EXPECT_FALSE(c.feed("b", out));
    EXPECT_EQ(c.tailSize(), 0u);
    EXPECT_TRUE(c.skipping());
    EXPECT_TRUE(c.feed(std::string(100000, 'c'), out));  // still the same line
    EXPECT_EQ(c.tailSize(), 0u);
    EXPECT_TRUE(c.feed("CMD_full+\xFF" "CMD_ok+\xFF", out));
    EXPECT_EQ(out, std::vector<std::string>{"CMD_ok+"});
    EXPECT_FALSE(c.skipping());
}

TEST(LineCutter, LineOfExactlyTheLimitIsKeptAndOneMoreIsDropped) {
    for (const std::size_t chunk : {std::size_t{1000}, kMaxTail + 2}) {
        LineCutter c;
        std::vector<std::string> out;
        std::string bytes(kMaxTail, 'a');
        bytes += '\xFF';
        bytes.append(kMaxTail + 1, 'b');
        bytes += "\xFFz\xFF";
        bool whole = true;
        for (std::size_t at = 0; at < bytes.size(); at += chunk)
            whole = c.feed(std::string_view(bytes).substr(at, chunk), out) && whole;
        EXPECT_FALSE(whole);
        ASSERT_EQ(out.size(), 2u) << chunk;
        EXPECT_EQ(out[0].size(), kMaxTail);
        EXPECT_EQ(out[1], "z");
    }
}

// A forged message placed inside one long line, at every offset around where a cutter
// could cut it, and read in pieces of many sizes, never comes out as a line.
TEST(LineCutter, ForgedMessageInsideAnOverlongLineIsNeverHandedOut) {
    const std::string forged = "CMD_full+";
    for (const std::size_t read : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, kMaxTail - 1, kMaxTail,
                                   kMaxTail + 1, std::size_t{1} << 20}) {
        for (std::size_t at = kMaxTail - 12; at <= kMaxTail + 12; at += (read == 1 ? 6 : 1)) {
            std::string line = "CMD_chat+2+" + std::string(at - 11, 'x') + forged + std::string(300, 'y');
            const std::string bytes = line + "\xFF" + "CMD_chat+2+after\xFF";
            LineCutter c;
            std::vector<std::string> out;
            int overflows = 0;
            for (std::size_t i = 0; i < bytes.size(); i += read)
                if (!c.feed(std::string_view(bytes).substr(i, read), out)) ++overflows;
            EXPECT_EQ(overflows, 1) << "read " << read << " at " << at;
            EXPECT_EQ(out, std::vector<std::string>{"CMD_chat+2+after"}) << "read " << read << " at " << at;
        }
    }
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
