#pragma once
// The Classic computer player's search: pick a word from its list and trace it on the
// board with a greedy neighbour search, without backtracking. Pure functions; the game
// submits the result.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/random.h"
#include "rules/board.h"
#include "rules/path.h"

namespace quorbit::computer {

// The neighbour of `at` that holds `letter` (lower case), tried in a fixed order:
// below, above, left, left-below, left-above, right, right-below, right-above. Column 0
// is never returned, and the squares above are taken only down to row 1; the two
// straight sideways neighbours have no row limit. (0, 0) means none.
rules::Square checkpoint(const rules::Grid& board, char letter, rules::Square at);

// Traces `word` starting on (x, y); the path (positions 1..n) or nothing. Each next
// letter takes the first matching neighbour only; a square already in the path, or no
// neighbour, ends the trace.
std::optional<std::vector<rules::PathStep>> getpoint(const rules::Grid& board,
                                                        std::string_view word, int x, int y);

// Tries every square holding the word's first letter, x-major; the first trace wins.
std::optional<std::vector<rules::PathStep>> checkforthere(const rules::Grid& board,
                                                             std::string_view word);

struct ComputerWord {
    std::string word;
    std::vector<rules::PathStep> path;
};

// Starts at a random place of the list and walks on (wrapping past the end to the second
// word; the first is never tried) until a word of 4 to 7 letters can be traced.
std::optional<ComputerWord> chooseword(const rules::Grid& board,
                                       const std::vector<std::string>& words, Random& random);

}  // namespace quorbit::computer
