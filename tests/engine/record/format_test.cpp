// The file form of a record: what is written comes back byte for byte, and anything
// that is not a whole record of this version is refused with a reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "protocol/framing.h"
#include "protocol/limits.h"
#include "record/record.h"

namespace quorbit::record {
namespace {

using ::testing::HasSubstr;

Record sample() {
    Record r;
    r.header.date = "2026-12-09T19:22:28Z";
    r.header.program = "1.0.10";
    r.header.ownSeat = 1;
    r.header.seats = {"Ann", "Zubo", "", "B\\o b+\nx"};
    r.header.playTo = 100;
    r.header.seconds = 60;
    r.header.shuffles = 2;
    r.header.team = true;
    std::string everyByte;
    for (int c = 0; c < 0xFF; ++c) everyByte.push_back(static_cast<char>(c));
    r.entries = {{0, "CMD_startgame+Ann+100+60+t+2+"},
                 {15, everyByte},
                 {15, "CMD_chat+Ann+caf\xE9 \\x41|clRed"},  // Windows-1252 and a literal backslash
                 {20, "CMD_chat+Ann+caf\xC3\xA9|clRed"},    // UTF-8
                 {21, ""},
                 {40, "CMD_winner+Ann+"}};
    r.ending = Ending::Winner;
    r.endMs = 41;
    return r;
}

TEST(RecordFormat, EveryByteOfEveryLineAndTheHeaderComeBack) {
    const Record r = sample();
    const ReadResult back = readRecord(writeRecord(r));
    ASSERT_TRUE(back.record) << back.error;
    const Record& b = *back.record;
    EXPECT_EQ(b.header.date, r.header.date);
    EXPECT_EQ(b.header.program, r.header.program);
    EXPECT_EQ(b.header.ownSeat, 1);
    EXPECT_EQ(b.header.seats, r.header.seats);
    EXPECT_EQ(b.header.playTo, 100);
    EXPECT_EQ(b.header.seconds, 60);
    EXPECT_EQ(b.header.shuffles, 2);
    EXPECT_TRUE(b.header.team);
    ASSERT_EQ(b.entries.size(), r.entries.size());
    for (std::size_t i = 0; i < r.entries.size(); ++i) {
        EXPECT_EQ(b.entries[i].ms, r.entries[i].ms) << i;
        EXPECT_EQ(b.entries[i].line, r.entries[i].line) << i;
    }
    EXPECT_EQ(b.ending, Ending::Winner);
    EXPECT_EQ(b.endMs, 41);
}

TEST(RecordFormat, TheFileIsUtf8TextWithOneEntryALine) {
    const std::string text = writeRecord(sample());
    EXPECT_TRUE(protocol::isValidUtf8(text));
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    // magic, date, program, own seat, four seats, four options, "game", six entries, end
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 3 + 4 + 4 + 1 + 6 + 1);
    EXPECT_EQ(text.substr(0, 17), "quorbit-record 1\n");
    EXPECT_THAT(text, HasSubstr("\n0 CMD_startgame+Ann+100+60+t+2+\n"));
    EXPECT_THAT(text, HasSubstr("\nend 41 winner\n"));
    Record unknown;
    unknown.header.date = "d";
    EXPECT_THAT(writeRecord(unknown), HasSubstr("\nplay-to ?\nseconds ?\nshuffles ?\nteam no\n"));
}

TEST(RecordFormat, EscapesAreStrict) {
    EXPECT_EQ(escapeField("a\\b\n"), "a\\\\b\\x0A");
    EXPECT_EQ(*unescapeField("\\x41\\x0a\\\\"), "A\n\\");
    for (const char* bad : {"\\", "\\x", "\\x4", "\\xG1", "\\n", "\\xFF", "a\tb", "\x7F"})
        EXPECT_FALSE(unescapeField(bad)) << bad;
}

TEST(RecordFormat, EveryCutShortCopyIsRefused) {
    const std::string text = writeRecord(sample());
    // All but the final newline is still whole.
    for (std::size_t n = 0; n + 1 < text.size(); ++n) {
        const ReadResult r = readRecord(text.substr(0, n));
        EXPECT_FALSE(r.record) << "cut at " << n;
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_TRUE(readRecord(text.substr(0, text.size() - 1)).record);
}

struct Damage {
    std::string text;
    std::string says;
};

TEST(RecordFormat, DamagedAndUnknownRecordsAreRefusedWithAReason) {
    const std::string head = "quorbit-record 1\ndate d\nprogram p\nown-seat 1\nseat 1 Ann\ngame\n";
    const std::vector<Damage> cases = {
        {"", "not a Quorbit game record"},
        {"PK\x03\x04 zip", "not a Quorbit game record"},
        {"quorbit-record\n", "no version"},
        {"quorbit-record 2\ndate d\ngame\nend 0 closed\n", "version 2, which this program cannot read"},
        {"quorbit-record 1\ndate d\n", "ends before its game lines"},
        {"quorbit-record 1\nprogram p\ngame\nend 0 closed\n", "has no date"},
        {"quorbit-record 1\ndate d\nseat 5 Eve\ngame\nend 0 closed\n", "line 3: a seat that is not 1 to 4"},
        {"quorbit-record 1\ndate d\nown-seat 12\ngame\nend 0 closed\n", "own seat"},
        {"quorbit-record 1\ndate d\nteam maybe\ngame\nend 0 closed\n", "team flag"},
        {"quorbit-record 1\ndate d\nplay-to lots\ngame\nend 0 closed\n", "not a number"},
        {"quorbit-record 1\ndate d\nBAD LINE\ngame\nend 0 closed\n", "not a header line"},
        {head + "5 CMD_x+1\n", "ends before its end line"},
        {head + "5 CMD_x+1\n4 CMD_y+1\nend 9 closed\n", "line 8: a game line earlier than the one before it"},
        {head + "CMD_x+1\nend 9 closed\n", "without its time"},
        {head + "-1 CMD_x+1\nend 9 closed\n", "without its time"},
        {head + "5 CMD_\\q\nend 9 closed\n", "broken escape"},
        {head + "5 CMD_\x01\nend 9 closed\n", "control character"},
        {head + "5 CMD_x+1\nend 4 closed\n", "end time before"},
        {head + "5 CMD_x+1\nend 9 abandoned\n", "neither winner nor closed"},
        {head + "end 9 winner\n0 CMD_x+1\n", "text after the end line"},
        {head + "1 " + std::string(protocol::kMaxTail + 1, 'a') + "\nend 9 winner\n", "longer than any"},
    };
    for (const Damage& d : cases) {
        const ReadResult r = readRecord(d.text);
        EXPECT_FALSE(r.record) << d.text;
        EXPECT_THAT(r.error, HasSubstr(d.says)) << d.text;
    }
    // Header keys of a later program of the same version are skipped.
    EXPECT_TRUE(readRecord("quorbit-record 1\ndate d\nfavourite-colour blue\ngame\nend 0 closed\n").record);
}

// A record is read within the game's own limits: names as the server cuts them, and no
// more lines than a recording ever holds.
TEST(RecordFormat, NamesAreCutAndEntriesCappedWhenRead) {
    const std::string head = "quorbit-record 1\ndate " + std::string(5000, '2') + "\nseat 1 " +
                             std::string(60 * 1024, 'M') + "\ngame\n";
    const ReadResult r = readRecord(head + "0 CMD_x+1\nend 0 closed\n");
    ASSERT_TRUE(r.record) << r.error;
    EXPECT_EQ(r.record->header.seats[0], std::string(protocol::kMaxNameChars, 'M'));
    EXPECT_EQ(r.record->header.date.size(), kMaxHeaderTextChars);

    std::string lines;
    for (std::size_t i = 0; i < kMaxRecordEntries; ++i) lines += "0\n";
    EXPECT_TRUE(readRecord(head + lines + "end 0 closed\n").record);
    const ReadResult over = readRecord(head + lines + "0\nend 0 closed\n");
    EXPECT_FALSE(over.record);
    EXPECT_THAT(over.error, HasSubstr("more game lines than any game has"));
}

}  // namespace
}  // namespace quorbit::record
