#include "rules/scoring.h"

#include "rules/letters.h"

namespace quorbit::rules {

int scorePath(const Grid& board, std::span<const Square> path, const LetterValues& values) {
    int total = 0;
    int multiplier = 1;
    for (const Square s : path) {
        const Bonus b = bonusAt(s);
        const int value = letterworth(at(board, s), values);
        total += value + letterBonus(b, value);
        if (b == Bonus::DoubleWord) multiplier *= 2;
        if (b == Bonus::TripleWord) multiplier *= 3;
    }
    total *= multiplier;
    if (path.size() == static_cast<std::size_t>(kMaxWord)) total += kSevenLetterBonus;
    return total;
}

int scorePath(const Grid& board, std::span<const Square> path) { return scorePath(board, path, kEnglishValues); }

}  // namespace quorbit::rules
