// Building, taking back, clearing and submitting a chain; echoes; the slide; the clock.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ClientTest, ChainAcceptsNeighboursAndRefusesTheRest) {
    myTurn();
    clickSquare(3, 3);  // the first square may be anywhere with a letter
    clickSquare(4, 4);  // diagonal
    clickSquare(4, 3);  // same column, row above
    EXPECT_EQ(st().selectedcount, 3);
    EXPECT_THAT(sent(), ElementsAre(ts::selectletter(1, 1, 3, 3), ts::selectletter(1, 2, 4, 4),
                                    ts::selectletter(1, 3, 4, 3)));
    EXPECT_THAT(sounds(), ElementsAre("place", "place", "place"));

    clickSquare(6, 3);  // two columns away
    EXPECT_EQ(st().label_status, "Invalid Selection");
    clickSquare(4, 3);  // the chain's own end
    clickSquare(3, 3);  // an earlier square of the chain
    EXPECT_EQ(st().selectedcount, 3);
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_THAT(sounds(), ElementsAre("badword", "badword", "badword"));
}

TEST_F(ClientTest, EighthLetterAndEmptySquaresAndClicksOffTheBoardAreRefused) {
    myTurn();
    for (int y = 0; y < 7; ++y) clickSquare(0, y);
    EXPECT_EQ(st().selectedcount, 7);
    sent();
    clickSquare(1, 6);
    EXPECT_EQ(st().selectedcount, 7);
    EXPECT_EQ(st().label_status, "Invalid Selection");
    engine.buttonClearClick();
    serve(tc::madeword(2, "AB", 3, 3, 0, 0, {{1, 1}}));  // empties (1, 1)
    serve(tc::nextplayer(1, 0));
    drain();
    clickSquare(1, 1);
    engine.boardClick({-1, 0}, MouseButton::Left);
    engine.boardClick({0, 7}, MouseButton::Left);
    EXPECT_EQ(st().selectedcount, 0);
    EXPECT_THAT(sent(), IsEmpty());
}

TEST_F(ClientTest, MoverSeesCrossesOnEarlierSquaresAndAFrameOnTheNewest) {
    myTurn();
    clickSquare(0, 0);
    clickSquare(1, 1);
    clickSquare(2, 1);
    EXPECT_EQ(mark(0, 0), kPicCross);
    EXPECT_EQ(mark(1, 1), kPicCross);
    EXPECT_EQ(mark(2, 1), kPicFrame);
    EXPECT_EQ(st().image_letter[2], letter(2, 1));
}

TEST_F(ClientTest, OnlookersSeeFramesOnEverySquareOfTheChain) {
    myTurn(2);
    serve(tc::nextplayer(1, 0));
    serve(tc::selectletter(1, 1, 0, 0));
    serve(tc::selectletter(1, 2, 1, 1));
    serve(tc::selectletter(2, 3, 5, 5));  // own echo: ignored
    EXPECT_EQ(mark(0, 0), kPicFrame);
    EXPECT_EQ(mark(1, 1), kPicFrame);
    EXPECT_EQ(mark(5, 5), kMarkNone);
    EXPECT_EQ(st().image_letter[1], letter(1, 1));
    EXPECT_EQ(st().selectedcount, 0);
    serve(tc::clearletter(1, 2));
    EXPECT_EQ(mark(1, 1), kMarkNone);
    EXPECT_EQ(st().image_letter[1], 0);
    serve(tc::clearletter(1, 5));  // holds no square
    serve(tc::selectclear(1));
    EXPECT_EQ(mark(0, 0), kMarkNone);
    EXPECT_THAT(sounds(), ElementsAre("place", "place", "clear"));
    // Slots, squares and seats outside the table leave the mirror alone.
    serve("CMD_selectletter+1+8+0+0+");
    serve("CMD_selectletter+1+0+0+0+");
    serve("CMD_selectletter+1+1+7+0+");
    serve("CMD_selectletter+12+1+0+0+");
    serve("CMD_clearletter+1+9+");
    EXPECT_EQ(mark(0, 0), kMarkNone);
    EXPECT_THAT(sounds(), IsEmpty());
}

TEST_F(ClientTest, TakingBackOnlyTheLastSlot) {
    myTurn();
    clickSquare(0, 0);
    clickSquare(1, 0);
    clickSquare(2, 0);
    sent();
    engine.rackClick(1);
    engine.rackClick(2);
    engine.rackClick(0);
    EXPECT_EQ(st().selectedcount, 3);
    EXPECT_THAT(sent(), IsEmpty());
    engine.rackClick(3);
    EXPECT_EQ(st().selectedcount, 2);
    EXPECT_EQ(mark(2, 0), kMarkNone);
    EXPECT_EQ(st().image_letter[2], 0);
    EXPECT_EQ(st().lastselected, (Square{1, 0}));
    EXPECT_EQ(mark(1, 0), kPicFrame);
    EXPECT_EQ(mark(0, 0), kPicCross);
    EXPECT_THAT(sent(), ElementsAre(ts::clearletter(1, 3)));
    clickSquare(3, 0);  // must neighbour (1, 0) now
    EXPECT_EQ(st().label_status, "Invalid Selection");
    clickSquare(2, 1);
    EXPECT_EQ(st().selectedcount, 3);
}

TEST_F(ClientTest, DoneSendsTheChainThenClears) {
    myTurn();
    clickSquare(2, 2);
    clickSquare(3, 2);
    sent();
    engine.buttonDoneClick();
    EXPECT_THAT(sent(), ElementsAre("CMD_playerdone+1+1+2+2+2+3+2", ts::selectclear(1)));
    EXPECT_EQ(st().selectedcount, 0);
    EXPECT_EQ(mark(2, 2), kMarkNone);
    EXPECT_EQ(st().image_letter[0], 0);
}

TEST_F(ClientTest, RightClickSubmitsAndSendsNothingForAnEmptyChain) {
    myTurn();
    clickSquare(0, 0, MouseButton::Right);
    EXPECT_THAT(sent(), IsEmpty());
    clickSquare(0, 0);
    sent();
    clickSquare(5, 5, MouseButton::Right);
    EXPECT_THAT(sent(), ElementsAre("CMD_playerdone+1+1+0+0", ts::selectclear(1)));
}

TEST_F(ClientTest, ClearSendsAndAlwaysSounds) {
    myTurn();
    clickSquare(0, 0);
    sent();
    sounds();
    engine.buttonClearClick();
    EXPECT_THAT(sent(), ElementsAre(ts::selectclear(1)));
    serve(tc::nextplayer(2, 0));
    sounds();
    engine.buttonClearClick();  // not our turn: only the sound
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_THAT(sounds(), ElementsAre("clear"));
}

TEST_F(ClientTest, OtherPlayersTurnAndLoggedOutClientsIgnoreTheBoard) {
    myTurn(2);
    serve(tc::nextplayer(1, 0));
    clickSquare(0, 0);
    EXPECT_EQ(st().selectedcount, 0);
    // Before login no one's turn is ours, even though both numbers are 0.
    ClientEngine fresh{rng};
    fresh.boardClick({0, 0}, MouseButton::Left);
    fresh.buttonDoneClick();
    EXPECT_EQ(fresh.state().selectedcount, 0);
    EXPECT_TRUE(fresh.takeOutgoing().empty());
    EXPECT_TRUE(fresh.takeSounds().empty());
}

TEST_F(ClientTest, JustWatchingRefusesMovesWithTheBox) {
    myTurn();
    serve(tc::justwatching(1, 1));
    drain();
    clickSquare(0, 0);
    engine.buttonClearClick();
    engine.buttonDoneClick();
    engine.buttonShuffleClick();
    const auto boxes = engine.takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    for (const auto& b : boxes) {
        EXPECT_EQ(b.text, "You are just watching right now.");
        EXPECT_FALSE(b.closeAfter);
    }
    EXPECT_THAT(sent(), IsEmpty());
    EXPECT_FALSE(st().button_shuffle);
}

TEST_F(ClientTest, ShuffleHidesTheButtonAndAsks) {
    myTurn();
    engine.buttonShuffleClick();
    EXPECT_FALSE(st().button_shuffle);
    EXPECT_THAT(sent(), ElementsAre(ts::shuffle(1)));
}

TEST_F(ClientTest, ShuffleMessageSetsTheClockFourSecondsShort) {
    myTurn();
    serve(tc::useshuffle(1, 0, 40));
    EXPECT_EQ(st().timeleft, 36);
    EXPECT_TRUE(st().timer2);
    EXPECT_EQ(st().seats[0].image_shuffles, 0);
    EXPECT_THAT(sounds(), ElementsAre("shuffle"));
    serve("CMD_useshuffle+2+1+soon+");  // seconds not a number: clock unchanged
    EXPECT_EQ(st().timeleft, 36);
    EXPECT_EQ(st().seats[1].image_shuffles, 1);
    serve("CMD_useshuffle+1+0+-2147483648+");  // no overflow on the way down
    engine.timer2Tick();
    EXPECT_FALSE(st().timer2);
}

TEST_F(ClientTest, ClockShowsMinutesAndSecondsAndTicksTheLastNine) {
    myTurn();
    tc::GameStats stats;
    stats.turnSeat = 2;
    stats.secondsLeft = 126;
    serve(tc::gamestats(stats));
    sounds();
    engine.timer2Tick();
    EXPECT_EQ(st().label_timer, "Time: 2:05");
    EXPECT_EQ(st().image_timer, 125);
    EXPECT_THAT(sounds(), IsEmpty());
    serve(tc::useshuffle(2, 0, 14));  // 10 left
    sounds();
    for (int i = 0; i < 10; ++i) engine.timer2Tick();
    EXPECT_EQ(sounds().size(), 9u);
    EXPECT_EQ(st().label_timer, "Time: 0:00");
    EXPECT_FALSE(st().timer2);
    engine.timer2Tick();  // a stopped clock does nothing
    EXPECT_EQ(st().timeleft, 0);
}

// Puts letters at the given rows of column 3 on an otherwise empty board.
class SlideTest : public ClientTest {
protected:
    void column3(std::initializer_list<std::pair<int, int>> rowsAndCodes) {
        std::string board = "CMD_theboard";
        for (auto [row, code] : rowsAndCodes) board += "+3+" + std::to_string(row) + "+" + std::to_string(code);
        serve(board);
    }
};

TEST_F(SlideTest, DownwardSlideKeepsTheOrderOfAColumn) {
    login(1);
    column3({{0, 1}, {2, 2}});
    serve(tc::moving(1));
    EXPECT_EQ(letter(3, 6), 2);
    EXPECT_EQ(letter(3, 5), 1);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(letter(3, y), 0) << y;
    EXPECT_TRUE(st().image_direction[0].visible);
    EXPECT_EQ(st().image_direction[0].owner, 0);
    EXPECT_THAT(sounds(), ElementsAre("shift"));
}

TEST_F(SlideTest, EachDirectionPullsTowardItsSide) {
    login(1);
    column3({{1, 1}, {4, 2}});
    serve(tc::moving(3));  // toward the top
    EXPECT_EQ(letter(3, 0), 1);
    EXPECT_EQ(letter(3, 1), 2);
    serve(tc::moving(4));  // toward the right
    EXPECT_EQ(letter(6, 0), 1);
    EXPECT_EQ(letter(6, 1), 2);
    EXPECT_EQ(letter(3, 0), 0);
    serve(tc::moving(2));  // toward the left
    EXPECT_EQ(letter(0, 0), 1);
    EXPECT_EQ(letter(0, 1), 2);
    serve(tc::moving(9));  // any other number slides down, with no arrow
    EXPECT_EQ(letter(0, 6), 2);
    EXPECT_EQ(letter(0, 5), 1);
    for (const auto& arrow : st().image_direction) EXPECT_FALSE(arrow.visible);
}

}  // namespace
}  // namespace quorbit::client::testing
