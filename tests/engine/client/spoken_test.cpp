// What a screen reader is told about the squares, the rack, the seats, the clock and the arrows.
#include "client/spoken.h"
#include "harness.h"

namespace quorbit::client::testing {
namespace {

namespace sp = spoken;

TEST_F(ClientTest, SquaresSayLetterWorthPlaceKindAndChainPlace) {
    myTurn();  // the letter at (x, y) is 1 + (x + y) % 26
    EXPECT_EQ(sp::square(st(), {3, 2}), "F, 5 points, column 4, row 3");
    EXPECT_EQ(sp::square(st(), {2, 2}), "E, 1 point, column 3, row 3, triple letter");
    EXPECT_EQ(sp::square(st(), {0, 0}), "A, 1 point, column 1, row 1, double letter");
    EXPECT_EQ(sp::square(st(), {3, 0}), "D, 1 point, column 4, row 1, triple word");
    EXPECT_EQ(sp::square(st(), {5, 1}), "G, 3 points, column 6, row 2, double word");
    EXPECT_EQ(sp::square(st(), {3, 3}), "G, 3 points, column 4, row 4, bonus");
    EXPECT_EQ(sp::square(st(), {7, 0}), "");

    clickSquare(1, 1);
    clickSquare(2, 2);
    EXPECT_EQ(sp::square(st(), {1, 1}), "C, 3 points, column 2, row 2, double word, selected, letter 1 of the chain");
    EXPECT_EQ(sp::square(st(), {2, 2}), "E, 1 point, column 3, row 3, triple letter, selected, letter 2 of the chain");
    EXPECT_EQ(sp::rackSlot(st(), 2), "letter 2 of the chain: E, 1 point");
    EXPECT_EQ(sp::rackSlot(st(), 3), "letter 3 of the chain: empty");
    EXPECT_EQ(sp::rackSlot(st(), 8), "");

    // Taken back, the square is no longer part of the chain; another player's chain is told too.
    engine.rackClick(2);
    EXPECT_EQ(sp::square(st(), {2, 2}), "E, 1 point, column 3, row 3, triple letter");
    serve(tc::nextplayer(2, 1));
    serve(tc::selectletter(2, 1, 4, 4));
    EXPECT_EQ(sp::square(st(), {4, 4}), "I, 1 point, column 5, row 5, triple letter, selected, letter 1 of the chain");
    // The word's squares, emptied, are no longer a chain.
    serve(tc::madeword(2, "IT", 2, 2, 0, 2, {{4, 4}, {4, 5}}));
    EXPECT_EQ(sp::square(st(), {4, 4}), "empty, column 5, row 5, triple letter");
}

TEST_F(ClientTest, SeatsSayNameScoreStateAndTurn) {
    EXPECT_EQ(sp::seat(st(), 3), "seat 3, waiting for a player");
    myTurn(1);
    EXPECT_EQ(sp::seat(st(), 1), "Ann, 0 points, playing, your turn");
    EXPECT_EQ(sp::seat(st(), 2), "P2, 0 points, playing");
    serve(tc::madeword(1, "AB", 1, 1, 1, 0, {{0, 0}, {0, 1}}));
    EXPECT_EQ(sp::seat(st(), 1), "Ann, 1 point, playing, last word AB +1");
    serve(tc::nextplayer(4, 0));
    EXPECT_EQ(sp::seat(st(), 4), "P4, 0 points, playing, their turn");
    serve(tc::justwatching(3, 1));
    EXPECT_EQ(sp::seat(st(), 3), "P3, 0 points, just watching");
    serve(tc::startgame({"Ann", 200, 60, true, 1}));
    EXPECT_EQ(sp::seat(st(), 2), "P2, 0 points, Team B, playing");
    EXPECT_EQ(sp::seat(st(), 3), "P3, 0 points, Team A, playing");  // a new game clears the eye mark
    EXPECT_EQ(sp::seat(st(), 0), "");
    EXPECT_EQ(sp::shuffles(st(), 1), "1 Quorbit Shuffle left");
    serve(tc::shufflesl({0, 9, 2, 1}));
    EXPECT_EQ(sp::shuffles(st(), 1), "0 Quorbit Shuffles left");
    EXPECT_EQ(sp::shuffles(st(), 2), "5 Quorbit Shuffles left");  // the picture shows at most five
}

TEST_F(ClientTest, ClockAndArrowsSayWhatTheyMean) {
    EXPECT_EQ(sp::clock(st()), "0 seconds left");
    myTurn();
    EXPECT_EQ(sp::clock(st()), "60 seconds left");
    for (int i = 0; i < 59; ++i) engine.timer2Tick();
    EXPECT_EQ(sp::clock(st()), "1 second left");
    EXPECT_EQ(sp::arrow(1), "slide the tiles toward the bottom row");
    EXPECT_EQ(sp::arrow(2), "slide the tiles toward the left column");
    EXPECT_EQ(sp::arrow(3), "slide the tiles toward the top row");
    EXPECT_EQ(sp::arrow(4), "slide the tiles toward the right column");
}

}  // namespace
}  // namespace quorbit::client::testing
