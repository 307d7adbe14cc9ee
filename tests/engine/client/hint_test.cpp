// The hint: the best word marked and named in the player's own turn against the computer,
// nothing selected or sent, one hint counted per turn; hidden when another person plays.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

class Hint : public ClientTest {
protected:
    // Ann in seat 1 against Zubo, her turn, with STORM on the board (S on a triple word,
    // R on a double word, M on a double letter) among Qs.
    void soloTurn() {
        login(1);
        serve(tc::startgame({"Ann", 300, 60, false, 1}));
        serve(tc::theboard(stormBoard()));
        serve(tc::nextplayer(1, 1));
        drain();
    }
    static protocol::BoardCodes stormBoard() {
        protocol::BoardCodes b{};
        for (auto& col : b) col.fill('Q' - 'A' + 1);
        const auto put = [&](int x, int y, char c) { b[x][y] = c - 'A' + 1; };
        put(0, 3, 'S');
        put(0, 4, 'T');
        put(0, 5, 'O');
        put(1, 5, 'R');
        put(0, 6, 'M');
        return b;
    }
    int hint(int x, int y) const { return st().hintmarks[x][y]; }
};

TEST_F(Hint, MarksTheBestWordAndNamesItWithoutSelectingOrSending) {
    soloTurn();
    ASSERT_TRUE(engine.hintAvailable());
    engine.hintClick();
    // MORTS and STORM both make 60; MORTS is first.
    EXPECT_EQ(st().label_status, "Hint: MORTS for 60 points");
    EXPECT_EQ(hint(0, 6), 1);
    EXPECT_EQ(hint(1, 5), 3);
    EXPECT_EQ(hint(0, 3), 5);
    EXPECT_EQ(hint(3, 3), 0);
    EXPECT_EQ(st().selectedcount, 0);
    EXPECT_EQ(mark(0, 6), kMarkNone);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(st().hintsTaken, 1);
    EXPECT_EQ(st().memo_words, std::vector<std::string>{"Hint 1: MORTS for 60 points"});
    // Asking again in the same turn counts nothing more.
    engine.hintClick();
    EXPECT_EQ(st().hintsTaken, 1);
    EXPECT_EQ(st().memo_words.size(), 1u);
}

TEST_F(Hint, MarksGoWithTheTurnAndTheCountWithTheGame) {
    soloTurn();
    engine.hintClick();
    serve(tc::timeup());
    EXPECT_EQ(hint(0, 6), 0);
    EXPECT_FALSE(engine.hintAvailable());
    serve(tc::nextplayer(2, 1));
    EXPECT_FALSE(engine.hintAvailable());  // Zubo's turn
    engine.hintClick();
    EXPECT_EQ(st().hintsTaken, 1);
    serve(tc::nextplayer(1, 1));
    engine.hintClick();
    EXPECT_EQ(st().hintsTaken, 2);
    EXPECT_EQ(st().memo_words.back(), "Hint 2: MORTS for 60 points");
    serve(tc::startgame({"Ann", 300, 60, false, 1}));
    EXPECT_EQ(st().hintsTaken, 0);
}

TEST_F(Hint, AfterEachWordTheWordsListNamesTheBestThatWasThereWhileSwitchedOn) {
    soloTurn();
    engine.options().showBestWords = true;
    serve(tc::timeup());
    serve(tc::nextplayer(2, 1));
    serve(tc::madeword(2, "STORM", 60, 60, 0, 60, {{0, 3}, {0, 4}, {0, 5}, {1, 5}, {0, 6}}));
    ASSERT_EQ(st().memo_words.size(), 2u);
    EXPECT_EQ(st().memo_words[1], "best: MORTS 60");
    serve(tc::theboard(stormBoard()));
    engine.options().showBestWords = false;
    serve(tc::madeword(2, "STORM", 60, 120, 0, 120, {{0, 3}, {0, 4}, {0, 5}, {1, 5}, {0, 6}}));
    EXPECT_EQ(st().memo_words.size(), 3u);
    EXPECT_EQ(st().memo_words.back().rfind("Zubo: STORM", 0), 0u);
}

TEST_F(Hint, ABoardWithoutAWordSaysSo) {
    soloTurn();
    protocol::BoardCodes b{};
    for (auto& col : b) col.fill('Q' - 'A' + 1);
    serve(tc::theboard(b));
    engine.hintClick();
    EXPECT_EQ(st().label_status, "Hint: no word can be made");
    EXPECT_EQ(st().hintsTaken, 0);
}

TEST_F(Hint, HiddenWhenAnotherPersonPlays) {
    login(1);
    seat(3, "Bob");
    serve(tc::startgame({"Ann", 300, 60, false, 1}));
    serve(tc::theboard(stormBoard()));
    serve(tc::nextplayer(1, 1));
    EXPECT_FALSE(engine.hintAvailable());
    engine.hintClick();
    EXPECT_EQ(st().label_status, "Your Turn");
    EXPECT_EQ(st().hintsTaken, 0);
    // Bob just watching: the computer plays his seat, and the hint is there again.
    serve(tc::justwatching(3, 1));
    EXPECT_TRUE(engine.hintAvailable());
}

}  // namespace
}  // namespace quorbit::client::testing
