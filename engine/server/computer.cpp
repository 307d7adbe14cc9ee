#include "server/computer.h"

#include <array>
#include <cctype>

#include "server/board.h"

namespace quorbit::server {
namespace {

using protocol::PathStep;
using protocol::Square;

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

struct Offset {
    int dx;
    int dy;
};
// The order in which the neighbours are compared.
constexpr std::array<Offset, 8> kNeighbours = {{
    {0, 1}, {0, -1}, {-1, 0}, {-1, 1}, {-1, -1}, {1, 0}, {1, 1}, {1, -1},
}};

}  // namespace

Square checkpoint(const protocol::BoardCodes& board, char letter, Square at) {
    for (const auto& o : kNeighbours) {
        const int x = at.x + o.dx;
        const int y = at.y + o.dy;
        // Lower bounds are 1 for a step to the left and for a step up; a straight step
        // sideways keeps its row, whatever it is.
        if (o.dx < 0 && x < 1) continue;
        if (o.dy < 0 && y < 1) continue;
        if (x < 0 || x > 6 || y < 0 || y > 6) continue;
        if (letterAt(board[x][y]) == letter) return {x, y};
    }
    return {0, 0};
}

std::optional<std::vector<PathStep>> getpoint(const protocol::BoardCodes& board,
                                              std::string_view word, int x, int y) {
    if (word.empty() || word.size() > 7) return std::nullopt;
    std::vector<PathStep> path;
    path.reserve(word.size());
    path.push_back({1, x, y});
    for (std::size_t k = 1; k < word.size(); ++k) {
        const PathStep& prev = path.back();
        const Square next = checkpoint(board, lower(word[k]), {prev.x, prev.y});
        if (next.x == 0) return std::nullopt;  // no neighbour (column 0 counts as none)
        for (const auto& step : path)
            if (step.x == next.x && step.y == next.y) return std::nullopt;
        path.push_back({static_cast<int>(k) + 1, next.x, next.y});
    }
    return path;
}

std::optional<std::vector<PathStep>> checkforthere(const protocol::BoardCodes& board,
                                                   std::string_view word) {
    if (word.empty()) return std::nullopt;
    const char first = lower(word[0]);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            if (letterAt(board[x][y]) == first)
                if (auto path = getpoint(board, word, x, y)) return path;
    return std::nullopt;
}

std::optional<ComputerWord> chooseword(const protocol::BoardCodes& board,
                                       const std::vector<std::string>& words, Random& random) {
    const int n = static_cast<int>(words.size());
    if (n < 2) return std::nullopt;
    int i = random.below(n - 1);
    for (int tries = 0; tries < n - 1; ++tries) {
        ++i;
        if (i > n - 1) i = 1;
        const std::string& word = words[static_cast<std::size_t>(i)];
        if (word.size() < 4 || word.size() > 7) continue;
        if (auto path = checkforthere(board, word)) return ComputerWord{word, std::move(*path)};
    }
    return std::nullopt;
}

}  // namespace quorbit::server
