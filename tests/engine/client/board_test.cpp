// The game mirror: a game's start, the board, the start of a turn and a late arrival.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(BoardSquares, FixedPatternOfSpecialSquares) {
    const Grid& g = boardsquares();
    EXPECT_EQ(g[0][0], kPicDoubleLetter);
    EXPECT_EQ(g[3][0], kPicTripleWord);
    EXPECT_EQ(g[5][1], kPicDoubleWord);
    EXPECT_EQ(g[4][2], kPicTripleLetter);
    EXPECT_EQ(g[3][3], kPicBonus);
    EXPECT_EQ(g[1][0], kPicPlain);
}

TEST_F(ClientTest, StartWithSeatTwoEmptyBringsZuboAndHisGreeting) {
    login(1);
    serve(tc::startgame({"Ann", 300, 45, false, 2}));
    EXPECT_EQ(st().seats[1].label_playername, "Zubo");
    const auto lines = engine.takeChatLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Ann has started a game.");
    EXPECT_EQ(lines[0].colour, social::kBlue);
    EXPECT_EQ(lines[1].text, "I am Zubo the bot. Good Luck!");
    EXPECT_EQ(lines[1].colour, social::Colour::fromRgb(255, 128, 0));
    EXPECT_EQ(st().label_playtoscore, "Play to Score: 300");
    EXPECT_EQ(st().label_Timeperturn, "Time Per Turn: 45");
    EXPECT_EQ(st().turnlength, 45);
    EXPECT_EQ(st().label_team1, "Team A: 0 ");
    EXPECT_FALSE(st().button_start);
    for (const auto& s : st().seats) {
        EXPECT_EQ(s.image_shuffles, 2);
        EXPECT_EQ(s.label_score, "");
    }
    // The tally's list of opponents: Zubo, not the local seat nor waiting seats.
    const auto calls = engine.takeTallyCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, TallyCall::Kind::loadchecklist);
    EXPECT_THAT(calls[0].players, ElementsAre("Zubo"));
}

TEST_F(ClientTest, TeamGameColoursTeamBAndShowsTeamLabels) {
    login(1);
    seat(2, "Bo");
    drain();
    serve(tc::startgame({"Ann", 300, 45, true, 1}));
    EXPECT_TRUE(st().teamLabelsVisible);
    EXPECT_EQ(st().seats[1].colour, social::kLightBlue);
    EXPECT_EQ(st().seats[3].colour, social::kLightBlue);
    EXPECT_EQ(st().seats[0].colour, social::kBlack);
    EXPECT_EQ(st().label_team2Colour, social::kLightBlue);
    EXPECT_THAT(chat(), ElementsAre("Ann has started a game."));  // seat 2 taken: no Zubo
    serve(tc::startgame({"Ann", 300, 45, false, 1}));
    EXPECT_FALSE(st().teamLabelsVisible);
    EXPECT_EQ(st().seats[1].colour, social::kBlack);
    serve("CMD_startgame+Ann+300+45+T+x+");  // only "t" is a team game; bad shuffles count 0
    EXPECT_FALSE(st().teamLabelsVisible);
    EXPECT_EQ(st().seats[0].image_shuffles, 0);
}

TEST_F(ClientTest, BoardReplacesLettersAndClearsTheChain) {
    myTurn();
    clickSquare(0, 0);
    ASSERT_EQ(st().selectedcount, 1);
    dealBoard();
    EXPECT_EQ(st().selectedcount, 0);
    EXPECT_FALSE(st().lastselected.isSet());
    EXPECT_EQ(mark(0, 0), kMarkNone);
    EXPECT_EQ(letter(6, 6), 1 + 12);
    // Squares off the board and codes that name no letter change nothing; a missing
    // square stays empty.
    serve("CMD_theboard+0+0+5+9+1+3+1+1+27+2+2+-1+-4+0+3");
    EXPECT_EQ(letter(0, 0), 5);
    EXPECT_EQ(letter(1, 1), 0);
    EXPECT_EQ(letter(2, 2), 0);
    EXPECT_EQ(letter(6, 6), 0);
}

TEST_F(ClientTest, ShuffleButtonOnlyForTheMoverWithShufflesLeft) {
    myTurn(1, 1);
    EXPECT_TRUE(st().button_shuffle);
    EXPECT_TRUE(st().button_done);
    EXPECT_EQ(st().label_status, "Your Turn");
    EXPECT_EQ(st().seats[0].image_shuffles, 1);
    serve(tc::nextplayer(1, 0));
    EXPECT_FALSE(st().button_shuffle);
    serve(tc::nextplayer(2, 3));
    EXPECT_FALSE(st().button_shuffle);
    EXPECT_EQ(st().label_status, "P2's Turn");
    EXPECT_EQ(st().image_Turn, 2);
    EXPECT_EQ(st().seats[1].image_shuffles, 3);
    EXPECT_EQ(st().timeleft, 60);
    EXPECT_TRUE(st().timer2);
}

TEST_F(ClientTest, TurnSoundFollowsTheChoice) {
    myTurn();
    EXPECT_THAT(sounds(), IsEmpty());  // drained; the Classic cue was "start"
    engine.options().turnSound = TurnSound::New;
    serve(tc::nextplayer(1, 0));
    engine.options().turnSound = TurnSound::Default;
    serve(tc::nextplayer(1, 0));
    engine.options().turnSound = TurnSound::Classic;
    serve(tc::nextplayer(1, 0));
    engine.options().playSounds = false;
    serve(tc::nextplayer(1, 0));
    EXPECT_THAT(sounds(), ElementsAre("turnnew", "turn", "start"));
}

TEST_F(ClientTest, LateArrivalSeesWhoseTurnItIs) {
    login(3);
    seat(1, "Host");
    seat(4, "Dee");
    tc::GameStats stats;
    stats.turnSeat = 3;
    stats.playTo = 150;
    stats.seconds = 50;
    stats.secondsLeft = 20;
    stats.team = true;
    stats.scores = {1, 2, 3, 4};
    stats.teamA = 4;
    stats.teamB = 6;
    serve(tc::gamestats(stats));
    EXPECT_EQ(st().label_status, "Create a Word!");
    EXPECT_EQ(st().label_team1, "Team A : 4");
    EXPECT_EQ(st().label_team2, "Team B : 6");
    EXPECT_EQ(st().seats[3].label_score, "4");
    EXPECT_EQ(st().timeleft, 20);
    EXPECT_TRUE(st().timer2);
    EXPECT_TRUE(st().teamLabelsVisible);
    stats.turnSeat = 4;
    serve(tc::gamestats(stats));
    EXPECT_EQ(st().label_status, "Dee's turn.");
    stats.turnSeat = 0;
    serve(tc::gamestats(stats));
    EXPECT_EQ(st().label_status, "");
}

TEST_F(ClientTest, LateArrivalSeesTheTurnMarkerAndKnowsItCameLate) {
    login(3);
    EXPECT_FALSE(st().gamerunning);
    tc::GameStats stats;
    stats.turnSeat = 2;
    stats.secondsLeft = 20;
    serve(tc::gamestats(stats));
    EXPECT_EQ(st().image_Turn, 2);
    EXPECT_TRUE(st().gamerunning);
    EXPECT_TRUE(st().joinedLate);
    serve(tc::winner("Zubo"));
    EXPECT_FALSE(st().gamerunning);
}

TEST_F(ClientTest, LateArrivalWithNoTimeLeftGetsNoClock) {
    login(5);
    tc::GameStats stats;
    stats.turnSeat = 1;
    stats.secondsLeft = 0;
    serve(tc::gamestats(stats));
    EXPECT_FALSE(st().timer2);
    EXPECT_EQ(st().label_status, "Welcome to Quorbit");
}

TEST_F(ClientTest, ShufflesOfEverySeatClampToThePictures) {
    login(1);
    serve(tc::shufflesl({0, 2, 9, -1}));
    EXPECT_EQ(st().seats[0].image_shuffles, 0);
    EXPECT_EQ(st().seats[1].image_shuffles, 2);
    EXPECT_EQ(st().seats[2].image_shuffles, 5);
    EXPECT_EQ(st().seats[3].image_shuffles, 0);
}

}  // namespace
}  // namespace quorbit::client::testing
