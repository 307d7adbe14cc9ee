#pragma once
// The word graph that the solver walks: the words of 2 to 7 letters as a graph of letter
// records, words with common endings sharing them. Built at build time by
// tools/mkwordgraph.cpp; English's is linked into the program and read in place, other
// languages' graphs are read from their files.
//
// The graph is an array of records, each one 64-bit number in the machine's byte order:
//   bits 0-25   the letters (bit 0 = 'a') that follow this record, one child each
//   bit 26      a word of the list ends here
//   bit 27      ... and it is one of the computer player's words
//   bits 28-45  index of the record of the first child; the children follow one another in
//               the order of their letters, so the child for letter l is at
//               first child + the number of letters below l in the mask. 0 when none.
//   bits 46-63  the lead: numbers the words in alphabetical order. Going down from a record
//               to a child adds the child's lead to a running count (0 at the root); a word
//               ending on a record has number count - 1. The lead is the number of words
//               that the earlier letters' children begin, plus 1 if a word ends on this
//               record. The root's lead is the number of words.
// Record 0 is the root (the empty word); no child is ever record 0.
#include <cstdint>
#include <span>
#include <string_view>

namespace quorbit::dictionary {

// The number of set bits. std::popcount becomes a library call on processors without
// the instruction (Debian's baseline), which the solver cannot afford at every step.
constexpr int bitCount(std::uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return static_cast<int>((((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}
static_assert(bitCount(0) == 0 && bitCount(0xFFFFFFFFu) == 32 && bitCount(0x3FFFFFFu) == 26);

class WordGraph {
public:
    static constexpr std::uint32_t kLetters = (1u << 26) - 1;
    static constexpr std::uint32_t kWord = 1u << 26;
    static constexpr std::uint32_t kComputer = 1u << 27;
    static constexpr int kFirstShift = 28;
    static constexpr int kLeadShift = 46;
    static constexpr std::uint64_t kFieldMask = (std::uint64_t{1} << 18) - 1;

    // A graph that does not hold together (odd length, a child past the end, stray bits)
    // reads as an empty graph: no word is in it.
    explicit WordGraph(std::span<const std::uint64_t> records);
    // The graph built into the program: English.
    static const WordGraph& builtin();
    // True when `records` is a graph that can be walked without leaving it.
    static bool holdsTogether(std::span<const std::uint64_t> records);

    // The root record, or kNone for an empty graph.
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t root() const { return records_.empty() ? kNone : 0; }
    // The record reached from `record` by letter 0..25, or kNone.
    std::uint32_t child(std::uint32_t record, int letter) const {
        if (record == kNone || letter < 0 || letter > 25) return kNone;
        const std::uint64_t r = records_[record];
        const std::uint32_t mask = static_cast<std::uint32_t>(r) & kLetters;
        if (((mask >> letter) & 1u) == 0) return kNone;
        return firstChild(r) + static_cast<std::uint32_t>(bitCount(mask & ((1u << letter) - 1)));
    }
    std::uint32_t flags(std::uint32_t record) const {
        return record == kNone ? 0 : static_cast<std::uint32_t>(records_[record]) & (kWord | kComputer);
    }
    // The number of words of every length in the graph (the numbers of the words are below it).
    std::uint32_t wordCount() const { return records_.empty() ? 0 : lead(records_[0]); }

    static std::uint32_t firstChild(std::uint64_t record) { return static_cast<std::uint32_t>((record >> kFirstShift) & kFieldMask); }
    static std::uint32_t lead(std::uint64_t record) { return static_cast<std::uint32_t>(record >> kLeadShift); }

    // True when the word (lower or upper case a..z) ends on a record with `flag`.
    bool contains(std::string_view word, std::uint32_t flag = kWord) const;
    std::size_t bytes() const { return records_.size_bytes(); }
    std::size_t recordCount() const { return records_.size(); }
    // The raw records, for walks that cannot afford a check per step.
    const std::uint64_t* data() const { return records_.data(); }

private:
    std::span<const std::uint64_t> records_;
};

}  // namespace quorbit::dictionary
