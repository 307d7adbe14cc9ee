#include "dictionary/wordgraph.h"

#include "dictionary/builtin_words.h"

namespace quorbit::dictionary {

bool WordGraph::holdsTogether(std::span<const std::uint32_t> words) {
    if (words.size() < 2 || words.size() % 2 != 0) return false;
    const std::size_t records = words.size() / 2;
    for (std::size_t r = 0; r < records; ++r) {
        const std::uint32_t head = words[2 * r];
        if ((head >> 28) != 0) return false;
        const std::uint32_t mask = head & kLetters;
        if (mask == 0) continue;
        const std::uint32_t first = words[2 * r + 1];
        if (first == 0 || first >= records || records - first < static_cast<std::size_t>(bitCount(mask))) return false;
    }
    return true;
}

WordGraph::WordGraph(std::span<const std::uint32_t> words) : words_(holdsTogether(words) ? words : std::span<const std::uint32_t>{}) {}

const WordGraph& WordGraph::builtin() {
    static const WordGraph graph(builtinWordGraph());
    return graph;
}

bool WordGraph::contains(std::string_view word, std::uint32_t flag) const {
    std::uint32_t record = root();
    for (char c : word) {
        const char l = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (l < 'a' || l > 'z') return false;
        record = child(record, l - 'a');
        if (record == kNone) return false;
    }
    return record != 0 && record != kNone && (flags(record) & flag) != 0;
}

}  // namespace quorbit::dictionary
