#include "solver/solver.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <set>
#include <span>

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

// A letter bit past the alphabet, whose squares are none.
constexpr std::uint32_t kNoLetter = 1u << 31;

// The board as the walk needs it, worked out once per search.
struct Prepared {
    std::array<std::int8_t, kSquareCount> letter{};         // 0..25, or -1 for no letter
    std::array<std::int32_t, kSquareCount> points{};        // what the tile adds: value and letter bonus
    std::array<std::int32_t, kSquareCount> factor{};        // its word factor: 1, 2 or 3
    std::array<Bits, kSquareCount> around{};                // its neighbours that hold letters
    std::array<std::uint32_t, kSquareCount> aroundLetters{};  // the letters on those, one bit per letter
    std::array<std::uint32_t, kSquareCount> aroundTwice{};    // the letters on two or more of those
    std::array<std::uint32_t, kSquareCount> letterBit{};      // its own letter as a bit, 0 for none
    std::array<Bits, 32> squaresOf{};                       // the squares holding each letter (none past z)

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
            for (Bits at = around[i]; at != 0; at &= at - 1) {
                const std::uint32_t b = 1u << letter[static_cast<std::size_t>(std::countr_zero(at))];
                aroundTwice[i] |= aroundLetters[i] & b;
                aroundLetters[i] |= b;
            }
            letterBit[i] = letter[i] >= 0 ? 1u << letter[i] : 0;
        }
    }
};

// A word's number and length as Met::word holds them.
constexpr std::uint32_t kNumberMask = (1u << 24) - 1;
constexpr int kLengthShift = 24;

// Words met and not yet handed over; a square adds at most eight before the next check.
constexpr int kHitRoom = 512;

// The most keys (score and length) that all() sorts by counting; more, and it compares.
constexpr std::size_t kCountingRoom = 1 << 14;
// The bits of a word number (the graph's count field) and the most paths all() sorts by
// counting (their index is 32 bits).
constexpr int kNumberBits = 18;
static_assert(WordGraph::kFieldMask == (std::uint64_t{1} << kNumberBits) - 1, "a word number fits its field");
constexpr std::size_t kMostPaths = std::size_t{1} << 31;

// The rank of letter l among the letters of `head`: where its child lies after the first.
template <bool kPopcnt>
[[gnu::always_inline]] inline std::uint32_t rankOf(std::uint32_t head, int l) {
    const std::uint32_t below = head & WordGraph::kLetters & ((1u << l) - 1);
    if constexpr (kPopcnt)
        return static_cast<std::uint32_t>(__builtin_popcount(below));
    else
        return static_cast<std::uint32_t>(dictionary::bitCount(below));
}

// Walk of the board along the word graph, a letter at a time: every path of one length
// is extended before any of the next, at most seven squares deep, each square once. From a
// path's last square only the free neighbours whose letters follow in the graph are tried
// (the squares of those letters, most of them found without a branch), and a longer path
// is kept for the next round only where the graph goes on with a letter that may lie next
// to its new square. Paths of one
// length are met in x-major order of their squares (each round keeps its paths in that
// order), so the paths of one word are too. Every path that spells a word of the
// vocabulary is written to a buffer, handed to `take(met, count)` whenever the buffer
// fills and at the end; a path is written in any case and kept by counting it or not, so
// that no branch guesses at words. Working round by round lets the graph's records for
// many paths be fetched at once, and the paths are kept the same way: no branch either.
template <bool kPopcnt, class Take>
class Walk {
public:
    Walk(const std::uint64_t* records, const Prepared& board, std::uint32_t want, Take& take)
        : records_(records), board_(board), take_(take), want_(want) {}

    [[gnu::always_inline]] void run() {
        // The rounds' room is kept between searches on each thread, so that a warm search
        // allocates nothing.
        thread_local std::vector<Path> paths;
        thread_local std::vector<Path> longer;
        paths.resize(kSquareCount);
        const std::uint64_t root = records_[0];
        const auto head = static_cast<std::uint32_t>(root);
        const std::uint32_t first = WordGraph::firstChild(root);
        std::size_t kept = 0;
        for (int sq = 0; sq < kSquareCount; ++sq) {
            const auto i = static_cast<std::size_t>(sq);
            const int l = board_.letter[i];
            if (l < 0 || ((head >> l) & 1u) == 0) continue;
            const std::uint64_t child = records_[first + rankOf<kPopcnt>(head, l)];
            Path& p = paths[kept];
            p.record = child;
            p.used = Bits{1} << sq;
            p.squares = static_cast<std::uint64_t>(sq);
            p.count = WordGraph::lead(child);
            p.sum = board_.points[i];
            p.factor = board_.factor[i];
            p.follow = static_cast<std::uint32_t>(child) & board_.aroundLetters[i];
            p.sq = static_cast<std::uint8_t>(sq);
            kept += p.follow != 0 ? 1 : 0;
        }
        round<2>(paths, longer, kept);
        if (count_ > 0) take_(met_.data(), count_);
    }

private:
    // A path that may go on: its graph record, its squares as a set and a byte each (the
    // first highest), the running count of the graph's word numbering, the sum of what its
    // tiles add and the product of their word factors, the letters the graph goes on with
    // that may lie next to its last square (never none), and that square.
    struct Path {
        Path() {}  // left unset: rounds make room for paths before writing them
        std::uint64_t record;
        Bits used;
        std::uint64_t squares;
        std::uint32_t count;
        std::int32_t sum;
        std::int32_t factor;
        std::uint32_t follow;
        std::uint8_t sq;
    };

    // Extends each of `paths` by one square, into paths of `Length` letters; those that may
    // go on are kept, in order, for the next round.
    template <int Length>
    [[gnu::always_inline]] void round(std::vector<Path>& paths, std::vector<Path>& longer, std::size_t count) {
        constexpr int kBonus = Length == rules::kMaxWord ? rules::kSevenLetterBonus : 0;
        constexpr bool kGoesOn = Length < rules::kMaxWord;
        if (count == 0) return;
        if constexpr (kGoesOn)
            if (longer.size() < count * 8) longer.resize(count * 8);
        std::size_t kept = 0;
        for (const Path& p : std::span(paths.data(), count)) {
            if (count_ > kHitRoom - 8) {
                take_(met_.data(), count_);
                count_ = 0;
            }
            const auto sq = static_cast<std::size_t>(p.sq);
            // The squares of the first two letters that follow without a branch; most
            // paths have no more.
            Bits to = board_.squaresOf[static_cast<std::size_t>(std::countr_zero(p.follow))];
            std::uint32_t more = p.follow & (p.follow - 1);
            to |= board_.squaresOf[static_cast<std::size_t>(std::countr_zero(more | kNoLetter))];
            for (more &= more - 1; more != 0; more &= more - 1)
                to |= board_.squaresOf[static_cast<std::size_t>(std::countr_zero(more))];
            to &= board_.around[sq] & ~p.used;
            const auto head = static_cast<std::uint32_t>(p.record);
            const std::uint32_t first = WordGraph::firstChild(p.record);
            const std::uint32_t mine = board_.letterBit[sq];
            while (to != 0) {
                const int nb = std::countr_zero(to);
                const auto n = static_cast<std::size_t>(nb);
                to &= to - 1;
                const std::uint64_t child = records_[first + rankOf<kPopcnt>(head, board_.letter[n])];
                const std::uint32_t childCount = p.count + WordGraph::lead(child);
                const auto childHead = static_cast<std::uint32_t>(child);
                const std::uint64_t path = (p.squares << 8) | static_cast<std::uint64_t>(nb);
                const std::int32_t pathSum = p.sum + board_.points[n];
                const std::int32_t pathFactor = p.factor * board_.factor[n];
                const std::uint32_t word = ((childCount - 1) & kNumberMask) | (std::uint32_t{Length} << kLengthShift);
                met_[static_cast<std::size_t>(count_)] = Met{path, word, pathSum * pathFactor + kBonus};
                count_ += (childHead & want_) != 0 ? 1 : 0;
                if constexpr (kGoesOn) {
                    // This square's letter is not next to the new one any more unless
                    // another square next to it holds that letter too.
                    Path& q = longer[kept];
                    q.record = child;
                    q.used = p.used | (Bits{1} << nb);
                    q.squares = path;
                    q.count = childCount;
                    q.sum = pathSum;
                    q.factor = pathFactor;
                    q.follow = childHead & board_.aroundLetters[n] & ~(mine & ~board_.aroundTwice[n]);
                    q.sq = static_cast<std::uint8_t>(nb);
                    kept += q.follow != 0 ? 1 : 0;
                }
            }
        }
        if constexpr (kGoesOn) {
            paths.swap(longer);
            round<Length + 1>(paths, longer, kept);
        }
    }

    const std::uint64_t* records_;
    const Prepared& board_;
    Take& take_;
    std::uint32_t want_;
    int count_ = 0;
    std::array<Met, kHitRoom> met_;  // emptied before a path that might overfill it
};

template <bool kPopcnt, class Take>
[[gnu::always_inline]] inline void walkBody(const std::uint64_t* records, const Prepared& board, std::uint32_t want,
                                            Take& take) {
    Walk<kPopcnt, Take>(records, board, want, take).run();
}

#if defined(__x86_64__) || defined(__i386__)
// The same walk compiled for processors with the bit-count instruction, chosen at run time:
// finding a child costs one instruction instead of a dozen.
template <class Take>
[[gnu::target("popcnt")]] void walkPopcnt(const std::uint64_t* records, const Prepared& board, std::uint32_t want,
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

int lengthOf(const Met& m) { return static_cast<int>(m.word >> kLengthShift); }

// The order of better() for a word met, as one number, smaller first: the score, the length
// and the word's number (alphabetical in the graph). Nothing when the score does not fit.
std::optional<std::uint64_t> orderOf(const Met& m) {
    if (m.score < 0 || m.score > 0x3FFF) return std::nullopt;
    return (static_cast<std::uint64_t>(0x3FFF - m.score) << 50) |
           (static_cast<std::uint64_t>(rules::kMaxWord - lengthOf(m)) << 47) | (m.word & kNumberMask);
}

// The digits that all() sorts paths by, lowest first: the word number in two halves,
// then the key of score and length; each as (shift, bits) within the top half of a number.
constexpr int kHalf = kNumberBits / 2;
constexpr std::array<std::array<int, 2>, 3> kDigits{{{32, kHalf}, {32 + kHalf, kNumberBits - kHalf}, {32 + kNumberBits, 14}}};
static_assert(std::size_t{1} << 14 == kCountingRoom, "the last digit holds every key");

// Where each digit's counts start in one table.
constexpr std::array<std::size_t, 3> kCountsAt{0, (std::size_t{1} << kHalf) + 1,
                                               (std::size_t{1} << kHalf) + 1 + (std::size_t{1} << (kNumberBits - kHalf)) + 1};
constexpr std::size_t kCountsSize = kCountsAt[2] + kCountingRoom + 1;

// Sorts the numbers stably by each digit in turn (counting sorts), skipping a digit in
// which all of them agree; `count` holds each digit's counts, made as the numbers were.
// The last digit has only `keys` values.
void sortByDigits(std::vector<std::uint64_t>& orders, std::vector<std::uint64_t>& scratch, std::uint32_t* count,
                  std::size_t keys) {
    scratch.resize(orders.size());
    for (std::size_t d = 0; d < kDigits.size(); ++d) {
        const int shift = kDigits[d][0];
        const std::uint64_t mask = (std::uint64_t{1} << kDigits[d][1]) - 1;
        const std::size_t buckets = d + 1 == kDigits.size() ? keys : std::size_t{1} << kDigits[d][1];
        std::uint32_t* c = count + kCountsAt[d];
        if (c[((orders[0] >> shift) & mask) + 1] == orders.size()) continue;
        for (std::size_t k = 1; k <= buckets; ++k) c[k] += c[k - 1];
        for (const std::uint64_t o : orders) scratch[c[(o >> shift) & mask]++] = o;
        orders.swap(scratch);
    }
}

// True when path a comes before path b in x-major order (both spell the same word).
bool earlier(const Met& a, const Met& b) { return a.squares < b.squares; }

void toFound(const Met& h, const Prepared& board, Found& f) {
    f.length = lengthOf(h);
    f.score = h.score;
    std::uint64_t squares = h.squares;
    for (auto i = static_cast<std::size_t>(f.length); i-- > 0; squares >>= 8) {
        const auto sq = static_cast<std::size_t>(squares & 0xFFu);
        f.letters[i] = static_cast<char>('A' + board.letter[sq]);
        f.squares[i] = kSquares[sq];
    }
}

Found toFound(const Met& h, const Prepared& board) {
    Found f;
    toFound(h, board, f);
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

bool better(const Found& a, const Found& b);

namespace {

// The answers from every path met, by comparing them: for boards whose scores spread too
// far apart for the counting sort. The first path of each word in answer order is its best.
std::vector<Found> byComparison(const std::vector<Met>& paths, const Prepared& board) {
    std::vector<Found> all(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) toFound(paths[i], board, all[i]);
    std::stable_sort(all.begin(), all.end(), better);
    std::set<std::string_view> words;
    std::vector<Found> out;
    for (const Found& f : all)
        if (words.insert(f.word()).second) out.push_back(f);
    return out;
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
    found_.clear();
    auto take = [&](const Met* met, int n) { found_.insert(found_.end(), met, met + n); };
    walk(graph_, prepared, vocabulary, take);
    if (found_.empty()) return {};
    if (found_.size() > kMostPaths) return byComparison(found_, prepared);

    // Every path met, in the order of the answers: by score, then length (one key, how far
    // below the top score and below seven letters), then word number (alphabetical), then
    // as met. The walk meets the paths of one word in x-major order, so the first path of
    // each word in this order is its best. The word numbers are masked into a table sized
    // for the graph: a graph that numbers its words wrongly can only mix its words up.
    std::int32_t low = std::numeric_limits<std::int32_t>::max();
    std::int32_t high = std::numeric_limits<std::int32_t>::min();
    for (const Met& m : found_) {
        low = std::min(low, m.score);
        high = std::max(high, m.score);
    }
    const std::int64_t keys = (std::int64_t{high} - low + 1) * 8;
    if (keys > static_cast<std::int64_t>(kCountingRoom)) return byComparison(found_, prepared);
    const std::size_t numbers = std::bit_ceil(std::max<std::size_t>(graph_.wordCount(), 64));
    const auto numberMask = static_cast<std::uint32_t>(numbers - 1);
    order_.resize(found_.size());
    counts_.resize(kCountsSize);
    std::fill_n(counts_.begin(), kCountsAt[2] + static_cast<std::size_t>(keys) + 1, 0u);
    std::uint32_t* count0 = counts_.data() + kCountsAt[0] + 1;
    std::uint32_t* count1 = counts_.data() + kCountsAt[1] + 1;
    std::uint32_t* count2 = counts_.data() + kCountsAt[2] + 1;
    for (std::size_t i = 0; i < found_.size(); ++i) {
        const Met& m = found_[i];
        const auto key = static_cast<std::uint32_t>((std::int64_t{high} - m.score) * 8 + (rules::kMaxWord - lengthOf(m)));
        const std::uint32_t number = m.word & numberMask;
        order_[i] = (((std::uint64_t{key} << kNumberBits) | number) << 32) | i;
        ++count0[number & ((1u << kHalf) - 1)];
        ++count1[number >> kHalf];
        ++count2[key];
    }
    sortByDigits(order_, scratch_, counts_.data(), static_cast<std::size_t>(keys));

    // The first of each word, a bit per word number to tell; the bits are cleared after.
    if (seen_.size() != numbers / 64) seen_.assign(numbers / 64, 0);
    std::uint64_t* seen = seen_.data();
    std::size_t count = 0;
    for (const std::uint64_t o : order_) {
        const auto number = static_cast<std::uint32_t>(o >> 32) & numberMask;
        const std::uint64_t bit = std::uint64_t{1} << (number % 64);
        const bool fresh = (seen[number / 64] & bit) == 0;
        seen[number / 64] |= bit;
        order_[count] = o;
        count += fresh ? 1 : 0;
    }
    std::vector<Found> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto number = static_cast<std::uint32_t>(order_[i] >> 32) & numberMask;
        seen[number / 64] = 0;
        toFound(found_[static_cast<std::uint32_t>(order_[i])], prepared, out[i]);
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
            const auto order = generic ? std::nullopt : orderOf(*p);
            if (order) {
                if (*order > topOrder || (*order == topOrder && !earlier(*p, top))) continue;
                topOrder = *order;
                top = *p;
                any = true;
                continue;
            }
            if (!generic && any) topFound = toFound(top, prepared);
            generic = true;
            const Found f = toFound(*p, prepared);
            if (!topFound || better(f, *topFound)) topFound = f;
        }
    };
    walk(graph_, prepared, vocabulary, take);
    if (generic) return topFound;
    if (!any) return std::nullopt;
    return toFound(top, prepared);
}

}  // namespace quorbit::solver
