#include "computer/tracer.h"

#include <array>
#include <cctype>
#include <cstdint>

#include "rules/letters.h"

namespace quorbit::computer {
namespace {

using rules::PathStep;
using rules::Square;

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

struct Offset {
    int dx;
    int dy;
};
// The order in which the neighbours are compared.
constexpr std::array<Offset, 8> kNeighbours = {{
    {0, 1}, {0, -1}, {-1, 0}, {-1, 1}, {-1, -1}, {1, 0}, {1, 1}, {1, -1},
}};

// The board as letters, with the squares of each letter listed x-major and the set of
// letters present, so that the search reads plain characters and skips words that use a
// letter the board lacks.
struct Letters {
    explicit Letters(const rules::Grid& board) {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) {
                const char c = rules::letterAt(board[x][y]);
                at[x][y] = c;
                if (c >= 'a' && c <= 'z') {
                    const int i = c - 'a';
                    squares[i][count[i]++] = {x, y};
                    present |= 1u << i;
                }
            }
    }
    char at[7][7];
    std::array<std::array<Square, 49>, 26> squares;
    std::array<int, 26> count{};
    std::uint32_t present = 0;
};

Square neighbour(const char (&at)[7][7], char letter, Square from) {
    for (const auto& o : kNeighbours) {
        const int x = from.x + o.dx;
        const int y = from.y + o.dy;
        // Lower bounds are 1 for a step to the left and for a step up; a straight step
        // sideways keeps its row, whatever it is.
        if (o.dx < 0 && x < 1) continue;
        if (o.dy < 0 && y < 1) continue;
        if (x > 6 || y > 6) continue;
        if (at[x][y] == letter) return {x, y};
    }
    return {0, 0};
}

// Greedy trace of `word` (lower case, 1..7 letters) from (x, y) into `path`.
bool trace(const char (&at)[7][7], std::string_view word, int x, int y, std::array<Square, 7>& path) {
    path[0] = {x, y};
    for (std::size_t k = 1; k < word.size(); ++k) {
        const Square next = neighbour(at, word[k], path[k - 1]);
        if (next.x == 0) return false;  // no neighbour (column 0 counts as none)
        for (std::size_t j = 0; j < k; ++j)
            if (path[j].x == next.x && path[j].y == next.y) return false;
        path[k] = next;
    }
    return true;
}

std::vector<PathStep> steps(const std::array<Square, 7>& path, std::size_t n) {
    std::vector<PathStep> out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k) out.push_back({static_cast<int>(k) + 1, path[k].x, path[k].y});
    return out;
}

// The word in lower case when it can be searched for at all (1..7 letters a..z).
bool lowered(std::string_view word, std::array<char, 7>& buf, std::uint32_t& mask) {
    if (word.empty() || word.size() > 7) return false;
    mask = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = lower(word[i]);
        if (c < 'a' || c > 'z') return false;
        buf[i] = c;
        mask |= 1u << (c - 'a');
    }
    return true;
}

std::optional<std::vector<PathStep>> firstTrace(const Letters& letters, std::string_view word) {
    std::array<char, 7> buf{};
    std::uint32_t mask = 0;
    if (!lowered(word, buf, mask) || (mask & ~letters.present) != 0) return std::nullopt;
    const std::string_view w(buf.data(), word.size());
    const int first = w[0] - 'a';
    std::array<Square, 7> path{};
    for (int i = 0; i < letters.count[first]; ++i) {
        const Square start = letters.squares[first][i];
        if (trace(letters.at, w, start.x, start.y, path)) return steps(path, w.size());
    }
    return std::nullopt;
}

}  // namespace

Square checkpoint(const rules::Grid& board, char letter, Square at) {
    const Letters letters(board);
    return neighbour(letters.at, lower(letter), at);
}

std::optional<std::vector<PathStep>> getpoint(const rules::Grid& board,
                                              std::string_view word, int x, int y) {
    std::array<char, 7> buf{};
    std::uint32_t mask = 0;
    if (x < 0 || x > 6 || y < 0 || y > 6 || !lowered(word, buf, mask)) return std::nullopt;
    const Letters letters(board);
    std::array<Square, 7> path{};
    if (!trace(letters.at, std::string_view(buf.data(), word.size()), x, y, path)) return std::nullopt;
    return steps(path, word.size());
}

std::optional<std::vector<PathStep>> checkforthere(const rules::Grid& board,
                                                   std::string_view word) {
    return firstTrace(Letters(board), word);
}

std::optional<ComputerWord> chooseword(const rules::Grid& board,
                                       const std::vector<std::string>& words, Random& random) {
    const int n = static_cast<int>(words.size());
    if (n < 2) return std::nullopt;
    const Letters letters(board);
    int i = random.below(n - 1);
    for (int tries = 0; tries < n - 1; ++tries) {
        ++i;
        if (i > n - 1) i = 1;
        const std::string& word = words[static_cast<std::size_t>(i)];
        if (word.size() < 4 || word.size() > 7) continue;
        if (auto path = firstTrace(letters, word)) return ComputerWord{word, std::move(*path)};
    }
    return std::nullopt;
}

}  // namespace quorbit::computer
