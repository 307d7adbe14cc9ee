#pragma once
// The word graph that the solver walks: the words of 2 to 7 letters as edges of one letter
// each, words with common endings sharing them. Built at build time by
// tools/mkwordgraph.cpp and linked into the program, so it is read in place: no start-up
// cost and no copy. Each edge is a 32-bit number:
//   bits 0-4 the letter (0 = 'a'), bit 5 a word ends here, bit 6 that word is one of the
//   computer player's words, bit 7 last edge of its node, bits 8-31 the first edge of the
//   node it leads to (0 = none). Edge 0 is unused; the root's edges start at 1.
#include <cstdint>
#include <span>
#include <string_view>

namespace quorbit::dictionary {

class WordGraph {
public:
    static constexpr std::uint32_t kWord = 1u << 5;
    static constexpr std::uint32_t kComputer = 1u << 6;
    static constexpr std::uint32_t kLast = 1u << 7;

    explicit WordGraph(std::span<const std::uint32_t> edges) : edges_(edges) {}
    // The graph built into the program.
    static const WordGraph& builtin();

    // The first edge of the root node, or 0 for an empty graph.
    std::uint32_t root() const { return edges_.size() > 1 ? 1 : 0; }
    // The edge of node `node` (index of its first edge) for letter 0..25, or 0 when the
    // node has none. Indexes past the end read as no edge.
    std::uint32_t find(std::uint32_t node, int letter) const {
        if (node == 0) return 0;
        for (std::uint32_t i = node; i < edges_.size(); ++i) {
            const std::uint32_t e = edges_[i];
            if (static_cast<int>(e & 31u) == letter) return e;
            if (e & kLast) break;
        }
        return 0;
    }
    static std::uint32_t next(std::uint32_t edge) { return edge >> 8; }

    // True when the word (lower or upper case a..z) ends on an edge with `flag`.
    bool contains(std::string_view word, std::uint32_t flag = kWord) const;
    std::size_t bytes() const { return edges_.size_bytes(); }
    std::size_t edgeCount() const { return edges_.size(); }

private:
    std::span<const std::uint32_t> edges_;
};

}  // namespace quorbit::dictionary
