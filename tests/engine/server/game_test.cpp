// Game start, deals, rotation, turn actions, scoring, the win test, the turn clock and
// the computer player's turns, driven through messages and ticks.
#include <cmath>
#include <map>

#include "harness.h"

namespace quorbit::server::testing {
namespace {

namespace tc = proto::toclient;
namespace ts = proto::toserver;

// STORM twice: top left (M in column 0, so the computer cannot trace it) and bottom
// right (traceable by the computer). Both score 60.
const std::array<std::string, 7> kStorms = {
    "MOTSBBB", "BRBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBRB", "BBBSTOM"};
const std::vector<std::pair<int, int>> kTopStorm = {{3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 0}};
const std::vector<std::pair<int, int>> kBottomStorm = {{3, 6}, {4, 6}, {5, 6}, {5, 5}, {6, 6}};
const std::array<std::string, 7> kAllB = {
    "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB"};

class Game : public ServerTest {
protected:
    // Seats of the "CMD_nextplayer" lines among `lines`.
    static std::vector<int> turns(const std::vector<std::string>& lines) {
        std::vector<int> seats;
        for (const auto& l : only(lines, "CMD_nextplayer+")) seats.push_back(std::stoi(l.substr(15)));
        return seats;
    }
    // Lets the running turn run out and the pause pass.
    void runOut() {
        const int ticks = server_.countdown();
        tick1(ticks);
        if (!server_.gamerunning()) return;  // the round's end decided the game
        ASSERT_EQ(server_.phase(), Phase::Pause);
        tick1(4);
    }
    // After a word: the direction wait, the shift and the pause, with the refill dealt B.
    void afterWord() {
        for (int i = 0; i < 5; ++i) random_.queue.push_back(drawsFor(kAllB)[0]);
        tick1(server_.countdown());
        ASSERT_EQ(server_.phase(), Phase::Pause);
        tick1(4);
    }
    void madeBy(int seat) { ASSERT_EQ(server_.currentplayer(), seat); }
};

TEST_F(Game, FreshBoardIsSentTwiceThenTheFirstTurn) {
    join(1, "Ann");
    out_.clear();
    start(500, 60, false, 2);
    const auto lines = out_.take(1);
    ASSERT_EQ(lines.size(), 4u);
    proto::GameSettings s;
    s.starter = "Ann";
    s.playTo = 500;
    s.seconds = 60;
    s.shuffles = 2;
    EXPECT_EQ(lines[0], tc::startgame(s));
    EXPECT_EQ(lines[1], lines[2]);
    EXPECT_EQ(lines[3], tc::nextplayer(1, 2));
    // 49 squares, x-major, codes 1..26.
    proto::FieldReader f(lines[1].substr(std::string("CMD_theboard+").size()));
    f.beginList();
    int n = 0;
    while (!f.atListEnd()) {
        EXPECT_EQ(f.nextInt(), n / 7);
        EXPECT_EQ(f.nextInt(), n % 7);
        const int code = f.nextInt();
        EXPECT_GE(code, 1);
        EXPECT_LE(code, 26);
        ++n;
    }
    EXPECT_EQ(n, 49);
    EXPECT_EQ(server_.countdown(), 64);
    EXPECT_EQ(server_.phase(), Phase::Turn);
    EXPECT_TRUE(server_.timer1Enabled());
    EXPECT_FALSE(server_.computertimerEnabled());
}

TEST_F(Game, AnOnlookerHearsWhatEverySeatHearsAndNothingPrivate) {
    join(1, "Ann");
    join(2, "Bo");
    EXPECT_EQ(out_.heard, (std::vector<std::string>{tc::newplayerinfo(1, "Ann"), tc::newplayerinfo(2, "Bo")}));
    out_.clear();
    start(500, 60, false, 2);
    // Everything seat 2 got (it is not seat 1's turn to echo), in the same order.
    EXPECT_EQ(out_.heard, out_.take(2));
    out_.clear();
    say(1, ts::selectletter(1, 1, 0, 0));
    // The echo goes to everybody but the mover; an onlooker hears it.
    EXPECT_EQ(out_.heard, (std::vector<std::string>{tc::selectletter(1, 1, 0, 0)}));
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Game, DealtLettersFollowTheWeights) {
    join(1, "Ann");
    std::map<int, int> counts;
    int squares = 0;
    while (squares < 100000) {
        start();
        for (const auto& column : server_.board())
            for (int code : column) ++counts[code];
        squares += 49;
        out_.clear();
    }
    const std::array<int, 26> weight = {9, 2, 2, 5, 12, 2, 3, 2, 9, 1, 1, 4, 2,
                                        6, 8, 2, 1, 6, 4, 6, 3, 2, 2, 1, 2, 1};
    double chi = 0;
    for (int code = 1; code <= 26; ++code) {
        const double expected = squares * weight[static_cast<std::size_t>(code - 1)] / 98.0;
        const double d = counts[code] - expected;
        chi += d * d / expected;
    }
    EXPECT_EQ(counts.size(), 26u);
    EXPECT_LT(chi, 54.05);  // 25 degrees of freedom, p = 0.001
}

TEST_F(Game, OneHumanPlaysAgainstSeatTwo) {
    join(1, "Ann");
    start();
    runOut();
    runOut();
    runOut();
    EXPECT_EQ(turns(out_.take(1)), (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(Game, SeatsOneAndThreeWithoutTeams) {
    join(1, "Ann");
    server_.opened(2);
    join(3, "Cy");
    server_.closed(2);
    start();
    for (int i = 0; i < 3; ++i) runOut();
    EXPECT_EQ(turns(out_.take(1)), (std::vector<int>{1, 2, 3, 1}));
}

TEST_F(Game, TeamGameFillsTheMissingPartner) {
    for (int id = 1; id <= 4; ++id) join(id, "p" + std::to_string(id));
    server_.closed(3);
    start(50, 60, true);
    for (int i = 0; i < 4; ++i) runOut();
    EXPECT_EQ(turns(out_.take(1)), (std::vector<int>{1, 2, 3, 4, 1}));
}

TEST_F(Game, SixtySecondTurnLastsSixtyFourTicks) {
    join(1, "Ann");
    start(50, 60);
    out_.clear();
    tick1(63);
    EXPECT_TRUE(out_.take(1).empty());
    tick1();
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::timeup()});
    EXPECT_EQ(server_.phase(), Phase::Pause);
    tick1(3);
    EXPECT_TRUE(out_.take(1).empty());
    tick1();
    const auto lines = out_.take(1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], tc::nextplayer(2, 1));
}

TEST_F(Game, WordShuffleAndLettersAfterTimeUpAreIgnored) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500, 60, false, 2);
    tick1(64);
    ASSERT_EQ(server_.phase(), Phase::Pause);
    out_.clear();
    say(1, ts::selectletter(1, 1, 3, 0));
    say(1, ts::shuffle(1));
    say(1, path(1, kTopStorm));
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_TRUE(out_.take(2).empty());
    EXPECT_EQ(server_.score(1), 0);
    EXPECT_EQ(server_.shufflesleft(1), 2);
    // The computer's way in is the same path.
    std::vector<proto::PathStep> steps;
    for (const auto& [x, y] : kTopStorm) steps.push_back({static_cast<int>(steps.size()) + 1, x, y});
    EXPECT_EQ(server_.submitPath(1, steps), TServer::Submission::Ignored);
    EXPECT_EQ(server_.phase(), Phase::Pause);
}

struct ScoreCase {
    const char* name;
    std::array<std::string, 7> rows;
    std::vector<std::pair<int, int>> squares;
    const char* word;
    int points;
};

void PrintTo(const ScoreCase& c, std::ostream* os) { *os << c.name; }

class Scoring : public Game, public ::testing::WithParamInterface<ScoreCase> {};

TEST_P(Scoring, WordScoresItsLettersBonusesAndMultipliers) {
    const ScoreCase& c = GetParam();
    join(1, "Ann");
    join(2, "Bob");
    script(c.rows);
    random_.queue.push_back(2);  // the default direction: 3
    start(500);
    out_.clear();
    say(1, path(1, c.squares));
    std::vector<proto::Square> sq;
    for (auto [x, y] : c.squares) sq.push_back({x, y});
    std::vector<std::string> expected = {tc::madeword(1, c.word, c.points, c.points, c.points, 0, sq)};
    if (std::string(c.word).size() == 7) expected.push_back(tc::bonus(1, 20));
    EXPECT_EQ(out_.take(2), expected);
    EXPECT_EQ(out_.take(1), expected);
    for (auto [x, y] : c.squares) EXPECT_EQ(server_.board()[x][y], rules::kServerEmpty);
    EXPECT_EQ(server_.shiftdirection(), 3);
    EXPECT_EQ(server_.currentplayer(), 0);
    EXPECT_EQ(server_.lastplayer(), 1);
    EXPECT_EQ(server_.phase(), Phase::DirectionWait);
    EXPECT_EQ(server_.countdown(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Scoring,
    ::testing::Values(
        ScoreCase{"plain", {"BBBBBBB", "BBBBBBB", "BTBBBBB", "BOBBBBB", "BEBBBBB", "BBBBBBB", "BBBBBBB"},
                  {{1, 2}, {1, 3}, {1, 4}}, "TOE", 3},
        // S triple word, T, O, R double word, M double letter: 10, doubled, tripled.
        ScoreCase{"storm", kStorms, kTopStorm, "STORM", 60},
        // Two double words: times 4.
        ScoreCase{"crate", {"BBBBBBB", "BCBBBBB", "BRBBBBB", "BABBBBB", "BTBBBBB", "BEBBBBB", "BBBBBBB"},
                  {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}, "CRATE", 28},
        // Double word and triple word: times 6.
        ScoreCase{"cat", {"BBATBBB", "BCBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB"},
                  {{1, 1}, {2, 0}, {3, 0}}, "CAT", 30},
        // Centre 20 and a triple letter before the double word.
        ScoreCase{"zap", {"BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBZBBB", "BBBBABB", "BBBBBPB", "BBBBBBB"},
                  {{3, 3}, {4, 4}, {5, 5}}, "ZAP", 72},
        // Seven letters over two double words: 9 times 4, then 20.
        ScoreCase{"strange", {"BBBBBBB", "STRANGE", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB"},
                  {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}, "STRANGE", 56}),
    [](const ::testing::TestParamInfo<ScoreCase>& info) { return std::string(info.param.name); });

TEST_F(Game, RejectedSubmissionsChangeNothingAndTheTurnGoesOn) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    const auto board = server_.board();
    out_.clear();
    // Not touching: the fourth square two columns from the third.
    say(1, path(1, {{3, 0}, {2, 0}, {1, 0}, {3, 1}}));
    // The same square twice.
    say(1, path(1, {{3, 0}, {2, 0}, {3, 0}}));
    EXPECT_EQ(out_.logs, std::vector<std::string>{"stopping here - twice"});
    // Outside the board, positions outside 1..7, positions out of order.
    say(1, "CMD_playerdone+1+1+7+0+2+6+0");
    say(1, "CMD_playerdone+1+1+-1+0");
    say(1, "CMD_playerdone+1+0+3+0+1+2+0");
    say(1, "CMD_playerdone+1+8+3+0");
    say(1, "CMD_playerdone+1+1+3+0+3+2+0");
    say(1, "CMD_playerdone+1+1+3+0+1+2+0");
    say(1, "CMD_playerdone+1+1+3+0+2+2+0+3+1+0+4+1+1+5+0+0+6+0+1+7+0+2+8+1+2");
    // Not numbers, nothing after the seat.
    say(1, "CMD_playerdone+1+1+3+x");
    say(1, "CMD_playerdone+1+");
    // Not the current player, or in the current player's name from another connection.
    say(2, path(2, kTopStorm));
    say(2, path(1, kTopStorm));
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_TRUE(out_.take(2).empty());
    EXPECT_EQ(server_.board(), board);
    EXPECT_EQ(server_.currentplayer(), 1);
    EXPECT_EQ(server_.phase(), Phase::Turn);
    // Not a word: only the submitter hears it.
    say(1, path(1, {{3, 0}, {2, 0}, {1, 0}}));
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::notvalid(1, "STO")});
    EXPECT_TRUE(out_.take(2).empty());
    // And the turn still takes a word.
    say(1, path(1, kTopStorm));
    EXPECT_EQ(server_.score(1), 60);
}

TEST_F(Game, WinOnlyWhenTheRoundEnds) {
    join(1, "Ann");
    script(kStorms);
    random_.queue.push_back(0);  // moves down: the bottom right stays
    start(50);
    out_.clear();
    say(1, path(1, kTopStorm));
    EXPECT_TRUE(only(out_.take(1), "CMD_winner").empty());  // seat 2 has yet to play
    afterWord();
    madeBy(2);
    runOut();  // the computer is not asked: seat 2 ends with 0
    EXPECT_EQ(only(out_.take(1), "CMD_winner"), std::vector<std::string>{tc::winner("Ann")});
    EXPECT_FALSE(server_.gamerunning());
    EXPECT_EQ(server_.currentplayer(), 0);
    EXPECT_FALSE(server_.timer1Enabled());
    // Nothing more is accepted for the finished game.
    say(1, ts::shuffle(1));
    say(1, path(1, kBottomStorm));
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Game, APlayerWhoLeftWithTheWinningScoreWinsUnderHisName) {
    join(1, "Ann");
    join(2, "Bob");
    join(3, "Cy");
    join(4, "Dee");
    script(kStorms);
    random_.queue.push_back(0);
    start(50);
    runOut();
    madeBy(2);
    runOut();
    madeBy(3);
    say(3, path(3, kTopStorm));
    afterWord();
    madeBy(4);
    server_.closed(3);  // Cy leaves with 60 before the round ends
    out_.clear();
    runOut();
    EXPECT_EQ(only(out_.take(1), "CMD_winner"), std::vector<std::string>{tc::winner("Cy")});
}

TEST_F(Game, EqualScoresAtTheEndOfARoundPlayOn) {
    join(1, "Ann");
    script(kStorms);
    random_.queue.push_back(0);
    start(50);
    say(1, path(1, kTopStorm));
    afterWord();
    madeBy(2);
    out_.clear();
    random_.queue.push_back(0);  // where the computer starts in its list
    tickComputer(4);
    EXPECT_TRUE(out_.take(1).empty());
    tickComputer();  // five ticks after its turn began
    std::vector<proto::Square> sq;
    for (auto [x, y] : kBottomStorm) sq.push_back({x, y});
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::madeword(2, "STORM", 60, 60, 60, 60, sq)});
    EXPECT_TRUE(server_.gamerunning());
    EXPECT_EQ(server_.countdown(), 2);  // the computer's short direction wait
    afterWord();
    EXPECT_EQ(turns(out_.take(1)), std::vector<int>{1});
}

TEST_F(Game, TeamsTiedPlayOnAndTheHigherTeamWins) {
    join(1, "Ann");
    script(kStorms);
    random_.queue.push_back(0);
    start(50, 60, true);
    say(1, path(1, kTopStorm));
    afterWord();
    random_.queue.push_back(0);
    tickComputer(5);
    EXPECT_EQ(server_.teamascore(), 60);
    EXPECT_EQ(server_.teambscore(), 60);
    EXPECT_TRUE(server_.gamerunning());
    afterWord();
    madeBy(1);
    out_.clear();
    runOut();  // seat 1 passes; seat 2 then passes and the round ends level again
    runOut();
    EXPECT_TRUE(only(out_.take(1), "CMD_winner").empty());
    EXPECT_TRUE(server_.gamerunning());
}

TEST_F(Game, TeamWinIsNamedAndEndsTheTurn) {
    join(1, "Ann");
    script(kStorms);
    random_.queue.push_back(0);
    start(50, 60, true);
    say(1, path(1, kTopStorm));
    afterWord();
    out_.clear();
    runOut();
    EXPECT_EQ(only(out_.take(1), "CMD_winner"), std::vector<std::string>{tc::winner("Team A")});
    EXPECT_EQ(server_.currentplayer(), 0);
}

TEST_F(Game, ComputerWinsAsZubo) {
    join(1, "Ann");
    script(kStorms);
    start(50);
    runOut();  // seat 1 passes
    random_.queue.push_back(0);
    out_.clear();
    tickComputer(5);
    EXPECT_EQ(only(out_.take(1), "CMD_winner"), std::vector<std::string>{tc::winner("Zubo")});
}

TEST_F(Game, DirectionOnlyFromTheLastPlayerAndOnlyShortensTheWait) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    say(1, path(1, kTopStorm));
    ASSERT_EQ(server_.countdown(), 5);
    say(2, ts::direction(2, 4));
    say(2, ts::direction(1, 4));
    EXPECT_EQ(server_.countdown(), 5);
    say(1, ts::direction(1, 3));
    EXPECT_EQ(server_.countdown(), 2);
    EXPECT_EQ(server_.shiftdirection(), 3);
    out_.clear();
    tick1();
    say(1, ts::direction(1, 4));  // asking again cannot hold the game
    EXPECT_EQ(server_.countdown(), 1);
    EXPECT_TRUE(out_.take(2).empty());
    tick1();
    EXPECT_EQ(out_.take(2), std::vector<std::string>{tc::moving(4)});
    EXPECT_EQ(server_.board()[0][1], 27);  // moved right: the hole of row 1 went left
    EXPECT_EQ(server_.board()[1][1], 2);
    EXPECT_EQ(server_.board()[3][0], 27);
    say(1, ts::direction(1, 2));  // the shift is done: too late
    EXPECT_EQ(server_.countdown(), 4);
}

TEST_F(Game, DirectionOutsideOneToFourMovesDown) {
    join(1, "Ann");
    script(kStorms);
    start(500);
    say(1, path(1, kTopStorm));
    say(1, ts::direction(1, 9));
    out_.clear();
    tick1(2);
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::moving(1)});
}

TEST_F(Game, ShuffleExtendsTheTurnAndDealsANewBoard) {
    join(1, "Ann");
    join(2, "Bob");
    start(500, 45, false, 1);
    tick1(29);
    ASSERT_EQ(server_.countdown(), 20);
    out_.clear();
    script(kAllB);
    say(2, ts::shuffle(2));  // not its turn
    say(2, ts::shuffle(1));  // not its connection
    EXPECT_TRUE(out_.take(2).empty());
    say(1, ts::shuffle(1));
    const auto lines = out_.take(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], tc::useshuffle(1, 0, 42));
    EXPECT_EQ(lines[1], tc::theboard(server_.board()));
    EXPECT_EQ(server_.board()[0][0], 2);  // all B now
    EXPECT_EQ(server_.countdown(), 42);
    say(1, ts::shuffle(1));  // none left
    EXPECT_TRUE(out_.take(2).empty());
    EXPECT_EQ(server_.countdown(), 42);
}

TEST_F(Game, SelectionIsRelayedToEveryoneButTheSender) {
    join(1, "Ann");
    join(2, "Bob");
    for (int id = 3; id <= 5; ++id) join(id, "s" + std::to_string(id));
    start();
    out_.clear();
    say(1, ts::selectletter(1, 1, 3, 4));
    say(1, ts::clearletter(1, 1));
    say(1, "CMD_selectclear+1+junk");
    say(2, ts::selectletter(2, 1, 3, 4));  // not its turn
    say(2, ts::selectletter(1, 1, 3, 4));  // in another seat's name
    say(1, "CMD_selectletter+1+x+1+1+");   // not numbers
    const std::vector<std::string> expected = {tc::selectletter(1, 1, 3, 4), tc::clearletter(1, 1),
                                               tc::selectclear(1)};
    for (ConnectionId id : {2, 3, 4, 5}) EXPECT_EQ(out_.take(id), expected) << id;
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Game, ComputerPassesSilentlyWhenNothingCanBeTraced) {
    join(1, "Ann");
    script(kAllB);
    start(500);
    runOut();
    madeBy(2);
    ASSERT_TRUE(server_.computertimerEnabled());
    out_.clear();
    tickComputer(5);
    EXPECT_FALSE(server_.computertimerEnabled());
    EXPECT_TRUE(out_.take(1).empty());
    tick1(server_.countdown());
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::timeup()});
}

TEST_F(Game, JustWatchingSeatIsPlayedByTheComputer) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    runOut();
    madeBy(2);
    EXPECT_FALSE(server_.computertimerEnabled());
    say(2, ts::justwatch(2, 1));
    EXPECT_TRUE(server_.computertimerEnabled());
    random_.queue.push_back(0);
    out_.clear();
    tickComputer(5);
    EXPECT_EQ(only(out_.take(1), "CMD_madeword").size(), 1u);
    EXPECT_EQ(server_.score(2), 60);
    EXPECT_EQ(server_.countdown(), 2);
}

TEST_F(Game, PersonWhoTakesTheTurnBackIsNotOverruled) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    runOut();
    say(2, ts::justwatch(2, 1));
    say(2, ts::justwatch(2, 2));
    out_.clear();
    tickComputer(5);
    EXPECT_TRUE(only(out_.take(1), "CMD_madeword").empty());
}

TEST_F(Game, WatchingSeatsOwnBrokenPathHandsTheTurnToTheComputerAtOnce) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    runOut();
    madeBy(2);
    say(2, ts::justwatch(2, 1));
    random_.queue.push_back(0);
    out_.clear();
    // Squares that do not touch: the computer plays its word at once, not after its delay.
    say(2, path(2, {{3, 6}, {5, 6}}));
    EXPECT_EQ(only(out_.take(1), "CMD_madeword"),
              std::vector<std::string>{tc::madeword(2, "STORM", 60, 60, 0, 60, {{3, 6}, {4, 6}, {5, 6}, {5, 5}, {6, 6}})});
    EXPECT_EQ(server_.phase(), Phase::DirectionWait);
}

TEST_F(Game, PersonsBrokenPathIsOnlyDropped) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    out_.clear();
    say(1, path(1, {{3, 6}, {5, 6}}));
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_FALSE(server_.computertimerEnabled());
    EXPECT_EQ(server_.phase(), Phase::Turn);
}

// The computer's list holds a word the dictionary lacks.
class OddWords : public ServerTest {
protected:
    OddWords() : ServerTest("ab\nbbbb\n") {}
};

TEST_F(OddWords, ComputersTracedNonWordIsToldToTheWatcherOnly) {
    join(1, "Ann");
    join(2, "Bob");
    script(kAllB);
    start(500);
    tick1(64 + 4);
    ASSERT_EQ(server_.currentplayer(), 2);
    say(2, ts::justwatch(2, 1));
    out_.clear();
    tickComputer(5);
    EXPECT_EQ(out_.take(2), std::vector<std::string>{tc::notvalid(2, "BBBB")});
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_EQ(server_.phase(), Phase::Turn);  // the turn runs on
}

TEST_F(Game, DepartedPlayersTurnIsFinishedByTheComputer) {
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    runOut();
    madeBy(2);
    server_.closed(2);
    EXPECT_TRUE(server_.computertimerEnabled());
    random_.queue.push_back(0);
    out_.clear();
    tickComputer(5);
    EXPECT_EQ(only(out_.take(1), "CMD_madeword").size(), 1u);
}

TEST_F(Game, HostLeavingDuringItsTurnIsNotTakenOver) {
    join(1, "Ann");
    join(2, "Bob");
    start(500);
    server_.closed(1);
    EXPECT_FALSE(server_.computertimerEnabled());
}

// At a table server nobody's program runs the server: with seat 1 empty and another seat
// hosting, the rounds still end (and a game can be won), and seat 1's player who leaves
// in his turn has it finished by the computer.
TEST_F(Game, AtATableServerSeatOneIsASeatLikeAnyOther) {
    server_.tellHost(true);
    join(1, "Ann");
    join(2, "Bob");
    join(3, "Cy");
    server_.closed(1);  // Bob hosts now
    script(kStorms);
    random_.queue.push_back(0);
    start(50, 60, false, 1, 2);
    madeBy(2);  // the rotation starts at the lowest seat in play
    runOut();
    madeBy(3);
    out_.clear();
    say(3, path(3, kTopStorm));  // the last seat of the round: Cy wins
    EXPECT_EQ(only(out_.take(2), "CMD_winner"), std::vector<std::string>{tc::winner("Cy")});

    EXPECT_EQ(join(4, "Dee"), 1);
    start(500, 60, false, 1, 2);
    madeBy(1);
    server_.closed(4);
    EXPECT_TRUE(server_.computertimerEnabled());
}

TEST_F(Game, BadStartRequestChangesNothing) {
    join(1, "Ann");
    say(1, "CMD_startgame+Ann+lots+60+f+1+");
    EXPECT_FALSE(server_.gamerunning());
    EXPECT_TRUE(out_.timers.empty());
    start(500);
    say(1, "CMD_startgame+Ann+100+60+f+x+");
    EXPECT_TRUE(server_.gamerunning());
    EXPECT_EQ(server_.playtoscore(), 500);
}

TEST_F(Game, OptionsAreClampedSoEveryTurnEnds) {
    join(1, "Ann");
    start(2000000, 2147483647, false, 500);
    EXPECT_EQ(server_.playtoscore(), 1000000);
    EXPECT_EQ(server_.timeperturn(), 3600);
    EXPECT_EQ(server_.countdown(), 3604);
    EXPECT_EQ(server_.shufflesleft(1), 99);
    // The lowest seconds and a shuffle: the turn still runs out.
    start(-5, -2147483647 - 1, false, -3);
    EXPECT_EQ(server_.playtoscore(), 1);
    EXPECT_EQ(server_.timeperturn(), 1);
    EXPECT_EQ(server_.shufflesleft(1), 0);
    start(500, -2147483647 - 1, false, 1);
    say(1, ts::shuffle(1));
    EXPECT_EQ(server_.countdown(), 5);
    tick1(5);
    EXPECT_EQ(server_.phase(), Phase::Pause);
}

TEST_F(Game, RestartDuringAGameStartsAfresh) {
    join(1, "Ann");
    script(kStorms);
    start(500);
    say(1, path(1, kTopStorm));
    start(300, 30, true, 0);
    EXPECT_EQ(server_.score(1), 0);
    EXPECT_EQ(server_.teamascore(), 0);
    EXPECT_EQ(server_.currentplayer(), 1);
    EXPECT_EQ(server_.countdown(), 34);
    EXPECT_TRUE(server_.teamgame());
}

}  // namespace
}  // namespace quorbit::server::testing
