#include "solver/solver.h"

#include <algorithm>
#include <bit>

#include "rules/scoring.h"

namespace quorbit::solver {
namespace {

using dictionary::WordGraph;
using rules::Grid;
using Bits = std::uint64_t;  // a set of squares, one bit per square

constexpr int kSide = rules::kBoardSize;
constexpr int kSquareCount = rules::kSquareCount;
static_assert(kSquareCount <= 64, "a set of squares is one 64-bit number");
static_assert(rules::kMaxWord <= 8 && kSquareCount <= 256, "a path's squares are a byte each in 64 bits");

// Squares are numbered x * size + y, so that ascending numbers are x-major order.
constexpr rules::Square squareAt(int sq) { return {sq / kSide, sq % kSide}; }

constexpr auto kSquares = [] {
    std::array<rules::Square, kSquareCount> out{};
    for (int sq = 0; sq < kSquareCount; ++sq) out[static_cast<std::size_t>(sq)] = squareAt(sq);
    return out;
}();

// Each square's neighbours on the board, as rules::neighbours decides them.
constexpr auto kNeighbours = [] {
    std::array<Bits, kSquareCount> out{};
    for (int a = 0; a < kSquareCount; ++a)
        for (int b = 0; b < kSquareCount; ++b)
            if (rules::neighbours(squareAt(a), squareAt(b))) out[static_cast<std::size_t>(a)] |= Bits{1} << b;
    return out;
}();

// The board as the walk needs it, worked out once per search.
struct Prepared {
    std::array<std::int8_t, kSquareCount> letter{};         // 0..25, or -1 for no letter
    std::array<std::int32_t, kSquareCount> points{};        // what the tile adds: value and letter bonus
    std::array<std::int32_t, kSquareCount> factor{};        // its word factor: 1, 2 or 3
    std::array<Bits, kSquareCount> around{};                // its neighbours that hold letters
    std::array<std::uint32_t, kSquareCount> aroundLetters{};  // the letters on those, one bit per letter
    std::array<Bits, 26> squaresOf{};                       // the squares holding each letter

    Prepared(const Grid& board, const rules::LetterValues& values) {
        Bits lettered = 0;
        for (int sq = 0; sq < kSquareCount; ++sq) {
            const auto i = static_cast<std::size_t>(sq);
            const rules::Square s = kSquares[i];
            const int code = rules::at(board, s);
            letter[i] = rules::isLetter(code) ? static_cast<std::int8_t>(code - 1) : -1;
            if (letter[i] >= 0) {
                squaresOf[static_cast<std::size_t>(letter[i])] |= Bits{1} << sq;
                lettered |= Bits{1} << sq;
            }
            const int value = rules::letterworth(code, values);
            const rules::Bonus b = rules::bonusAt(s);
            points[i] = value + rules::letterBonus(b, value);
            factor[i] = b == rules::Bonus::DoubleWord ? 2 : b == rules::Bonus::TripleWord ? 3 : 1;
        }
        for (std::size_t i = 0; i < around.size(); ++i) {
            around[i] = kNeighbours[i] & lettered;
            for (Bits at = around[i]; at != 0; at &= at - 1)
                aroundLetters[i] |= 1u << letter[static_cast<std::size_t>(std::countr_zero(at))];
        }
    }
};

// The path walked so far, one frame per letter: its squares a byte each (the first
// highest), its letters packed five bits each (letter + 1, the first highest), the sum of
// what its tiles add and the product of their word factors.
struct Frame {
    std::uint64_t squares;
    std::uint64_t key;
    std::int32_t sum;
    std::int32_t factor;
};

// Words met and not yet handed over; a square adds at most eight before the next check.
constexpr int kHitRoom = 512;

// The rank of letter l among the letters of `head`: where its child lies after the first.
template <bool kPopcnt>
[[gnu::always_inline]] inline std::uint32_t rankOf(std::uint32_t head, int l) {
    const std::uint32_t below = head & WordGraph::kLetters & ((1u << l) - 1);
    if constexpr (kPopcnt)
        return static_cast<std::uint32_t>(__builtin_popcount(below));
    else
        return static_cast<std::uint32_t>(dictionary::bitCount(below));
}

// Depth-first walk of the board along the word graph, at most seven squares deep, each
// square once (a bit of `used_`). At each square only the letters that both follow in the
// graph and lie next to it are tried, and deeper only where the graph goes on with a letter
// found next to the new square. Every path that spells a word of the vocabulary is written
// to a buffer, handed to `take(met, count)` whenever the buffer fills and at the end; a
// path is written in any case and kept by counting it or not, so that no branch guesses
// at words. Paths are met letter by letter, not in x-major order: the receiver breaks ties
// between paths itself. Nothing is allocated.
template <bool kPopcnt, class Take>
class Walk {
public:
    Walk(const std::uint32_t* records, const Prepared& board, std::uint32_t want, Take& take)
        : records_(records), board_(board), take_(take), want_(want) {}

    [[gnu::always_inline]] void run() {
        const std::uint32_t head = records_[0];
        const std::uint32_t first = records_[1];
        for (int sq = 0; sq < kSquareCount; ++sq) {
            const auto i = static_cast<std::size_t>(sq);
            const int l = board_.letter[i];
            if (l < 0 || ((head >> l) & 1u) == 0) continue;
            const std::uint32_t child = first + rankOf<kPopcnt>(head, l);
            frames_[0] = {static_cast<std::uint64_t>(sq), static_cast<std::uint64_t>(l + 1), board_.points[i], board_.factor[i]};
            extend<0>(sq, records_[2 * child], records_[2 * child + 1]);
        }
        if (count_ > 0) take_(met_.data(), count_);
    }

private:
    // The path ends on `sq` at `Depth` (0 for the first letter), on the graph record whose
    // numbers are `head` and `first`; frames_[Depth] holds it. One function per depth, so
    // that they fold together.
    template <int Depth>
    [[gnu::always_inline]] void extend(int sq, std::uint32_t head, std::uint32_t first) {
        constexpr int kLength = Depth + 2;  // of the paths made here
        constexpr int kBonus = kLength == rules::kMaxWord ? rules::kSevenLetterBonus : 0;
        std::uint32_t follow = head & board_.aroundLetters[static_cast<std::size_t>(sq)];
        if (follow == 0) return;
        if (count_ > kHitRoom - 8) {
            take_(met_.data(), count_);
            count_ = 0;
        }
        const Bits bit = Bits{1} << sq;
        used_ |= bit;
        const Bits free = board_.around[static_cast<std::size_t>(sq)] & ~used_;
        const Frame& here = frames_[Depth];
        Frame& next = frames_[Depth + 1];
        do {
            const int l = std::countr_zero(follow);
            follow &= follow - 1;
            Bits at = free & board_.squaresOf[static_cast<std::size_t>(l)];
            if (at == 0) continue;
            const std::uint32_t child = first + rankOf<kPopcnt>(head, l);
            const std::uint32_t childHead = records_[2 * child];
            next.key = (here.key << 5) | static_cast<std::uint64_t>(l + 1);
            const int word = (childHead & want_) != 0 ? 1 : 0;
            do {
                const int nb = std::countr_zero(at);
                const auto n = static_cast<std::size_t>(nb);
                at &= at - 1;
                next.squares = (here.squares << 8) | static_cast<std::uint64_t>(nb);
                next.sum = here.sum + board_.points[n];
                next.factor = here.factor * board_.factor[n];
                met_[static_cast<std::size_t>(count_)] = Met{next.squares, next.key, kLength, next.sum * next.factor + kBonus};
                count_ += word;
                if constexpr (kLength < rules::kMaxWord)
                    if ((childHead & board_.aroundLetters[n]) != 0) extend<Depth + 1>(nb, childHead, records_[2 * child + 1]);
            } while (at != 0);
        } while (follow != 0);
        used_ &= ~bit;
    }

    const std::uint32_t* records_;
    const Prepared& board_;
    Take& take_;
    std::uint32_t want_;
    Bits used_ = 0;
    int count_ = 0;
    std::array<Frame, rules::kMaxWord + 1> frames_{};
    std::array<Met, kHitRoom> met_;
};

template <bool kPopcnt, class Take>
[[gnu::always_inline]] inline void walkBody(const std::uint32_t* records, const Prepared& board, std::uint32_t want,
                                            Take& take) {
    Walk<kPopcnt, Take>(records, board, want, take).run();
}

#if defined(__x86_64__) || defined(__i386__)
// The same walk compiled for processors with the bit-count instruction, chosen at run time:
// finding a child costs one instruction instead of a dozen.
template <class Take>
[[gnu::target("popcnt")]] void walkPopcnt(const std::uint32_t* records, const Prepared& board, std::uint32_t want,
                                          Take& take) {
    walkBody<true>(records, board, want, take);
}

bool hasPopcnt() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("popcnt") != 0;
    }();
    return has;
}
#endif

template <class Take>
void walk(const WordGraph& graph, const Prepared& board, Vocabulary vocabulary, Take& take) {
    if (graph.root() == WordGraph::kNone) return;
    const std::uint32_t want = vocabulary == Vocabulary::Computer ? WordGraph::kComputer : WordGraph::kWord;
#if defined(__x86_64__) || defined(__i386__)
    if (hasPopcnt()) return walkPopcnt(graph.data(), board, want, take);
#endif
    walkBody<false>(graph.data(), board, want, take);
}

// The order of better() for different words as one number, smaller first: the score, the
// length, the letters, and in the low twelve bits an index that travels with it. Nothing
// when the score or the index does not fit.
std::optional<std::uint64_t> orderOf(int score, int length, std::uint64_t key, std::size_t index) {
    if (score < 0 || score > 0x3FFF || index > 0xFFF) return std::nullopt;
    const std::uint64_t letters = key << (5 * (rules::kMaxWord - length));  // left-aligned in 35 bits
    return (static_cast<std::uint64_t>(0x3FFF - score) << 50) | (static_cast<std::uint64_t>(rules::kMaxWord - length) << 47) |
           (letters << 12) | index;
}

// Sorts the numbers: first by their top 32 bits (the score, the length and the first three
// letters) a byte at a time from the lowest, skipping the bytes in which all of them agree,
// then by insertion, which finds them all but in order. Sorting hundreds of words by
// comparison alone mispredicts a branch at every other step.
void sortOrders(std::vector<std::uint64_t>& orders, std::vector<std::uint64_t>& scratch) {
    constexpr int kLow = 32;
    constexpr int kPasses = (64 - kLow) / 8;
    const std::size_t n = orders.size();
    std::array<std::array<std::uint32_t, 256>, kPasses> counts{};
    for (const std::uint64_t o : orders)
        for (int p = 0; p < kPasses; ++p) ++counts[static_cast<std::size_t>(p)][(o >> (kLow + 8 * p)) & 0xFFu];
    scratch.resize(n);
    for (int p = 0; p < kPasses; ++p) {
        auto& count = counts[static_cast<std::size_t>(p)];
        if (count[(orders[0] >> (kLow + 8 * p)) & 0xFFu] == n) continue;
        std::uint32_t at = 0;
        for (std::uint32_t& c : count) {
            const std::uint32_t here = c;
            c = at;
            at += here;
        }
        for (const std::uint64_t o : orders) scratch[count[(o >> (kLow + 8 * p)) & 0xFFu]++] = o;
        orders.swap(scratch);
    }
    for (std::size_t i = 1; i < n; ++i) {
        const std::uint64_t o = orders[i];
        std::size_t j = i;
        for (; j > 0 && orders[j - 1] > o; --j) orders[j] = orders[j - 1];
        orders[j] = o;
    }
}

// True when path a comes before path b in x-major order (both spell the same word).
bool earlier(const Met& a, const Met& b) { return a.squares < b.squares; }

void toFound(const Met& h, Found& f) {
    f.length = h.length;
    f.score = h.score;
    std::uint64_t key = h.key;
    std::uint64_t squares = h.squares;
    for (auto i = static_cast<std::size_t>(h.length); i-- > 0; key >>= 5, squares >>= 8) {
        f.letters[i] = static_cast<char>('A' - 1 + (key & 31u));
        f.squares[i] = kSquares[squares & 0xFFu];
    }
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
    Met* found = found_.data();
    std::size_t room = found_.size();
    std::uint64_t* slot = slots_.data();
    std::size_t mask = slots_.size() / 2 - 1;
    auto hashOf = [](std::uint64_t key) { return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 40); };
    // Rare: more room for words, or more slots (twice as many, every word placed again
    // under a fresh stamp). Kept out of the search's path.
    auto grow = [&]() __attribute__((noinline)) {
        if (count + 1 >= found_.size()) found_.resize(2 * found_.size());
        found = found_.data();
        room = found_.size();
        if (count * 2 <= mask + 1) return;
        slots_.assign(slots_.size() * 2, 0);
        slot = slots_.data();
        mask = slots_.size() / 2 - 1;
        stamp_ = 1;
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t t = hashOf(found[k].key) & mask;
            while ((slot[2 * t + 1] >> 32) == stamp_) t = (t + 1) & mask;
            slot[2 * t] = found[k].key;
            slot[2 * t + 1] = (std::uint64_t{stamp_} << 32) | k;
        }
    };
    // Each word met: a new one takes the next place (found_ always has one spare), one met
    // before keeps the better path; written either way, without a branch on which.
    auto take = [&](const Met* met, int n) {
        for (const Met* p = met; p != met + n; ++p) {
            const std::uint64_t tag = std::uint64_t{stamp_} << 32;  // grow() may restart the stamps
            std::size_t s = hashOf(p->key) & mask;
            while ((slot[2 * s + 1] & ~std::uint64_t{0xFFFFFFFFu}) == tag && slot[2 * s] != p->key) s = (s + 1) & mask;
            const bool fresh = (slot[2 * s + 1] & ~std::uint64_t{0xFFFFFFFFu}) != tag;
            const std::size_t index = fresh ? count : static_cast<std::uint32_t>(slot[2 * s + 1]);
            slot[2 * s] = p->key;
            slot[2 * s + 1] = tag | index;
            Met& f = found[index];
            const bool better = fresh || p->score > f.score || (p->score == f.score && p->squares < f.squares);
            f.key = p->key;
            f.length = p->length;
            f.score = better ? p->score : f.score;
            f.squares = better ? p->squares : f.squares;
            count += fresh ? 1 : 0;
            if (count + 1 >= room || count * 2 > mask + 1) grow();
        }
    };
    walk(graph_, prepared, vocabulary, take);

    std::vector<Found> out(count);
    if (count == 0) return out;
    // Sorting one number per word is much cheaper than comparing the answers themselves.
    order_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const auto order = orderOf(found_[i].score, found_[i].length, found_[i].key, i);
        if (!order) break;
        order_.push_back(*order);
    }
    if (order_.size() == count) {
        sortOrders(order_, scratch_);
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
    auto take = [&](const Met* met, int n) {
        for (const Met* p = met; p != met + n; ++p) {
            const auto order = generic ? std::nullopt : orderOf(p->score, p->length, p->key, 0);
            if (order) {
                if (*order > topOrder || (*order == topOrder && !earlier(*p, top))) continue;
                topOrder = *order;
                top = *p;
                any = true;
                continue;
            }
            if (!generic && any) topFound = toFound(top);
            generic = true;
            const Found f = toFound(*p);
            if (!topFound || better(f, *topFound)) topFound = f;
        }
    };
    walk(graph_, prepared, vocabulary, take);
    if (generic) return topFound;
    if (!any) return std::nullopt;
    return toFound(top);
}

}  // namespace quorbit::solver
