#pragma once
// The board: its size, its squares, the fixed bonus squares, the eight-neighbour test and
// the slide of the tiles after a word. Grids are indexed [x][y]; x is the column from the
// left, y the row from the top, both 0..6. Every list of squares runs x-major.
#include <array>
#include <cstddef>

namespace quorbit::rules {

inline constexpr int kBoardSize = 7;
inline constexpr int kSquareCount = kBoardSize * kBoardSize;

// A square of the board; (-1, -1) is "no square".
struct Square {
    int x = -1;
    int y = -1;
    constexpr bool isSet() const { return x >= 0 && y >= 0; }
    friend constexpr bool operator==(const Square&, const Square&) = default;
};

// Letter codes (or picture numbers) of every square, indexed [x][y].
using Grid = std::array<std::array<int, kBoardSize>, kBoardSize>;

constexpr bool onBoard(int x, int y) { return x >= 0 && x < kBoardSize && y >= 0 && y < kBoardSize; }
constexpr bool onBoard(Square s) { return onBoard(s.x, s.y); }

constexpr int& at(Grid& g, Square s) { return g[static_cast<std::size_t>(s.x)][static_cast<std::size_t>(s.y)]; }
constexpr int at(const Grid& g, Square s) { return g[static_cast<std::size_t>(s.x)][static_cast<std::size_t>(s.y)]; }

// Two different squares whose columns and rows each differ by at most one: the squares a
// chain may step between.
constexpr bool neighbours(Square a, Square b) {
    const int dx = a.x - b.x;
    const int dy = a.y - b.y;
    return dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx != 0 || dy != 0);
}

// What a square adds to a word. The layout is symmetric about both middle lines and
// about the diagonal.
enum class Bonus {
    None,
    Centre,        // 20 points for the tile on it
    DoubleLetter,  // the tile's value once more
    TripleLetter,  // the tile's value twice more
    DoubleWord,    // the word's total doubled
    TripleWord,    // the word's total tripled
};

constexpr Bonus bonusAt(int x, int y) {
    // One corner of the board, folded: distance from the nearer edge in each direction.
    const int fx = x <= 3 ? x : 6 - x;
    const int fy = y <= 3 ? y : 6 - y;
    if (fx == 3 && fy == 3) return Bonus::Centre;
    if (fx == 0 && fy == 0) return Bonus::DoubleLetter;
    if (fx == 2 && fy == 2) return Bonus::TripleLetter;
    if (fx == 1 && fy == 1) return Bonus::DoubleWord;
    if ((fx == 0 && fy == 3) || (fx == 3 && fy == 0)) return Bonus::TripleWord;
    return Bonus::None;
}
constexpr Bonus bonusAt(Square s) { return bonusAt(s.x, s.y); }

static_assert(bonusAt(3, 3) == Bonus::Centre && bonusAt(6, 0) == Bonus::DoubleLetter &&
              bonusAt(4, 2) == Bonus::TripleLetter && bonusAt(5, 5) == Bonus::DoubleWord &&
              bonusAt(3, 6) == Bonus::TripleWord && bonusAt(1, 0) == Bonus::None);

// The two ways a board holds an emptied square: the server's board marks it 27 (0 is a
// square not dealt yet); the client's mirror marks it 0.
inline constexpr int kServerEmpty = 27;
inline constexpr int kServerUndealt = 0;
inline constexpr int kClientEmpty = 0;

// The side the tiles slide to after a word, as the arrows and the wire number them.
enum Direction : int { kDown = 1, kLeft = 2, kUp = 3, kRight = 4 };
constexpr bool isDirection(int d) { return d >= kDown && d <= kRight; }

// Compacts every line of the board toward `direction`, keeping the order of its tiles;
// the squares holding `empty` gather at the opposite side. Any direction other than
// 1..4 slides down.
void slide(Grid& board, int direction, int empty);

}  // namespace quorbit::rules
