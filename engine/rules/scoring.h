#pragma once
// The score of a word from the squares it uses: letter values, letter and centre bonuses
// added per tile, then the word doubled for each double-word square and tripled for each
// triple-word square, and a seven-letter word earns 20 more after that.
#include <span>

#include "rules/board.h"
#include "rules/letters.h"

namespace quorbit::rules {

inline constexpr int kMaxWord = 7;           // words have at most seven letters
inline constexpr int kSevenLetterBonus = 20;
inline constexpr int kCentreBonus = 20;

// Extra points of a square for a tile worth `value` (word multipliers count as 0).
constexpr int letterBonus(Bonus b, int value) {
    switch (b) {
        case Bonus::Centre: return kCentreBonus;
        case Bonus::DoubleLetter: return value;
        case Bonus::TripleLetter: return 2 * value;
        default: return 0;
    }
}

// The score of the path over `board` (server codes, 1..26 letters). The squares must be
// on the board; the caller has checked the path. Allocates nothing.
int scorePath(const Grid& board, std::span<const Square> path, const LetterValues& values);
// The same with English's letter values.
int scorePath(const Grid& board, std::span<const Square> path);

}  // namespace quorbit::rules
