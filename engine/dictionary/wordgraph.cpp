#include "dictionary/wordgraph.h"

#include "dictionary/builtin_words.h"

namespace quorbit::dictionary {

const WordGraph& WordGraph::builtin() {
    static const WordGraph graph(builtinWordGraph());
    return graph;
}

bool WordGraph::contains(std::string_view word, std::uint32_t flag) const {
    std::uint32_t node = root();
    std::uint32_t edge = 0;
    for (char c : word) {
        const char l = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (l < 'a' || l > 'z') return false;
        edge = find(node, l - 'a');
        if (edge == 0) return false;
        node = next(edge);
    }
    return (edge & flag) != 0;
}

}  // namespace quorbit::dictionary
