// The computer player's neighbour search, tracing and word choice.
#include <gtest/gtest.h>

#include <deque>

#include "computer/tracer.h"

namespace quorbit::computer {
namespace {

using BoardCodes = rules::Grid;
using rules::PathStep;
using rules::Square;

// rows[y][x]; '.' stands for a letter no test word uses (q).
BoardCodes boardOf(const std::array<std::string, 7>& rows) {
    BoardCodes b{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            b[x][y] = (c == '.') ? 17 : c - 'a' + 1;
        }
    return b;
}

bool same(Square a, Square b) { return a.x == b.x && a.y == b.y; }

std::vector<std::pair<int, int>> squares(const std::vector<PathStep>& path) {
    std::vector<std::pair<int, int>> out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        EXPECT_EQ(path[i].position, static_cast<int>(i) + 1);
        out.emplace_back(path[i].x, path[i].y);
    }
    return out;
}

TEST(Checkpoint, TriesTheNeighboursInItsOrder) {
    // Every neighbour of (3, 3) holds 'e'; remove them one by one in the expected order.
    BoardCodes b = boardOf({".......", ".......", "..eee..", "..e.e..", "..eee..", ".......", "......."});
    const std::vector<Square> order = {{3, 4}, {3, 2}, {2, 3}, {2, 4}, {2, 2}, {4, 3}, {4, 4}, {4, 2}};
    for (const Square& expected : order) {
        const Square got = checkpoint(b, 'e', {3, 3});
        EXPECT_TRUE(same(got, expected)) << got.x << "," << got.y;
        b[expected.x][expected.y] = 17;
    }
    EXPECT_TRUE(same(checkpoint(b, 'e', {3, 3}), {0, 0}));
}

TEST(Checkpoint, NeverColumnZeroAndNeverUpIntoRowZero) {
    const BoardCodes b = boardOf({"eeeeeee", "eeeeeee", "eeeeeee", "eeeeeee", "eeeeeee", "eeeeeee", "eeeeeee"});
    // From (1, 1): below (1, 2) first.
    EXPECT_TRUE(same(checkpoint(b, 'e', {1, 1}), {1, 2}));
    // Only column 0 and row 0 hold the letter around (1, 1): none of them counts.
    BoardCodes edge = boardOf({"eee....", "e......", "e......", ".......", ".......", ".......", "......."});
    EXPECT_TRUE(same(checkpoint(edge, 'e', {1, 1}), {0, 0}));
    // Sideways along row 0 is allowed, to the right first only after the left side.
    EXPECT_TRUE(same(checkpoint(edge, 'e', {2, 0}), {1, 0}));
    edge[1][0] = 17;
    edge[3][0] = 5;
    EXPECT_TRUE(same(checkpoint(edge, 'e', {2, 0}), {3, 0}));
}

TEST(Getpoint, ColumnZeroIsNeverEnteredAfterTheFirstLetter) {
    // "seat" runs down column 0: traceable only if it could go on in column 0.
    const BoardCodes col0 = boardOf({"s......", "e......", "a......", "t......", ".......", ".......", "......."});
    EXPECT_FALSE(getpoint(col0, "seat", 0, 0));
    // The same word starting in column 0 and going right is fine.
    const BoardCodes right = boardOf({".......", "seat...", ".......", ".......", ".......", ".......", "......."});
    const auto path = getpoint(right, "seat", 0, 1);
    ASSERT_TRUE(path);
    EXPECT_EQ(squares(*path), (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
}

TEST(Getpoint, RowZeroAllowsStraightSidewaysStepsOnly) {
    const BoardCodes along = boardOf({".seat..", ".......", ".......", ".......", ".......", ".......", "......."});
    const auto path = getpoint(along, "seat", 1, 0);
    ASSERT_TRUE(path);
    EXPECT_EQ(squares(*path), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    // Going up into row 0, straight or diagonally, is not allowed.
    const BoardCodes up = boardOf({"..at...", ".se....", ".......", ".......", ".......", ".......", "......."});
    EXPECT_FALSE(getpoint(up, "seat", 1, 1));
}

TEST(Getpoint, GreedyWithoutBacktracking) {
    // From s(3,3): 'e' below at (3,4) is taken first and is a dead end; the 'e' above
    // at (3,2) would have led on to "at", but it is never tried.
    const BoardCodes b = boardOf({".......", "...t...", "...a...", "...s...", "...e...", ".......", "......."});
    const BoardCodes withUpperE = [&] {
        BoardCodes c = b;
        c[3][2] = 5;   // e
        c[3][1] = 1;   // a
        c[3][0] = 20;  // t (row 0: not reachable straight up anyway)
        c[4][1] = 20;  // t beside the a
        return c;
    }();
    EXPECT_FALSE(getpoint(withUpperE, "seat", 3, 3));
    // Without the dead end below, the upper route is found.
    BoardCodes open = withUpperE;
    open[3][4] = 17;
    const auto path = getpoint(open, "seat", 3, 3);
    ASSERT_TRUE(path);
    EXPECT_EQ(squares(*path), (std::vector<std::pair<int, int>>{{3, 3}, {3, 2}, {3, 1}, {4, 1}}));
}

TEST(Getpoint, ASquareAlreadyUsedEndsTheTrace) {
    // From the 'o' the only 't' around is the start square.
    const BoardCodes b = boardOf({".......", ".......", "..t....", "..o....", ".......", ".......", "......."});
    EXPECT_FALSE(getpoint(b, "toto", 2, 2));  // t -> o -> t (the start again): stop
    EXPECT_FALSE(getpoint(b, "toooooooo", 2, 2));
}

TEST(Checkforthere, StartsAtTheFirstMatchingSquareXMajor) {
    const BoardCodes b = boardOf({".......", ".......", ".seat..", ".......", ".......", "..seat.", "......."});
    const auto path = checkforthere(b, "seat");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->front().x, 1);
    EXPECT_EQ(path->front().y, 2);
    EXPECT_FALSE(checkforthere(b, "teas"));
}

class Fixed : public Random {
public:
    explicit Fixed(std::deque<int> v) : values(std::move(v)) {}
    int below(int n) override {
        ++calls;
        lastN = n;
        if (values.empty()) return 0;
        const int v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<int> values;
    int calls = 0;
    int lastN = 0;
};

TEST(Chooseword, WalksOnFromARandomPlaceAndNeverTriesTheFirstWord) {
    const BoardCodes b = boardOf({".......", ".seat..", ".......", ".east..", ".......", ".toes..", "......."});
    const std::vector<std::string> words = {"seat", "east", "sea", "toes", "zzzz"};
    Fixed r1({0});
    auto c1 = chooseword(b, words, r1);
    ASSERT_TRUE(c1);
    EXPECT_EQ(c1->word, "east");
    EXPECT_EQ(r1.lastN, 4);  // a start index from 0 to n - 2
    Fixed r2({2});            // starts after "sea", tries "toes"
    EXPECT_EQ(chooseword(b, words, r2)->word, "toes");
    Fixed r3({3});  // "zzzz" fails, wraps to "east" (not "seat")
    EXPECT_EQ(chooseword(b, words, r3)->word, "east");
    // Only words of 4 to 7 letters.
    const BoardCodes small = boardOf({"sea....", ".......", ".......", ".......", ".......", ".......", "......."});
    Fixed r4({0});
    EXPECT_FALSE(chooseword(small, {"x", "sea", "se"}, r4));
    Fixed r5({0});
    EXPECT_FALSE(chooseword(small, {}, r5));
}

}  // namespace
}  // namespace quorbit::computer
