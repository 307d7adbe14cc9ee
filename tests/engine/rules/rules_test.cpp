// The shared rules: letters, bonus squares, neighbours, the slide in both board
// encodings, and the score of a path.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "common/random.h"
#include "rules/board.h"
#include "rules/letters.h"
#include "rules/scoring.h"

namespace quorbit::rules {
namespace {

constexpr int E = kServerEmpty;

TEST(Letters, EveryCodeReadsAsALetterAStarOrT) {
    EXPECT_EQ(letterAt(1), 'a');
    EXPECT_EQ(letterAt(26), 'z');
    EXPECT_EQ(letterAt(20), 't');
    EXPECT_EQ(letterAt(0), 't');
    for (int code : {27, 28, 29}) EXPECT_EQ(letterAt(code), '*');
    for (int code : {30, -1, 1000}) EXPECT_EQ(letterAt(code), 't');
    int sum = 0;
    for (int code = 1; code <= 26; ++code) sum += letterworth(code);
    EXPECT_EQ(sum, 89);  // A 1, B 3, ... Z 10
}

TEST(BonusSquares, SeventeenSpecialSquaresSymmetricInEveryWay) {
    EXPECT_EQ(bonusAt(3, 3), Bonus::Centre);
    for (auto [x, y] : {std::pair{0, 0}, {0, 6}, {6, 0}, {6, 6}}) EXPECT_EQ(bonusAt(x, y), Bonus::DoubleLetter);
    for (auto [x, y] : {std::pair{2, 2}, {2, 4}, {4, 2}, {4, 4}}) EXPECT_EQ(bonusAt(x, y), Bonus::TripleLetter);
    for (auto [x, y] : {std::pair{1, 1}, {1, 5}, {5, 1}, {5, 5}}) EXPECT_EQ(bonusAt(x, y), Bonus::DoubleWord);
    for (auto [x, y] : {std::pair{0, 3}, {3, 0}, {3, 6}, {6, 3}}) EXPECT_EQ(bonusAt(x, y), Bonus::TripleWord);
    int plain = 0;
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            EXPECT_EQ(bonusAt(x, y), bonusAt(y, x));
            EXPECT_EQ(bonusAt(x, y), bonusAt(6 - x, y));
            plain += bonusAt(x, y) == Bonus::None;
        }
    EXPECT_EQ(plain, 49 - 17);
    EXPECT_EQ(letterBonus(Bonus::Centre, 5), 20);
    EXPECT_EQ(letterBonus(Bonus::DoubleLetter, 5), 5);
    EXPECT_EQ(letterBonus(Bonus::TripleLetter, 5), 10);
    EXPECT_EQ(letterBonus(Bonus::DoubleWord, 5), 0);
}

TEST(Neighbours, TheEightSquaresAroundAndNoOther) {
    int around = 0;
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) around += neighbours({3, 3}, {x, y});
    EXPECT_EQ(around, 8);
    EXPECT_FALSE(neighbours({3, 3}, {3, 3}));
    EXPECT_FALSE(neighbours({3, 3}, {5, 3}));
    EXPECT_FALSE(neighbours({3, 3}, {4, 1}));
    EXPECT_TRUE(neighbours({0, 0}, {1, 1}));
    EXPECT_TRUE(neighbours({6, 0}, {5, 0}));
}

Grid filled(int code) {
    Grid b{};
    for (auto& column : b) column.fill(code);
    return b;
}

std::array<int, 7> row(const Grid& b, int y) {
    std::array<int, 7> r{};
    for (int x = 0; x < 7; ++x) r[x] = b[x][y];
    return r;
}

TEST(Slide, CompactsEachLineTowardItsSideKeepingTheOrder) {
    // Column 2 holding A, empty, B, empty, empty, C, empty from the top.
    Grid column = filled(4);
    column[2] = {1, E, 2, E, E, 3, E};
    Grid down = column;
    slide(down, kDown, E);
    EXPECT_EQ(down[2], (std::array<int, 7>{E, E, E, E, 1, 2, 3}));
    Grid up = column;
    slide(up, kUp, E);
    EXPECT_EQ(up[2], (std::array<int, 7>{1, 2, 3, E, E, E, E}));
    for (int x : {0, 1, 3, 4, 5, 6}) EXPECT_EQ(down[x], filled(4)[0]);

    // Row 4 the same from the left.
    Grid across = filled(4);
    const std::array<int, 7> r = {1, E, 2, E, E, 3, E};
    for (int x = 0; x < 7; ++x) across[x][4] = r[x];
    Grid left = across;
    slide(left, kLeft, E);
    EXPECT_EQ(row(left, 4), (std::array<int, 7>{1, 2, 3, E, E, E, E}));
    Grid right = across;
    slide(right, kRight, E);
    EXPECT_EQ(row(right, 4), (std::array<int, 7>{E, E, E, E, 1, 2, 3}));
    EXPECT_EQ(row(right, 5), row(filled(4), 5));

    // Any other direction slides down; a full board never changes.
    for (int dir : {0, 5, -3}) {
        Grid b = column;
        slide(b, dir, E);
        EXPECT_EQ(b, down) << dir;
    }
    Grid full = filled(7);
    for (int dir = 1; dir <= 4; ++dir) {
        slide(full, dir, E);
        EXPECT_EQ(full, filled(7));
    }
}

// The server marks an emptied square 27 (and may hold an undealt 0, which is a tile to
// the slide); the client's mirror marks it 0. The same holes must end up in the same
// places in both.
TEST(Slide, ServerBoardAndClientMirrorSlideAlike) {
    SeededRandom random(11);
    for (int round = 0; round < 200; ++round) {
        Grid server{};
        for (auto& column : server)
            for (int& code : column) code = random.below(3) == 0 ? kServerEmpty : random.below(26) + 1;
        Grid client = server;
        for (auto& column : client)
            for (int& code : column)
                if (code == kServerEmpty) code = kClientEmpty;
        const int dir = random.below(6);
        slide(server, dir, kServerEmpty);
        slide(client, dir, kClientEmpty);
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y)
                ASSERT_EQ(client[x][y], server[x][y] == kServerEmpty ? kClientEmpty : server[x][y])
                    << "round " << round << " direction " << dir << " square " << x << "," << y;
    }
}

// Letter codes by name for readable boards.
constexpr int A = 1, M = 13, O = 15, R = 18, S = 19, T = 20, Q = 17;

TEST(ScorePath, LetterValuesBonusesAndMultipliers) {
    Grid b = filled(A);
    // Plain squares: the sum of the letter values.
    b[1][2] = Q;
    b[2][3] = T;
    EXPECT_EQ(scorePath(b, std::vector<Square>{{1, 2}, {2, 3}}), 11);
    // The centre adds 20 for its tile.
    EXPECT_EQ(scorePath(b, std::vector<Square>{{2, 3}, {3, 3}}), 1 + 1 + 20);
    // Two double-word squares: times 4; a double and a triple: times 6.
    EXPECT_EQ(scorePath(b, std::vector<Square>{{1, 1}, {2, 1}, {1, 5}}), 3 * 4);
    EXPECT_EQ(scorePath(b, std::vector<Square>{{1, 1}, {2, 1}, {3, 0}}), 3 * 6);
    // S on a triple word, T, O, R on a double word, M on a double letter: 10, x2, x3.
    b[3][0] = S;
    b[4][0] = T;
    b[5][0] = O;
    b[5][1] = R;
    b[6][0] = M;
    EXPECT_EQ(scorePath(b, std::vector<Square>{{3, 0}, {4, 0}, {5, 0}, {5, 1}, {6, 0}}), 60);
    // Seven letters (six A and the Q, over one double word): 20 more after the doubling.
    const std::vector<Square> seven = {{0, 1}, {0, 2}, {1, 1}, {1, 2}, {1, 3}, {0, 4}, {1, 4}};
    EXPECT_EQ(scorePath(b, seven), (6 + 10) * 2 + 20);
    EXPECT_EQ(scorePath(b, std::span<const Square>(seven).first(6)), (5 + 10) * 2);
    EXPECT_EQ(scorePath(b, std::vector<Square>{}), 0);
}

}  // namespace
}  // namespace quorbit::rules
