// Word results, the turn running out and the end of a game.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ClientTest, OwnWordScoresShowsArrowsAndRecordsTheWord) {
    myTurn();
    clickSquare(0, 0);
    clickSquare(0, 1);
    engine.buttonDoneClick();
    drain();
    const int a = letter(0, 0);
    const int b = letter(0, 1);
    serve(tc::madeword(1, "BC", 12, 40, 40, 7, {{0, 0}, {0, 1}}));
    EXPECT_EQ(st().whoseturn, 0);
    EXPECT_FALSE(st().timer2);
    EXPECT_FALSE(st().button_done);
    EXPECT_EQ(st().seats[0].label_score, "40");
    EXPECT_EQ(st().seats[0].label_bonus, "BC +12");
    EXPECT_EQ(st().label_team1, "Team A: 40");
    EXPECT_EQ(st().label_team2, "Team B: 7");
    EXPECT_EQ(st().label_status, "Ann: BC for 12 points.");
    EXPECT_THAT(st().memo_words, ElementsAre("Ann: BC for 12 points."));
    EXPECT_EQ(letter(0, 0), 0);
    EXPECT_EQ(letter(0, 1), 0);
    EXPECT_EQ(st().image_letter[0], a);
    EXPECT_EQ(st().image_letter[1], b);
    EXPECT_THAT(sounds(), ElementsAre("goodword"));
    EXPECT_THAT(chat(), IsEmpty());  // not posted unless asked
    const auto calls = engine.takeTallyCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, TallyCall::Kind::anotherword);
    EXPECT_EQ(calls[0].column, 3);
    EXPECT_EQ(calls[1].kind, TallyCall::Kind::addtomineset);
    EXPECT_EQ(calls[1].column, 4);
    EXPECT_EQ(calls[1].points, 12);
    EXPECT_EQ(calls[1].word, "BC");
    for (const auto& arrow : st().image_direction) {
        EXPECT_TRUE(arrow.visible);
        EXPECT_EQ(arrow.owner, 1);
    }
    // A direction is sent once, and the arrows go.
    engine.arrowClick(2);
    engine.arrowClick(2);
    engine.arrowClick(3);
    EXPECT_THAT(sent(), ElementsAre(ts::direction(1, 2)));
    for (const auto& arrow : st().image_direction) EXPECT_FALSE(arrow.visible);
}

TEST_F(ClientTest, AnotherPlayersWordSoundsRoundoverAndShowsNoArrows) {
    myTurn(2);
    engine.options().postWordsInChatBox = true;
    serve(tc::nextplayer(1, 0));
    serve(tc::selectletter(1, 1, 4, 4));
    drain();
    serve(tc::madeword(1, "QI", 11, 11, 11, 0, {{4, 4}, {4, 5}}));
    EXPECT_THAT(sounds(), ElementsAre("roundover"));
    for (const auto& arrow : st().image_direction) EXPECT_FALSE(arrow.visible);
    EXPECT_EQ(mark(4, 4), kMarkTaken);  // drawn as nothing, cleared by the next board
    EXPECT_THAT(chat(), ElementsAre("P1: QI for 11 points."));
    EXPECT_THAT(engine.takeTallyCalls(), IsEmpty());
    engine.arrowClick(1);
    EXPECT_THAT(sent(), IsEmpty());
    // Only the word maker's bonus label shows the word.
    serve(tc::madeword(3, "ZA", 20, 20, 11, 20, {{0, 0}, {1, 0}}));
    EXPECT_EQ(st().seats[0].label_bonus, "");
    EXPECT_EQ(st().seats[2].label_bonus, "ZA +20");
}

TEST_F(ClientTest, WordSquaresOffTheBoardAreSkipped) {
    myTurn();
    serve("CMD_madeword+1+AB+3+3+3+0+9+9+0+0+-1+2+1+1+2+2+3+3+4+4+5+5+6+6");
    EXPECT_EQ(letter(0, 0), 0);
    EXPECT_EQ(letter(6, 6), 0);  // pairs past the seventh slot still leave the board
    EXPECT_EQ(st().image_letter[0], 0);   // slot 1 was the pair off the board
    EXPECT_NE(st().image_letter[1], 0);
}

TEST_F(ClientTest, InvalidWordTellsOnlyTheMoverAndTheTurnGoesOn) {
    myTurn();
    clickSquare(0, 0);
    clickSquare(1, 0);
    drain();
    serve(tc::notvalid(2, "XX"));  // another seat's: ignored
    EXPECT_EQ(st().selectedcount, 2);
    serve(tc::notvalid(1, "AB"));
    EXPECT_EQ(st().label_status, "AB is not a valid word.");
    EXPECT_EQ(st().selectedcount, 0);
    EXPECT_EQ(mark(0, 0), kMarkNone);
    EXPECT_EQ(st().whoseturn, 1);
    EXPECT_TRUE(st().button_done);
    EXPECT_THAT(sounds(), ElementsAre("badword"));
    clickSquare(5, 5);
    EXPECT_EQ(st().selectedcount, 1);
}

TEST_F(ClientTest, TimeUpEndsTheTurnButLeavesTheChainMarks) {
    myTurn();
    clickSquare(0, 0);
    clickSquare(1, 1);
    drain();
    serve(tc::timeup());
    EXPECT_EQ(st().whoseturn, 0);
    EXPECT_EQ(st().label_status, "Time is Up!");
    EXPECT_FALSE(st().button_done);
    EXPECT_FALSE(st().button_clear);
    EXPECT_EQ(mark(0, 0), kPicCross);
    EXPECT_EQ(mark(1, 1), kPicFrame);
    EXPECT_TRUE(st().timer2);  // runs down on its own
    EXPECT_THAT(sounds(), ElementsAre("roundover"));
}

TEST_F(ClientTest, WinnersOwnClientSaysYouAndRecordsAWin) {
    myTurn();
    serve(tc::winner("Ann"));
    EXPECT_EQ(st().label_winner, "You have won the game!");
    EXPECT_EQ(st().label_status, "GAME OVER!");
    EXPECT_TRUE(st().panel_winner);
    EXPECT_TRUE(st().button_start);  // the host
    EXPECT_THAT(sounds(), ElementsAre("winner"));
    const auto lines = engine.takeChatLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].colour, social::kBlue);
    const auto calls = engine.takeTallyCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, TallyCall::Kind::addgame);
    EXPECT_EQ(calls[0].word, "addtomine");
    EXPECT_THAT(calls[0].players, ElementsAre("P2", "P3", "P4"));
}

TEST_F(ClientTest, OthersSeeTheWinnersNameAndRecordHisGame) {
    myTurn(2);
    serve(tc::winner("P1+Co"));
    EXPECT_EQ(st().label_winner, "P1+Co has won the game!");
    EXPECT_FALSE(st().button_start);  // not the host
    const auto calls = engine.takeTallyCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].word, "P1+Co");
}

TEST_F(ClientTest, SpectatorSeesTheNameAndRecordsNothing) {
    login(6, "Eve");
    seat(1, "Eve");  // even a player of the same name is not the spectator
    serve(tc::winner("Eve"));
    EXPECT_EQ(st().label_winner, "Eve has won the game!");
    EXPECT_THAT(engine.takeTallyCalls(), IsEmpty());
}

TEST_F(ClientTest, TeamWinsAreRecordedNowhere) {
    myTurn(3);
    serve(tc::startgame({"Ann", 200, 60, true, 1}));
    engine.takeTallyCalls();
    serve(tc::winner("Team B"));
    EXPECT_EQ(st().label_winner, "Team B has won the game!");
    EXPECT_THAT(engine.takeTallyCalls(), IsEmpty());
    serve(tc::winner("Team A"));
    EXPECT_THAT(engine.takeTallyCalls(), IsEmpty());
}

TEST_F(ClientTest, APlayerNamedLikeATeamWinsAGameWithoutTeams) {
    myTurn(3);
    serve(tc::existingplayers(4, "Team A"));
    serve(tc::winner("Team A"));
    EXPECT_EQ(st().label_winner, "Team A has won the game!");
    const auto calls = engine.takeTallyCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, TallyCall::Kind::addgame);
    EXPECT_EQ(calls[0].word, "Team A");
}

}  // namespace
}  // namespace quorbit::client::testing
