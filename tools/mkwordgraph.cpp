// Builds the word graph that the solver walks: every word of 2 to 7 letters of the word
// list, as a minimal graph of letter edges (words that end alike share their endings).
// Each edge is one 32-bit number in the machine's byte order:
//   bits 0-4   the letter, 0 for 'a' .. 25 for 'z'
//   bit 5      a word of the word list ends with this edge
//   bit 6      ... and that word is also one of the computer player's words
//   bit 7      the last edge of its node
//   bits 8-31  index of the first edge of the node it leads to, 0 when none
// Edge 0 is unused, so that 0 can mean "no node"; the root's edges start at index 1.
// Used by the build to embed the graph in the program.
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kWord = 1u << 5;
constexpr std::uint32_t kComputer = 1u << 6;
constexpr std::uint32_t kLast = 1u << 7;

bool plainWord(const std::string& w) {
    if (w.size() < 2 || w.size() > 7) return false;
    return std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::vector<std::string> readList(const char* path, bool& ok) {
    std::ifstream in(path);
    ok = static_cast<bool>(in);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (plainWord(line)) out.push_back(line);
    }
    return out;
}

// The plain letter tree first; each node keeps its children and the flags of the word
// that ends on it.
struct TreeNode {
    std::array<int, 26> child;
    std::uint32_t flags = 0;
    TreeNode() { child.fill(-1); }
};

// One node of the graph: its edges as (letter | flags, index of the target node's edge list).
using EdgeList = std::vector<std::pair<std::uint32_t, int>>;

struct Graph {
    std::vector<TreeNode> tree{1};
    std::map<EdgeList, int> ids;  // each distinct edge list once; id 0 is the empty list
    std::vector<const EdgeList*> lists{nullptr};

    void add(const std::string& w, std::uint32_t flags) {
        int n = 0;
        for (char c : w) {
            const int i = c - 'a';
            if (tree[static_cast<std::size_t>(n)].child[static_cast<std::size_t>(i)] < 0) {
                tree[static_cast<std::size_t>(n)].child[static_cast<std::size_t>(i)] = static_cast<int>(tree.size());
                tree.emplace_back();
            }
            n = tree[static_cast<std::size_t>(n)].child[static_cast<std::size_t>(i)];
        }
        tree[static_cast<std::size_t>(n)].flags |= flags;
    }

    // The id of the node's edge list, merging equal lists (bottom-up).
    int reduce(int n) {
        EdgeList edges;
        for (int i = 0; i < 26; ++i) {
            const int c = tree[static_cast<std::size_t>(n)].child[static_cast<std::size_t>(i)];
            if (c < 0) continue;
            edges.emplace_back(static_cast<std::uint32_t>(i) | tree[static_cast<std::size_t>(c)].flags, reduce(c));
        }
        if (edges.empty()) return 0;
        auto [it, fresh] = ids.emplace(std::move(edges), static_cast<int>(lists.size()));
        if (fresh) lists.push_back(&it->first);
        return it->second;
    }

    std::vector<std::uint32_t> emit(int root) {
        std::vector<std::uint32_t> out(1, 0);
        std::vector<std::uint32_t> at(lists.size(), 0);
        std::vector<int> order{root};
        // Place each edge list once, in the order first reached, then fill in the targets.
        at[static_cast<std::size_t>(root)] = 1;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const EdgeList& edges = *lists[static_cast<std::size_t>(order[k])];
            out.resize(out.size() + edges.size());
            for (const auto& e : edges)
                if (e.second != 0 && at[static_cast<std::size_t>(e.second)] == 0) {
                    order.push_back(e.second);
                    at[static_cast<std::size_t>(e.second)] = 1;  // reserved; real index below
                }
        }
        std::uint32_t next = 1;
        for (int id : order) {
            at[static_cast<std::size_t>(id)] = next;
            next += static_cast<std::uint32_t>(lists[static_cast<std::size_t>(id)]->size());
        }
        for (int id : order) {
            const EdgeList& edges = *lists[static_cast<std::size_t>(id)];
            std::uint32_t i = at[static_cast<std::size_t>(id)];
            for (std::size_t k = 0; k < edges.size(); ++k, ++i) {
                std::uint32_t e = edges[k].first | (at[static_cast<std::size_t>(edges[k].second)] << 8);
                if (k + 1 == edges.size()) e |= kLast;
                out[i] = e;
            }
        }
        return out;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: quorbit_mkwordgraph WORDS.txt COMPUTERWORDS.txt OUT\n";
        return 2;
    }
    bool okWords = false;
    bool okComputer = false;
    const std::vector<std::string> words = readList(argv[1], okWords);
    const std::vector<std::string> computer = readList(argv[2], okComputer);
    if (!okWords || !okComputer) {
        std::cerr << "cannot read " << (okWords ? argv[2] : argv[1]) << "\n";
        return 1;
    }
    const std::set<std::string> common(computer.begin(), computer.end());
    Graph g;
    for (const auto& w : words) g.add(w, kWord | (common.count(w) ? kComputer : 0));
    const int root = g.reduce(0);
    if (root == 0) {
        std::cerr << "no words of 2 to 7 letters in " << argv[1] << "\n";
        return 1;
    }
    const std::vector<std::uint32_t> edges = g.emit(root);
    if (edges.size() >= (1u << 24)) {
        std::cerr << "too many edges\n";
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(edges.data()), static_cast<std::streamsize>(edges.size() * sizeof(std::uint32_t)));
    if (!out) {
        std::cerr << "cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
