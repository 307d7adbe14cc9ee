// The shareable text of a game, and what the "Recent Games" list reads from a record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "record/keep.h"
#include "protocol/limits.h"
#include "record/recorder.h"
#include "record/summary.h"
#include "scripted_game.h"

namespace quorbit::record::testing {
namespace {

using ::testing::ElementsAre;

Record recorded(std::vector<Timed> game) {
    Recorder r("1.0.10", [] { return std::string("2026-12-09T19:22:28Z"); });
    for (const auto& t : loginLines()) r.line(t.line, t.ms);
    for (const auto& t : game) r.line(t.line, t.ms);
    r.closed(100000);
    return r.takeFinished().at(0);
}

TEST(Summary, TextOfAKnownGame) {
    EXPECT_EQ(summaryText(summarise(recorded(gameLines()))),
              "Quorbit game of 2026-12-09T19:22:28Z\n"
              "Players: Ann (seat 1), Zubo (seat 2)\n"
              "Play to 20 points\n"
              "Words:\n"
              "  1. Ann: CAB for 12 points (Ann 12, Zubo 0)\n"
              "  2. Zubo: DOG for 5 points (Ann 12, Zubo 5)\n"
              "  3. Ann: ZAP for 14 points (Ann 26, Zubo 5)\n"
              "Final scores: Ann 26, Zubo 5\n"
              "Winner: Ann\n");
}

TEST(Summary, TeamsLateArrivalsBadFieldsAndAGameWithoutWinner) {
    std::vector<Timed> game = {
        {0, tc::startgame({"Ann", 40, 60, true, 1})},
        {10, tc::newplayerinfo(3, "Cy+Dee")},  // a name may hold "+"
        {20, tc::madeword(3, "OX", 9, 9, 9, 0, {{0, 0}, {0, 1}})},
        {30, "CMD_madeword+2+BAD+x+4+0+4+0+0+"},  // abandoned by the client at the points: not a word
        {40, tc::madeword(2, "CAT", 4, 4, 9, 4, {{0, 0}, {0, 1}, {0, 2}})},
    };
    const GameSummary s = summarise(recorded(game));
    EXPECT_THAT(s.players, ElementsAre("Ann", "Zubo", "Cy+Dee", ""));
    ASSERT_EQ(s.words.size(), 2u);
    EXPECT_EQ(s.words[0].player, "Cy+Dee");
    EXPECT_EQ(s.winner, "");
    const std::string text = summaryText(s);
    EXPECT_THAT(text, ::testing::HasSubstr("  2. Zubo: CAT for 4 points (Ann 0, Zubo 4, Cy+Dee 9; Team A 9, Team B 4)\n"));
    EXPECT_THAT(text, ::testing::HasSubstr("Play to 40 points, teams\n"));
    EXPECT_THAT(text, ::testing::EndsWith("No winner: the game ended before anyone won.\n"));
}

TEST(Summary, ALateJoinerStartsFromTheScoresItWasTold) {
    Record r;
    r.header.seats = {"Ann", "Bo", "", ""};
    tc::GameStats stats;
    stats.scores = {30, 41, 0, 0};
    r.entries = {{0, tc::gamestats(stats)}, {5, tc::winner("Bo")}};
    const GameSummary s = summarise(r);
    EXPECT_THAT(s.scores, ElementsAre(30, 41, 0, 0));
    EXPECT_EQ(s.winner, "Bo");
    EXPECT_EQ(summaryText(s),
              "Quorbit game\nPlayers: Ann (seat 1), Bo (seat 2)\nWords:\n  none\nFinal scores: Ann 30, Bo 41\nWinner: Bo\n");
}

TEST(Keep, OnlyTheNewestTwoHundredRecordsStay) {
    std::vector<std::string> names = {"notes.txt", "20261209-192228-000.qrec.tmp", "x.qrec", "20261209-1922-000.qrec"};
    for (int i = 0; i < 203; ++i) {
        Moment m{2026, 12, 9, 10 + i / 60, i % 60, 0, 0};
        names.push_back(recordFileName(m));
    }
    names.push_back(recordFileName({2026, 12, 9, 10, 0, 0, 0}, 9));   // same moment, taken twice
    names.push_back(recordFileName({2026, 12, 9, 10, 0, 0, 0}, 10));
    std::reverse(names.begin(), names.end());
    const auto gone = recordsBeyondCap(names);
    EXPECT_THAT(gone, ElementsAre("20261209-100000-000.qrec", "20261209-100000-000-9.qrec", "20261209-100000-000-10.qrec",
                                  "20261209-100100-000.qrec", "20261209-100200-000.qrec"));
    EXPECT_TRUE(recordsBeyondCap({"a", "b"}, 0).empty());
    EXPECT_TRUE(isRecordFileName("20261209-192228-123-4.qrec"));
    EXPECT_FALSE(isRecordFileName("../20261209-192228-123.qrec"));
    EXPECT_FALSE(isRecordFileName("20261209-192228-123-.qrec"));
}

// Whatever a record holds, its text is valid UTF-8 without control characters (but the
// line ends), and names and words are no longer than the game keeps them.
TEST(Summary, TextIsPrintableAndWithinTheGamesLimits) {
    Record r;
    r.header.date = "2026-12-09T19:22:28Z\x1B[2J";
    r.header.seats = {"Ann\xFF\xFE", std::string(60 * 1024, 'Z'), "", ""};
    r.entries = {{0, tc::madeword(2, std::string(5000, 'W'), 1, 1, 0, 0, {{1, 1}})},
                 {1, tc::newplayerinfo(3, "Eve\u202Elive")},
                 {2, tc::winner("Mallory\x1B]0;pwned\x07\x1B[2J")}};
    const GameSummary s = summarise(r);
    ASSERT_EQ(s.words.size(), 1u);
    EXPECT_EQ(s.words[0].player.size(), protocol::kMaxNameChars);
    EXPECT_EQ(s.words[0].word.size(), protocol::kMaxTextChars);
    const std::string text = summaryText(s);
    EXPECT_TRUE(protocol::isValidUtf8(text));
    for (const char c : text) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << text;
    EXPECT_THAT(text, ::testing::HasSubstr("Winner: Mallory\\x1B]0;pwned\\x07\\x1B[2J\n"));
    EXPECT_THAT(text, ::testing::HasSubstr("Ann\xEF\xBF\xBD\xEF\xBF\xBD (seat 1)"));
    EXPECT_THAT(text, ::testing::HasSubstr("Eve\\u202Elive (seat 3)"));
    EXPECT_THAT(text, ::testing::StartsWith("Quorbit game of 2026-12-09T19:22:28Z\\x1B[2J\n"));
}

}  // namespace
}  // namespace quorbit::record::testing
