#include "dictionary/wordgraph.h"

#include "dictionary/builtin_words.h"

namespace quorbit::dictionary {

bool WordGraph::holdsTogether(std::span<const std::uint64_t> records) {
    if (records.empty()) return false;
    const std::size_t count = records.size();
    for (const std::uint64_t r : records) {
        const std::uint32_t mask = static_cast<std::uint32_t>(r) & kLetters;
        const std::uint32_t first = firstChild(r);
        if (mask == 0) {
            if (first != 0) return false;
            continue;
        }
        if (first == 0 || first >= count || count - first < static_cast<std::size_t>(bitCount(mask))) return false;
    }
    return true;
}

WordGraph::WordGraph(std::span<const std::uint64_t> records)
    : records_(holdsTogether(records) ? records : std::span<const std::uint64_t>{}) {}

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
