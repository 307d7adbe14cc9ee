// The computer player's three levels through the server, with the whole word list as the
// dictionary and a seeded generator.
#include <utility>

#include "dictionary/builtin_words.h"
#include "harness.h"
#include "computer/tracer.h"
#include "rules/zubolevel.h"

namespace quorbit::server::testing {
namespace {

using rules::ZuboLevel;
using rules::zuboLevelName;
using rules::parseZuboLevel;
namespace tc = proto::toclient;
namespace ts = proto::toserver;

// STORM twice among Qs, which make no word: the greedy trace reaches only the bottom one. Read
// backwards it is MORTS, a word of the list but not one of the computer's.
const std::array<std::string, 7> kStorms = {
    "MOTSQQQ", "QRQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQRQ", "QQQSTOM"};
const std::array<std::string, 7> kNoWord = {
    "QQQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQQQ", "QQQQQQQ"};

std::vector<proto::Square> squares(std::initializer_list<std::pair<int, int>> l) {
    std::vector<proto::Square> out;
    for (auto [x, y] : l) out.push_back({x, y});
    return out;
}

class Levels : public ServerTest {
protected:
    Levels() : ServerTest(std::string(dictionary::builtinComputerWords()), std::string(dictionary::builtinWordFile())) {}

    // Seat 1 (Ann) lets her first turn run out; the computer's seat 2 is then to move.
    void toComputersTurn(const std::array<std::string, 7>& rows) {
        join(1, "Ann");
        script(rows);
        start(500);
        tick1(server_.countdown());
        tick1(4);
        ASSERT_EQ(server_.currentplayer(), 2);
        out_.clear();
    }
    std::vector<std::string> computersMove() {
        tickComputer(5);
        return only(out_.take(1), "CMD_madeword");
    }
};

// Hands out one value, then zeros.
class OneDraw : public Random {
public:
    explicit OneDraw(int v) : v_(v) {}
    int below(int) override { return std::exchange(v_, 0); }

private:
    int v_;
};

TEST_F(Levels, ClassicIsTheDefaultAndPlaysTheGreedyTraceWithTheSameDraw) {
    EXPECT_EQ(server_.zubolevel(), ZuboLevel::Classic);
    toComputersTurn(kStorms);
    OneDraw same(1234);
    const auto expected = computer::chooseword(server_.board(), server_.computerWords(), same);
    ASSERT_TRUE(expected);
    random_.queue.push_back(1234);
    const auto made = computersMove();
    ASSERT_EQ(made.size(), 1u);
    std::string word = expected->word;
    for (char& c : word) c = static_cast<char>(c - 'a' + 'A');
    EXPECT_EQ(made[0].rfind("CMD_madeword+2+" + word + "+", 0), 0u) << made[0];
}

TEST_F(Levels, StrongPlaysTheBestOfTheComputersWordsAndDrawsNothingForIt) {
    server_.setZubolevel(ZuboLevel::Strong);
    toComputersTurn(kStorms);
    // No random draw chooses the word: the only draw is the direction afterwards.
    random_.queue.push_back(3);
    EXPECT_EQ(computersMove(), std::vector<std::string>{
                                   tc::madeword(2, "STORM", 60, 60, 0, 60, squares({{3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 0}}))});
    EXPECT_TRUE(random_.queue.empty());
    EXPECT_EQ(server_.shiftdirection(), 4);
    EXPECT_EQ(server_.countdown(), 2);  // the computer's short direction wait, as ever
}

TEST_F(Levels, ExpertPlaysTheBestWordOfTheWholeList) {
    server_.setZubolevel(ZuboLevel::Expert);
    toComputersTurn(kStorms);
    // MORTS and STORM both make 60; MORTS comes first, and the top left path first.
    EXPECT_EQ(computersMove(), std::vector<std::string>{
                                   tc::madeword(2, "MORTS", 60, 60, 0, 60, squares({{0, 0}, {1, 0}, {1, 1}, {2, 0}, {3, 0}}))});
}

class EveryLevel : public Levels, public ::testing::WithParamInterface<ZuboLevel> {};

TEST_P(EveryLevel, PassesWhenNoWordCanBeTraced) {
    server_.setZubolevel(GetParam());
    toComputersTurn(kNoWord);
    EXPECT_TRUE(computersMove().empty());
    tick1(server_.countdown());
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::timeup()});
}
INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         ::testing::Values(ZuboLevel::Classic, ZuboLevel::Strong, ZuboLevel::Expert));

TEST_F(Levels, WatchingAndDepartedSeatsArePlayedAtTheChosenLevel) {
    server_.setZubolevel(ZuboLevel::Expert);
    join(1, "Ann");
    join(2, "Bob");
    script(kStorms);
    start(500);
    say(1, ts::justwatch(1, 1));
    out_.clear();
    random_.queue.push_back(0);  // the shift goes down: the bottom STORM stays
    tickComputer(5);
    EXPECT_EQ(only(out_.take(1), "CMD_madeword+1+MORTS+60").size(), 1u);
    // After the shift, Bob leaves during his turn; the computer finishes it at the level.
    for (int i = 0; i < 5; ++i) random_.queue.push_back(drawsFor(kNoWord)[0]);
    tick1(server_.countdown());
    tick1(4);
    ASSERT_EQ(server_.currentplayer(), 2);
    server_.closed(2);
    out_.clear();
    tickComputer(5);
    EXPECT_EQ(only(out_.take(1), "CMD_madeword+2+MORTS+60").size(), 1u);
}

TEST_F(Levels, ASeatCanHaveALevelOfItsOwn) {
    server_.setZubolevel(ZuboLevel::Expert);
    server_.setZubolevel(2, ZuboLevel::Strong);
    EXPECT_EQ(server_.zubolevel(1), ZuboLevel::Expert);
    EXPECT_EQ(server_.zubolevel(2), ZuboLevel::Strong);
    toComputersTurn(kStorms);
    EXPECT_EQ(only(computersMove(), "CMD_madeword+2+STORM+60").size(), 1u);
    server_.setZubolevel(99, ZuboLevel::Expert);  // no such seat: nothing changes
    EXPECT_EQ(server_.zubolevel(2), ZuboLevel::Strong);
}

TEST(ZuboLevelNames, ReadInAnyCaseAndNothingElse) {
    EXPECT_EQ(parseZuboLevel("classic"), ZuboLevel::Classic);
    EXPECT_EQ(parseZuboLevel("Strong"), ZuboLevel::Strong);
    EXPECT_EQ(parseZuboLevel("EXPERT"), ZuboLevel::Expert);
    EXPECT_FALSE(parseZuboLevel(""));
    EXPECT_FALSE(parseZuboLevel("expert "));
    EXPECT_FALSE(parseZuboLevel("2"));
    for (ZuboLevel l : {ZuboLevel::Classic, ZuboLevel::Strong, ZuboLevel::Expert})
        EXPECT_EQ(parseZuboLevel(zuboLevelName(l)), l);
}

}  // namespace
}  // namespace quorbit::server::testing
