#pragma once
// The whole-board solver: every word of 2 to 7 letters that can be traced on a board (eight
// neighbours, no square twice), each with its best path and its exact score. Used by the
// computer player's stronger levels and by the client's hint.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "dictionary/wordgraph.h"
#include "rules/board.h"
#include "rules/path.h"
#include "rules/letters.h"
#include "rules/scoring.h"

namespace quorbit::solver {

// Which words count: the whole word list, or only the computer player's common words.
enum class Vocabulary { Dictionary, Computer };

struct Found {
    std::array<char, rules::kMaxWord + 1> letters{};  // the word in capitals, as the server builds it
    int length = 0;
    std::array<rules::Square, rules::kMaxWord> squares{};
    int score = 0;

    std::string_view word() const { return {letters.data(), static_cast<std::size_t>(length)}; }
    // The squares as a submission path, positions 1..length.
    std::vector<rules::PathStep> path() const;
};

// The order of answers: higher score first, then the longer word, then the alphabetically
// first, then the path whose squares come first in x-major order.
bool better(const Found& a, const Found& b);

// A word met on the board during a search: its squares (x * board size + y) a byte each, the
// first in the highest byte used; its number in the graph's alphabetical numbering (low 24
// bits) and its length (high 8 bits); its score.
struct Met {
    std::uint64_t squares;
    std::uint32_t word;
    std::int32_t score;
};

class Solver {
public:
    // A language's graph and its letter values; English by default.
    explicit Solver(const dictionary::WordGraph& graph = dictionary::WordGraph::builtin(),
                    const rules::LetterValues& values = rules::kEnglishValues)
        : graph_(graph), values_(values) {}

    // Each traceable word once, with its best path (highest score, then first in x-major
    // order), best word first.
    std::vector<Found> all(const rules::Grid& board, Vocabulary vocabulary);
    // The best word of all(), found without listing the others; nothing when no word can
    // be traced.
    std::optional<Found> best(const rules::Grid& board, Vocabulary vocabulary) const;

private:
    const dictionary::WordGraph& graph_;
    rules::LetterValues values_;
    // Kept between calls so that a search allocates nothing once warm: the paths met, their
    // places in answer order with room and counts to sort them, and a bit per word number
    // that marks it taken (cleared before a call returns).
    std::vector<Met> found_;
    std::vector<std::uint64_t> order_;
    std::vector<std::uint64_t> scratch_;
    std::vector<std::uint64_t> seen_;
    std::vector<std::uint32_t> counts_;
};

}  // namespace quorbit::solver
