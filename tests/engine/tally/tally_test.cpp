#include "tally/tally.h"

#include <gtest/gtest.h>

#include "common/numbers.h"

using namespace quorbit::tally;

namespace {
std::vector<std::string> col(const Grid& g, int row) {
    return {g[row].begin(), g[row].end()};
}
}  // namespace

TEST(Tally, FirstStartShowsZerosAndCountsNothingAlone) {
    Tally t;
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(t.mylabel(n), "0");
    EXPECT_TRUE(t.listboxTally().empty());
    // No other players in the current game: nothing is counted.
    t.anotherword(3);
    t.addtomineset(4, 12, "CAT");
    EXPECT_EQ(t.grid()[0][3], "0");
    EXPECT_EQ(t.grid()[0][4], "0");
    t.addgame(kAddToMine, {});
    EXPECT_EQ(t.grid()[0][1], "0");
}

TEST(Tally, SoloWinAgainstFollowedZubo) {
    Tally t;
    t.loadchecklist({"Zubo"});
    t.follow(0);
    ASSERT_EQ(t.listboxTally().size(), 1u);
    EXPECT_TRUE(t.checklist()[0].checked);
    t.anotherword(3);
    t.addtomineset(4, 14, "STORM");
    t.addgame(kAddToMine, {"Zubo"});
    EXPECT_EQ(col(t.grid(), 0), (std::vector<std::string>{"0", "1", "1", "1", "STORM", "14", "0", "0", "0"}));
    EXPECT_EQ(col(t.grid(), 1), (std::vector<std::string>{"Zubo", "1", "0", "1", "0", "1", "0", "1", "0"}));
    EXPECT_EQ(t.mylabel(1), "1");
    EXPECT_EQ(t.mylabel(2), "1");
    EXPECT_EQ(t.mylabel(3), "1");
    EXPECT_EQ(t.mylabel(4), "STORM (14)");
}

TEST(Tally, OpponentWinAndThirdPlayerWin) {
    Tally t;
    t.loadchecklist({"Ann", "Bob"});
    t.follow(0);
    t.follow(1);
    t.addgame("Ann", {"Ann", "Bob"});
    EXPECT_EQ(col(t.grid(), 1), (std::vector<std::string>{"Ann", "1", "1", "0", "0", "1", "1", "0", "0"}));
    EXPECT_EQ(col(t.grid(), 2), (std::vector<std::string>{"Bob", "1", "0", "0", "1", "1", "0", "0", "1"}));
    EXPECT_EQ(t.grid()[0][2], "0");  // the local player did not win
    // Names are compared exactly: "ann" is somebody else.
    t.addgame("ann", {"Ann"});
    EXPECT_EQ(t.grid()[1][4], "1");
}

TEST(Tally, BestWordIsReplacedOnlyByStrictlyMorePoints) {
    Tally t;
    t.loadchecklist({"Zubo"});
    t.addtomineset(4, 10, "CAT");
    t.addtomineset(4, 10, "DOG");
    EXPECT_EQ(t.grid()[0][4], "CAT");
    t.addtomineset(4, 11, "EMU");
    EXPECT_EQ(t.grid()[0][4], "EMU");
    EXPECT_EQ(t.mylabel(4), "EMU (11)");
    t.addtomineset(4, 3, "AX");
    EXPECT_EQ(t.grid()[0][5], "11");
}

TEST(Tally, RestartZeroesSessionColumnsAndKeepsTotals) {
    Tally t;
    t.loadchecklist({"Zubo"});
    t.follow(0);
    t.addgame("Zubo", {"Zubo"});
    Tally again;
    again.setGrid(t.grid());
    again.loadtally();
    EXPECT_EQ(col(again.grid(), 1), (std::vector<std::string>{"Zubo", "1", "1", "0", "0", "0", "0", "0", "0"}));
    ASSERT_EQ(again.listboxTally().size(), 1u);
    EXPECT_TRUE(again.listboxTally()[0].checked);
    EXPECT_EQ(again.mylabel(1), "1");
    EXPECT_EQ(again.mylabel(4), "0 (0)");
}

TEST(Tally, DroppingAsksAndRemovesOnlyThatRow) {
    Tally t;
    t.loadchecklist({"Ann", "Bob", "Cy"});
    for (int i = 0; i < 3; ++i) t.follow(i);
    EXPECT_EQ(t.dropQuestion(2), "This will delete Cy's Tally, Are you want to delete it?");
    t.drop(2, false);
    EXPECT_EQ(t.grid().size(), 4u);
    EXPECT_TRUE(t.listboxTally()[2].checked);
    t.drop(2, true);
    ASSERT_EQ(t.grid().size(), 3u);
    EXPECT_EQ(t.grid()[2][0], "Bob");
    EXPECT_EQ(t.listboxTally().back().name, "Bob");
    EXPECT_FALSE(t.checklist()[2].checked);
    t.drop(7, true);  // no such entry
    EXPECT_EQ(t.grid().size(), 3u);
}

TEST(Tally, FollowingTwiceAddsOneRowAndSelectionShowsTheRow) {
    Tally t;
    t.loadchecklist({"Ann"});
    t.follow(0);
    t.follow(0);
    EXPECT_EQ(t.grid().size(), 2u);
    t.addgame(kAddToMine, {"Ann"});
    t.select(0);
    EXPECT_EQ(t.label(1), "1");
    EXPECT_EQ(t.label(3), "1");
    EXPECT_EQ(t.labelHisname(), "Ann Wins:");
    EXPECT_EQ(t.labelHisnametop(), "Ann's Tally");
    t.addgame(kAddToMine, {"Ann"});  // a selected opponent's labels follow the game
    EXPECT_EQ(t.label(1), "2");
}

TEST(Tally, ResetEmptiesEverything) {
    Tally t;
    t.loadchecklist({"Ann"});
    t.follow(0);
    t.addgame(kAddToMine, {"Ann"});
    t.reset();
    ASSERT_EQ(t.grid().size(), 1u);
    EXPECT_EQ(col(t.grid(), 0), (std::vector<std::string>{"", "0", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_TRUE(t.listboxTally().empty());
    EXPECT_EQ(t.mylabel(1), "0");
    EXPECT_EQ(t.label(8), "0");
}

TEST(Tally, DamagedCounterRaisesButBestWordIgnoresIt) {
    Tally t;
    Grid g(1);
    g[0].fill("x");
    t.setGrid(g);
    t.loadchecklist({"Ann"});
    EXPECT_THROW(t.anotherword(3), quorbit::ConversionError);
    t.addtomineset(4, 50, "QUIZ");
    EXPECT_EQ(t.grid()[0][4], "x");
}
