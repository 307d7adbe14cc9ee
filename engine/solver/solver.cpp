#include "solver/solver.h"

#include <algorithm>
#include <cstring>

#include "rules/letters.h"
#include "rules/scoring.h"

namespace quorbit::solver {
namespace {

using dictionary::WordGraph;
using protocol::BoardCodes;
using protocol::Square;

// The neighbours of every square (index x * 7 + y), in x-major order, so that paths are met
// in x-major order too.
struct Neighbours {
    std::array<std::array<std::int8_t, 8>, 49> list{};
    std::array<std::int8_t, 49> count{};
    constexpr Neighbours() {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y)
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if ((dx == 0 && dy == 0) || nx < 0 || nx > 6 || ny < 0 || ny > 6) continue;
                        const int sq = x * 7 + y;
                        list[sq][count[sq]++] = static_cast<std::int8_t>(nx * 7 + ny);
                    }
    }
};
constexpr Neighbours kNeighbours;

// Depth-first walk of the board along the word graph. `hit` is called for every path that
// spells a word of the vocabulary.
template <class Hit>
class Walk {
public:
    Walk(const WordGraph& graph, const BoardCodes& board, Vocabulary vocabulary, Hit& hit)
        : graph_(graph), board_(board), hit_(hit),
          want_(vocabulary == Vocabulary::Computer ? WordGraph::kComputer : WordGraph::kWord) {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) {
                const char c = rules::letterAt(board[x][y]);
                letter_[x * 7 + y] = (c >= 'a' && c <= 'z') ? static_cast<std::int8_t>(c - 'a') : -1;
            }
    }

    void run() {
        const std::uint32_t root = graph_.root();
        for (int sq = 0; sq < 49; ++sq) {
            if (letter_[sq] < 0) continue;
            const std::uint32_t edge = graph_.find(root, letter_[sq]);
            if (edge != 0) step(sq, edge, 0);
        }
    }

private:
    void step(int sq, std::uint32_t edge, int depth) {
        found_.squares[depth] = {sq / 7, sq % 7};
        found_.letters[depth] = static_cast<char>('A' + letter_[sq]);
        used_ |= std::uint64_t{1} << sq;
        const int length = depth + 1;
        if (length >= 2 && (edge & want_)) {
            found_.length = length;
            found_.letters[length] = '\0';
            found_.score = rules::scorePath(board_, {found_.squares.data(), static_cast<std::size_t>(length)});
            hit_(found_);
        }
        const std::uint32_t node = WordGraph::next(edge);
        if (length < 7 && node != 0)
            for (int i = 0; i < kNeighbours.count[sq]; ++i) {
                const int nb = kNeighbours.list[sq][i];
                if ((used_ >> nb) & 1u || letter_[nb] < 0) continue;
                const std::uint32_t e = graph_.find(node, letter_[nb]);
                if (e != 0) step(nb, e, length);
            }
        used_ &= ~(std::uint64_t{1} << sq);
    }

    const WordGraph& graph_;
    const BoardCodes& board_;
    Hit& hit_;
    std::uint32_t want_;
    std::array<std::int8_t, 49> letter_{};
    std::uint64_t used_ = 0;
    Found found_;
};

bool squaresBefore(const Found& a, const Found& b) {
    for (int i = 0; i < a.length && i < b.length; ++i) {
        if (a.squares[i].x != b.squares[i].x) return a.squares[i].x < b.squares[i].x;
        if (a.squares[i].y != b.squares[i].y) return a.squares[i].y < b.squares[i].y;
    }
    return false;
}

// The word's letters packed five bits each, one more than the letter, so that every word
// has its own non-zero key.
std::uint64_t keyOf(const Found& f) {
    std::uint64_t k = 0;
    for (int i = 0; i < f.length; ++i) k = (k << 5) | static_cast<std::uint64_t>(f.letters[i] - 'A' + 1);
    return k;
}

std::uint64_t spread(std::uint64_t k) {
    k ^= k >> 29;
    k *= 0xbf58476d1ce4e5b9ull;
    return k ^ (k >> 32);
}

}  // namespace

std::vector<protocol::PathStep> Found::path() const {
    std::vector<protocol::PathStep> out;
    out.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) out.push_back({i + 1, squares[i].x, squares[i].y});
    return out;
}

bool better(const Found& a, const Found& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.length != b.length) return a.length > b.length;
    const int c = a.word().compare(b.word());
    if (c != 0) return c < 0;
    return squaresBefore(a, b);
}

std::vector<Found> Solver::all(const BoardCodes& board, Vocabulary vocabulary) {
    std::vector<Found> out;
    std::vector<std::uint64_t> keys;
    if (slots_.empty()) slots_.assign(4096, -1);
    std::fill(slots_.begin(), slots_.end(), -1);
    auto grow = [&] {
        slots_.assign(slots_.size() * 2, -1);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::size_t s = spread(keys[i]) & mask;
            while (slots_[s] >= 0) s = (s + 1) & mask;
            slots_[s] = static_cast<std::int32_t>(i);
        }
    };
    auto hit = [&](const Found& f) {
        const std::uint64_t key = keyOf(f);
        const std::size_t mask = slots_.size() - 1;
        std::size_t s = spread(key) & mask;
        while (slots_[s] >= 0) {
            const auto i = static_cast<std::size_t>(slots_[s]);
            if (keys[i] == key) {
                // Paths arrive in x-major order, so only a higher score replaces a path.
                if (f.score > out[i].score) out[i] = f;
                return;
            }
            s = (s + 1) & mask;
        }
        slots_[s] = static_cast<std::int32_t>(out.size());
        out.push_back(f);
        keys.push_back(key);
        if (keys.size() * 2 > slots_.size()) grow();
    };
    Walk<decltype(hit)> walk(graph_, board, vocabulary, hit);
    walk.run();
    std::sort(out.begin(), out.end(), better);
    return out;
}

std::optional<Found> Solver::best(const BoardCodes& board, Vocabulary vocabulary) const {
    std::optional<Found> top;
    auto hit = [&](const Found& f) {
        if (!top || better(f, *top)) top = f;
    };
    Walk<decltype(hit)> walk(graph_, board, vocabulary, hit);
    walk.run();
    return top;
}

}  // namespace quorbit::solver
