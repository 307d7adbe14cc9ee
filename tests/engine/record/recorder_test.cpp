// Recording what a client receives: exactly the game's lines, from its start (or a late
// joiner's catch-up) to its winner or the end of the connection, with who sat where.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "protocol/limits.h"
#include "record/recorder.h"
#include "scripted_game.h"

namespace quorbit::record::testing {
namespace {

using ::testing::ElementsAre;

Recorder makeRecorder() { return Recorder("1.0.10", [] { return std::string("2026-12-09T19:22:28Z"); }); }

void feed(Recorder& r, const std::vector<Timed>& lines, std::size_t chunk = 0) {
    for (const Timed& t : lines) {
        const std::string bytes = protocol::frame(t.line);
        if (chunk == 0) {
            r.received(bytes, t.ms);
        } else {
            for (std::size_t i = 0; i < bytes.size(); i += chunk) r.received(bytes.substr(i, chunk), t.ms);
        }
    }
}

TEST(Recorder, KeepsExactlyTheGamesLinesWithTheirTimesWhateverTheReadsLookLike) {
    for (const std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
        Recorder r = makeRecorder();
        feed(r, loginLines(), chunk);
        EXPECT_FALSE(r.recording());
        feed(r, gameLines(), chunk);
        const auto records = r.takeFinished();
        ASSERT_EQ(records.size(), 1u) << chunk;
        const Record& rec = records[0];
        const auto game = gameLines();
        ASSERT_EQ(rec.entries.size(), game.size());
        for (std::size_t i = 0; i < game.size(); ++i) {
            EXPECT_EQ(rec.entries[i].line, game[i].line) << i;
            EXPECT_EQ(rec.entries[i].ms, game[i].ms - 1000) << i;
        }
        EXPECT_EQ(rec.ending, Ending::Winner);
        EXPECT_EQ(rec.endMs, 18200);
        const Header& h = rec.header;
        EXPECT_EQ(h.date, "2026-12-09T19:22:28Z");
        EXPECT_EQ(h.program, "1.0.10");
        EXPECT_EQ(h.ownSeat, 1);
        EXPECT_THAT(h.seats, ElementsAre("Ann", "Zubo", "", ""));  // the computer takes the free seat 2
        EXPECT_EQ(h.playTo, 20);
        EXPECT_EQ(h.seconds, 60);
        EXPECT_EQ(h.shuffles, 1);
        EXPECT_FALSE(h.team);
        // What follows the winner belongs to no game.
        feed(r, {{20000, "CMD_chat+Ann+gg|clBlack"}});
        EXPECT_FALSE(r.recording());
        EXPECT_TRUE(r.takeFinished().empty());
    }
}

TEST(Recorder, ALateJoinerRecordsFromItsCatchUp) {
    Recorder r = makeRecorder();
    tc::GameStats stats;
    stats.turnSeat = 2;
    stats.playTo = 150;
    stats.seconds = 30;
    stats.secondsLeft = 12;
    stats.team = true;
    stats.scores = {10, 20, 0, 0};
    feed(r, {{0, tc::sendlogininfo(3)},
             {1, tc::newplayerinfo(3, "Cy")},
             {2, tc::existingplayers(1, "Ann")},
             {3, tc::existingplayers(2, "Bo")},
             {4, tc::theboard(boardOf(1))},
             {5, tc::gamestats(stats)},
             {6, tc::shufflesl({1, 1, 1, 1})}});
    ASSERT_TRUE(r.recording());
    r.closed(700);
    const auto records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    const Record& rec = records[0];
    ASSERT_EQ(rec.entries.size(), 3u);
    EXPECT_EQ(rec.entries[0].line, tc::theboard(boardOf(1)));
    EXPECT_EQ(rec.entries[1].line, tc::gamestats(stats));
    EXPECT_EQ(rec.ending, Ending::Closed);
    EXPECT_EQ(rec.endMs, 695);
    EXPECT_EQ(rec.header.ownSeat, 3);
    EXPECT_THAT(rec.header.seats, ElementsAre("Ann", "Bo", "Cy", ""));
    EXPECT_EQ(rec.header.playTo, 150);
    EXPECT_EQ(rec.header.seconds, 30);
    EXPECT_EQ(rec.header.shuffles, -1);  // a late joiner is never told
    EXPECT_TRUE(rec.header.team);
}

TEST(Recorder, AGameRestartedWithoutWinnerEndsTheFirstRecordAsClosed) {
    Recorder r = makeRecorder();
    auto game = gameLines();
    game.pop_back();  // no winner
    feed(r, loginLines());
    feed(r, game);
    feed(r, {{30000, tc::startgame({"Ann", 50, 30, false, 0})}});
    ASSERT_TRUE(r.recording());
    auto records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ending, Ending::Closed);
    EXPECT_EQ(records[0].entries.size(), game.size());
    r.closed(31000);
    records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].header.playTo, 50);
    EXPECT_EQ(records[0].endMs, 1000);
}

TEST(Recorder, AClockGoingBackNeverGivesEarlierTimes) {
    Recorder r = makeRecorder();
    feed(r, {{500, tc::startgame({"Ann", 20, 60, false, 1})}, {900, tc::theboard(boardOf(0))}, {100, tc::nextplayer(1, 1)}});
    r.closed(50);
    const auto records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].entries[2].ms, 400);
    EXPECT_EQ(records[0].endMs, 400);
}

TEST(Recorder, AFloodingPeerCannotGrowARecordWithoutLimit) {
    Recorder r = makeRecorder();
    feed(r, {{0, tc::startgame({"Ann", 20, 60, false, 1})}});
    const std::string chat = "CMD_chat+Ann+" + std::string(16000, 'x') + "|clBlack";
    std::size_t sent = 0;
    while (r.recording() && sent < 10000) {
        r.line(chat, 1);
        ++sent;
    }
    EXPECT_FALSE(r.recording());
    const auto records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ending, Ending::Closed);
    EXPECT_LE(writeRecord(records[0]).size(), kMaxRecordBytes);
    EXPECT_TRUE(readRecord(writeRecord(records[0])).record);
}

// The recorder's own engine keeps a hostile host's 60 KB name as the server would have
// cut it, and a record ends at the line cap the reader accepts.
TEST(Recorder, AHostileHostsNamesAndLinesStayWithinTheCaps) {
    Recorder r = makeRecorder();
    const std::string huge(60 * 1024, 'M');
    feed(r, {{0, tc::sendlogininfo(1)}, {0, tc::existingplayers(2, huge)}, {0, tc::startgame({"Ann", 20, 60, false, 1})}});
    std::size_t sent = 0;
    while (r.recording() && sent <= kMaxRecordEntries) {
        r.line(tc::madeword(2, "AB", 1, 1, 0, 0, {{1, 1}}), 1);
        ++sent;
    }
    const auto records = r.takeFinished();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].header.seats[1], std::string(protocol::kMaxNameChars, 'M'));
    EXPECT_EQ(records[0].entries.size(), kMaxRecordEntries);
    EXPECT_EQ(records[0].ending, Ending::Closed);
    EXPECT_TRUE(readRecord(writeRecord(records[0])).record);
}

}  // namespace
}  // namespace quorbit::record::testing
