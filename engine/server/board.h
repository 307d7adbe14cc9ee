#pragma once
// The server's board: letter codes, the weighted deal, the bonus squares and the four
// tile shifts. Pure functions over a 7 by 7 grid indexed [x][y].
#include <span>
#include <string>

#include "protocol/messages.h"

namespace quorbit::server {

using protocol::BoardCodes;

// A letter code as a one-letter text: "a".."z" for 1..26, "*" for 27..29, "t" otherwise.
std::string convertoletter(int code);
// The same as a single character.
char letterAt(int code);

// The letter code dealt for a draw v of 1..98; each letter covers as many values as its
// weight (E twelve, A and I nine, ..., J, K, Q, X and Z one). Values outside 1..98 give A.
int drawcode(int v);

// Extra points of square (x, y) for a tile worth `value`: 20 on the centre, the value
// again on a double letter, twice the value on a triple letter; 500 marks a double-word
// square and 1000 a triple-word square (the caller counts those instead of adding).
int anybonus(int x, int y, int value);
inline constexpr int kDoubleWord = 500;
inline constexpr int kTripleWord = 1000;

// The points of a word laid on these squares of the board (1 to 7 of them, on the board):
// each tile's value with its square's extra, then doubled for every double-word square and
// tripled for every triple-word square, then 20 more for a seven-letter word.
int scorepath(const BoardCodes& board, std::span<const protocol::Square> squares);
inline constexpr int kSevenLetterBonus = 20;

// Each line is compacted toward one side, keeping the order of its tiles; the empty
// squares (27) gather at the other side.
void movedown(BoardCodes& board);   // toward row 6
void moveleft(BoardCodes& board);   // toward column 0
void moveup(BoardCodes& board);     // toward row 0
void moveright(BoardCodes& board);  // toward column 6
// 1 down, 2 left, 3 up, 4 right; any other value moves down.
void shiftboard(BoardCodes& board, int direction);

}  // namespace quorbit::server
