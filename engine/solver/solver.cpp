#include "solver/solver.h"

#include <algorithm>
#include <bit>

#include "rules/scoring.h"

namespace quorbit::solver {
namespace {

using dictionary::WordGraph;
using rules::Grid;

// The board as the walk needs it, worked out once per search. Squares are numbered
// x * 7 + y, so that ascending numbers are x-major order.
struct Prepared {
    std::array<std::int8_t, 49> letter{};         // 0..25, or -1 for no letter
    std::array<std::int16_t, 49> points{};        // what the tile adds: value and letter bonus
    std::array<std::int8_t, 49> factor{};         // its word factor: 1, 2 or 3
    std::array<std::uint64_t, 49> around{};       // its neighbours, one bit per square
    std::array<std::uint32_t, 49> aroundLetters{};  // the letters on those, one bit per letter
    std::array<std::uint64_t, 26> squaresOf{};    // the squares holding each letter

    Prepared(const Grid& board, const rules::LetterValues& values) {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) {
                const int sq = x * 7 + y;
                const int code = board[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
                letter[sq] = rules::isLetter(code) ? static_cast<std::int8_t>(code - 1) : -1;
                if (letter[sq] >= 0) squaresOf[static_cast<std::size_t>(letter[sq])] |= std::uint64_t{1} << sq;
                const int value = rules::letterworth(code, values);
                const rules::Bonus b = rules::bonusAt(x, y);
                points[sq] = static_cast<std::int16_t>(value + rules::letterBonus(b, value));
                factor[sq] = b == rules::Bonus::DoubleWord ? 2 : b == rules::Bonus::TripleWord ? 3 : 1;
            }
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y)
                for (int nx = x - 1; nx <= x + 1; ++nx)
                    for (int ny = y - 1; ny <= y + 1; ++ny) {
                        const int nb = nx * 7 + ny;
                        if ((nx == x && ny == y) || nx < 0 || nx > 6 || ny < 0 || ny > 6 || letter[nb] < 0) continue;
                        around[x * 7 + y] |= std::uint64_t{1} << nb;
                        aroundLetters[x * 7 + y] |= 1u << letter[nb];
                    }
    }
};

// The record of the child for letter l of a record whose first number is `head`.
inline std::uint32_t childOf(std::uint32_t head, std::uint32_t first, int l) {
    return first + static_cast<std::uint32_t>(dictionary::bitCount(head & WordGraph::kLetters & ((1u << l) - 1)));
}

// The path walked so far, one frame per letter: its letters packed five bits each
// (letter + 1, the first highest), its squares a byte each (the first highest), the sum of
// what its tiles add and the product of its word factors.
struct Frame {
    std::uint64_t key;
    std::uint64_t squares;
    int sum;
    int factor;
};

// Depth-first walk of the board along the word graph, at most seven squares deep, each
// square once (a bit of `used_`); `hit(frame, length)` is called with every path that
// spells a word of the vocabulary. At each square only the letters that both follow in the
// graph and lie next to it are tried. Nothing is allocated. Paths are met letter by
// letter, not in x-major order: the receiver breaks ties between paths itself.
template <class Hit>
class Walk {
public:
    Walk(const WordGraph& graph, const Prepared& board, Vocabulary vocabulary, Hit& hit)
        : records_(graph.data()), board_(board), hit_(hit),
          want_(vocabulary == Vocabulary::Computer ? WordGraph::kComputer : WordGraph::kWord) {}

    void run(std::uint32_t root) {
        if (root == WordGraph::kNone) return;
        const std::uint32_t head = records_[2 * root];
        const std::uint32_t first = records_[2 * root + 1];
        for (int sq = 0; sq < 49; ++sq) {
            const int l = board_.letter[sq];
            if (l < 0 || ((head >> l) & 1u) == 0) continue;
            const std::uint32_t child = childOf(head, first, l);
            frames_[0] = {static_cast<std::uint64_t>(l + 1), static_cast<std::uint64_t>(sq), board_.points[sq], board_.factor[sq]};
            extend<0>(sq, records_[2 * child], records_[2 * child + 1]);
        }
    }

private:
    // The path ends on `sq` at `Depth` (0 for the first letter), on the graph record whose
    // numbers are `head` and `first`; frames_[Depth] holds it. Tries every neighbour that
    // continues it, reporting the words and going deeper only where the graph goes on
    // with a letter found next to the new square: the many paths that end there cost no
    // call. One function per depth, so the last ones fold together.
    template <int Depth>
    void extend(int sq, std::uint32_t head, std::uint32_t first) {
        constexpr int kLength = Depth + 2;  // of the paths made here
        std::uint32_t follow = head & board_.aroundLetters[sq];
        if (follow == 0) return;
        const std::uint64_t bit = std::uint64_t{1} << sq;
        used_ |= bit;
        const std::uint64_t free = board_.around[sq] & ~used_;
        const Frame& here = frames_[Depth];
        Frame& next = frames_[Depth + 1];
        do {
            const int l = std::countr_zero(follow);
            follow &= follow - 1;
            std::uint64_t at = free & board_.squaresOf[static_cast<std::size_t>(l)];
            if (at == 0) continue;
            const std::uint32_t child = childOf(head, first, l);
            const std::uint32_t childHead = records_[2 * child];
            next.key = (here.key << 5) | static_cast<std::uint64_t>(l + 1);
            do {
                const int nb = std::countr_zero(at);
                at &= at - 1;
                next.squares = (here.squares << 8) | static_cast<std::uint64_t>(nb);
                next.sum = here.sum + board_.points[nb];
                next.factor = here.factor * board_.factor[nb];
                if ((childHead & want_) != 0) hit_(next, kLength);
                if constexpr (kLength < rules::kMaxWord)
                    if ((childHead & board_.aroundLetters[nb]) != 0) extend<Depth + 1>(nb, childHead, records_[2 * child + 1]);
            } while (at != 0);
        } while (follow != 0);
        used_ &= ~bit;
    }

    const std::uint32_t* records_;
    const Prepared& board_;
    Hit& hit_;
    std::uint32_t want_;
    std::uint64_t used_ = 0;
    std::array<Frame, 8> frames_{};
};

int scoreOf(const Frame& f, int length) {
    return f.sum * f.factor + (length == rules::kMaxWord ? rules::kSevenLetterBonus : 0);
}

// The order of better() for different words as one number, smaller first: the score, the
// length, the letters, and in the low twelve bits an index that travels with it. Nothing
// when the score or the index does not fit.
std::optional<std::uint64_t> orderOf(int score, int length, std::uint64_t key, std::size_t index) {
    if (score < 0 || score > 0x3FFF || index > 0xFFF) return std::nullopt;
    const std::uint64_t letters = key << (5 * (7 - length));  // left-aligned in 35 bits
    return (static_cast<std::uint64_t>(0x3FFF - score) << 50) | (static_cast<std::uint64_t>(7 - length) << 47) |
           (letters << 12) | index;
}

// True when path a comes before path b in x-major order (both spell the same word).
bool earlier(const Met& a, const Met& b) { return a.squares < b.squares; }

constexpr auto kSquares = [] {
    std::array<rules::Square, 49> out{};
    for (int sq = 0; sq < 49; ++sq) out[static_cast<std::size_t>(sq)] = {sq / 7, sq % 7};
    return out;
}();

void toFound(const Met& h, Found& f) {
    f.length = h.length;
    f.score = h.score;
    std::uint64_t key = h.key;
    std::uint64_t squares = h.squares;
    for (int i = h.length - 1; i >= 0; --i, key >>= 5, squares >>= 8) {
        const auto k = static_cast<std::size_t>(i);
        f.letters[k] = static_cast<char>('A' - 1 + (key & 31u));
        f.squares[k] = kSquares[squares & 0xFFu];
    }
    f.letters[h.length] = '\0';
}

Found toFound(const Met& h) {
    Found f;
    toFound(h, f);
    return f;
}

bool squaresBefore(const Found& a, const Found& b) {
    for (int i = 0; i < a.length && i < b.length; ++i) {
        if (a.squares[i].x != b.squares[i].x) return a.squares[i].x < b.squares[i].x;
        if (a.squares[i].y != b.squares[i].y) return a.squares[i].y < b.squares[i].y;
    }
    return false;
}


}  // namespace

std::vector<rules::PathStep> Found::path() const {
    std::vector<rules::PathStep> out;
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

std::vector<Found> Solver::all(const Grid& board, Vocabulary vocabulary) {
    const Prepared prepared(board, values_);
    // Open addressing on the word's key: each slot holds the key, then the call's stamp
    // (high half) with the index into found_ (low half); a slot stamped by another call is
    // free, so nothing is cleared between calls.
    if (slots_.empty()) slots_.assign(2 * 2048, 0);
    if (++stamp_ == 0) {
        std::fill(slots_.begin(), slots_.end(), 0);
        stamp_ = 1;
    }
    std::size_t count = 0;
    if (found_.size() < 1024) found_.resize(1024);
    std::uint64_t* slot = slots_.data();
    std::size_t mask = slots_.size() / 2 - 1;
    auto hashOf = [](std::uint64_t key) { return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40); };
    // Rare: more room for words, or more slots (twice as many, every word placed again
    // under a fresh stamp). Kept out of the search's path.
    auto grow = [&]() __attribute__((noinline)) {
        if (count == found_.size()) found_.resize(2 * count);
        if (count * 2 <= mask + 1) return;
        slots_.assign(slots_.size() * 2, 0);
        slot = slots_.data();
        mask = slots_.size() / 2 - 1;
        stamp_ = 1;
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t t = hashOf(found_[k].key) & mask;
            while ((slot[2 * t + 1] >> 32) == stamp_) t = (t + 1) & mask;
            slot[2 * t] = found_[k].key;
            slot[2 * t + 1] = (std::uint64_t{stamp_} << 32) | k;
        }
    };
    auto hit = [&](const Frame& p, int length) {
        const std::uint64_t tag = std::uint64_t{stamp_} << 32;
        std::size_t s = hashOf(p.key) & mask;
        while ((slot[2 * s + 1] & ~std::uint64_t{0xFFFFFFFFu}) == tag) {
            if (slot[2 * s] == p.key) {
                Met& f = found_[static_cast<std::uint32_t>(slot[2 * s + 1])];
                const int score = scoreOf(p, length);
                if (score > f.score || (score == f.score && p.squares < f.squares)) f.score = score, f.squares = p.squares;
                return;
            }
            s = (s + 1) & mask;
        }
        slot[2 * s] = p.key;
        slot[2 * s + 1] = tag | count;
        found_[count++] = Met{p.squares, p.key, length, scoreOf(p, length)};
        if (count == found_.size() || count * 2 > mask + 1) grow();
    };
    Walk<decltype(hit)> walk(graph_, prepared, vocabulary, hit);
    walk.run(graph_.root());

    std::vector<Found> out(count);
    // Sorting one number per word is much cheaper than comparing the answers themselves.
    order_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const auto order = orderOf(found_[i].score, found_[i].length, found_[i].key, i);
        if (!order) break;
        order_.push_back(*order);
    }
    if (order_.size() == count) {
        std::sort(order_.begin(), order_.end());
        for (std::size_t i = 0; i < count; ++i) toFound(found_[order_[i] & 0xFFF], out[i]);
    } else {
        for (std::size_t i = 0; i < count; ++i) toFound(found_[i], out[i]);
        std::sort(out.begin(), out.end(), better);
    }
    return out;
}

std::optional<Found> Solver::best(const Grid& board, Vocabulary vocabulary) const {
    const Prepared prepared(board, values_);
    Met top{};
    std::uint64_t topOrder = ~std::uint64_t{0};
    bool any = false;
    bool generic = false;  // a score too large for the numbers: compare answers from then on
    std::optional<Found> topFound;
    auto hit = [&](const Frame& p, int length) {
        const Met met{p.squares, p.key, length, scoreOf(p, length)};
        const auto order = generic ? std::nullopt : orderOf(met.score, length, p.key, 0);
        if (order) {
            if (*order > topOrder || (*order == topOrder && !earlier(met, top))) return;
            topOrder = *order;
            top = met;
            any = true;
            return;
        }
        if (!generic && any) topFound = toFound(top);
        generic = true;
        const Found f = toFound(met);
        if (!topFound || better(f, *topFound)) topFound = f;
    };
    Walk<decltype(hit)> walk(graph_, prepared, vocabulary, hit);
    walk.run(graph_.root());
    if (generic) return topFound;
    if (!any) return std::nullopt;
    return toFound(top);
}

}  // namespace quorbit::solver
