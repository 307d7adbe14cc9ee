// Letter codes, the deal's weights, bonus squares and the four tile shifts.
#include <gtest/gtest.h>

#include <map>

#include "server/board.h"

namespace quorbit::server {
namespace {

constexpr int E = 27;  // empty square

TEST(Board, ConvertoletterCoversEveryCode) {
    EXPECT_EQ(convertoletter(1), "a");
    EXPECT_EQ(convertoletter(26), "z");
    EXPECT_EQ(convertoletter(20), "t");
    EXPECT_EQ(convertoletter(0), "t");
    for (int code : {27, 28, 29}) EXPECT_EQ(convertoletter(code), "*");
    for (int code : {30, -1, 1000}) EXPECT_EQ(convertoletter(code), "t");
}

TEST(Board, EachLetterCoversAsManyDrawsAsItsWeight) {
    const std::map<char, int> weights = {
        {'A', 9}, {'E', 12}, {'I', 9}, {'O', 8}, {'U', 3}, {'D', 5}, {'G', 3}, {'H', 2}, {'L', 4},
        {'M', 2}, {'N', 6},  {'P', 2}, {'R', 6}, {'S', 4}, {'T', 6}, {'Y', 2}, {'B', 2}, {'C', 2},
        {'F', 2}, {'J', 1},  {'K', 1}, {'W', 2}, {'Q', 1}, {'V', 2}, {'X', 1}, {'Z', 1}};
    std::map<char, int> counts;
    for (int v = 1; v <= 98; ++v) {
        const int code = drawcode(v);
        ASSERT_GE(code, 1);
        ASSERT_LE(code, 26);
        ++counts[static_cast<char>('A' + code - 1)];
    }
    EXPECT_EQ(counts, weights);
    EXPECT_EQ(drawcode(1), 1);    // A
    EXPECT_EQ(drawcode(21), 5);   // E ends at 21
    EXPECT_EQ(drawcode(22), 9);   // I starts at 22
    EXPECT_EQ(drawcode(94), 17);  // Q
    EXPECT_EQ(drawcode(98), 26);  // Z
}

TEST(Board, BonusSquaresAreSymmetric) {
    EXPECT_EQ(anybonus(3, 3, 5), 20);
    for (auto [x, y] : {std::pair{0, 0}, {0, 6}, {6, 0}, {6, 6}}) EXPECT_EQ(anybonus(x, y, 5), 5);
    for (auto [x, y] : {std::pair{2, 2}, {2, 4}, {4, 2}, {4, 4}}) EXPECT_EQ(anybonus(x, y, 5), 10);
    for (auto [x, y] : {std::pair{1, 1}, {1, 5}, {5, 1}, {5, 5}}) EXPECT_EQ(anybonus(x, y, 5), kDoubleWord);
    for (auto [x, y] : {std::pair{0, 3}, {3, 0}, {3, 6}, {6, 3}}) EXPECT_EQ(anybonus(x, y, 5), kTripleWord);
    int plain = 0;
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            EXPECT_EQ(anybonus(x, y, 3), anybonus(y, x, 3));
            plain += anybonus(x, y, 3) == 0;
        }
    EXPECT_EQ(plain, 49 - 17);
}

BoardCodes filled(int code) {
    BoardCodes b{};
    for (auto& column : b) column.fill(code);
    return b;
}

// Column 2 holding A, empty, B, empty, empty, C, empty from the top.
BoardCodes columnExample() {
    BoardCodes b = filled(4);
    b[2] = {1, E, 2, E, E, 3, E};
    return b;
}

TEST(Board, MovedownAndMoveupCompactAColumnKeepingItsOrder) {
    BoardCodes down = columnExample();
    movedown(down);
    EXPECT_EQ(down[2], (std::array<int, 7>{E, E, E, E, 1, 2, 3}));
    BoardCodes up = columnExample();
    moveup(up);
    EXPECT_EQ(up[2], (std::array<int, 7>{1, 2, 3, E, E, E, E}));
    for (int x : {0, 1, 3, 4, 5, 6}) {
        EXPECT_EQ(down[x], filled(4)[0]);
        EXPECT_EQ(up[x], filled(4)[0]);
    }
}

// Row 4 holding A, empty, B, empty, empty, C, empty from the left.
BoardCodes rowExample() {
    BoardCodes b = filled(4);
    const std::array<int, 7> row = {1, E, 2, E, E, 3, E};
    for (int x = 0; x < 7; ++x) b[x][4] = row[x];
    return b;
}

std::array<int, 7> row(const BoardCodes& b, int y) {
    std::array<int, 7> r{};
    for (int x = 0; x < 7; ++x) r[x] = b[x][y];
    return r;
}

TEST(Board, MoveleftAndMoverightCompactARowKeepingItsOrder) {
    BoardCodes left = rowExample();
    moveleft(left);
    EXPECT_EQ(row(left, 4), (std::array<int, 7>{1, 2, 3, E, E, E, E}));
    BoardCodes right = rowExample();
    moveright(right);
    EXPECT_EQ(row(right, 4), (std::array<int, 7>{E, E, E, E, 1, 2, 3}));
    EXPECT_EQ(row(left, 3), row(filled(4), 3));
    EXPECT_EQ(row(right, 5), row(filled(4), 5));
}

TEST(Board, ShiftboardPicksTheSideAndMovesDownOtherwise) {
    const BoardCodes start = columnExample();
    BoardCodes expected = start;
    movedown(expected);
    for (int dir : {1, 0, 5, -3}) {
        BoardCodes b = start;
        shiftboard(b, dir);
        EXPECT_EQ(b, expected) << dir;
    }
    BoardCodes up = start;
    shiftboard(up, 3);
    EXPECT_EQ(up[2][0], 1);
    BoardCodes left = rowExample();
    shiftboard(left, 2);
    EXPECT_EQ(left[1][4], 2);
    BoardCodes right = rowExample();
    shiftboard(right, 4);
    EXPECT_EQ(right[6][4], 3);
    BoardCodes full = filled(7);
    for (int dir = 1; dir <= 4; ++dir) {
        shiftboard(full, dir);
        EXPECT_EQ(full, filled(7));
    }
}

}  // namespace
}  // namespace quorbit::server
