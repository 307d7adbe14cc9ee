#include "language/language.h"

#include <fstream>

#include "dictionary/wordgraph.h"
#include "rules/deal.h"

namespace quorbit::language {
namespace {

// English's deal as the game has always dealt it, by letter A..Z.
constexpr DealWeights kEnglishDeal = {9, 2, 2, 5, 12, 2, 3, 2, 9, 1, 1, 4, 2, 6, 8, 2, 1, 6, 4, 6, 3, 2, 2, 1, 2, 1};

constexpr Language kAll[] = {
    {"en", "English", "", "", kEnglishDeal, rules::kEnglishValues},
// The languages built from their lists, one entry each (made by the build).
#include QUORBIT_LANGUAGES_INC
};

constexpr bool sumsTo(const DealWeights& w, int total) {
    int sum = 0;
    for (int v : w) sum += v;
    return sum == total;
}
static_assert(sumsTo(kEnglishDeal, kDraws));

}  // namespace

int Language::draw(int v) const {
    if (builtIn()) return rules::drawcode(v);
    return rules::drawcode(v, deal);
}

const Language& english() { return kAll[0]; }

std::span<const Language> all() { return kAll; }

const Language* find(std::string_view code) {
    for (const Language& l : kAll)
        if (l.code == code) return &l;
    return nullptr;
}

std::optional<std::vector<std::uint64_t>> readGraph(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    // No language's graph comes near 16 MB; a larger file is not one.
    if (size <= 0 || size % 8 != 0 || size > (16 << 20)) return std::nullopt;
    in.seekg(0);
    std::vector<std::uint64_t> records(static_cast<std::size_t>(size) / 8);
    if (!in.read(reinterpret_cast<char*>(records.data()), size)) return std::nullopt;
    if (!dictionary::WordGraph::holdsTogether(records)) return std::nullopt;
    return records;
}

}  // namespace quorbit::language
