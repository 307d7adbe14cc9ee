// Builds the word graph that the solver walks: every word of 2 to 7 letters of the word
// list, as a minimal graph of letter edges (words that end alike share their endings).
// The records are laid out as engine/dictionary/wordgraph.h describes: one 64-bit number
// each (the letters that follow, the flags of the word ending here, the index of the first
// child and the count that numbers the words), record 0 the root, the children of a record
// side by side in letter order.
// Used by the build for English's graph, linked into the program, and for the other
// languages' graph files.
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

constexpr std::uint32_t kWord = 1u << 26;
constexpr std::uint32_t kComputer = 1u << 27;
constexpr std::uint32_t kLetterBits = 31;
constexpr int kFirstShift = 28;
constexpr int kLeadShift = 46;
constexpr std::uint64_t kFieldLimit = std::uint64_t{1} << 18;  // the first child and the lead are 18 bits each

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

    // The number of words in each edge list's endings (edge list ids grow bottom-up, so a
    // list's targets are counted before the list itself).
    std::vector<std::uint64_t> sizes() const {
        std::vector<std::uint64_t> size(lists.size(), 0);
        for (std::size_t id = 1; id < lists.size(); ++id)
            for (const auto& e : *lists[id]) size[id] += ((e.first & kWord) != 0 ? 1 : 0) + size[static_cast<std::size_t>(e.second)];
        return size;
    }

    // The letters that follow a node whose children are edge list `id`.
    std::uint32_t maskOf(int id) const {
        std::uint32_t mask = 0;
        if (id != 0)
            for (const auto& e : *lists[static_cast<std::size_t>(id)]) mask |= 1u << (e.first & kLetterBits);
        return mask;
    }

    // The records; empty when the graph is too large for the fields of a record.
    std::vector<std::uint64_t> emit(int root) {
        // Place each edge list once, breadth first from the root, so that the records of
        // the first letters, which every search walks through, lie together at the start:
        // record 0 is the root itself, the root's children start at record 1.
        std::vector<std::uint32_t> at(lists.size(), 0);
        std::vector<int> order{root};
        at[static_cast<std::size_t>(root)] = 1;  // reserved; real index below
        for (std::size_t k = 0; k < order.size(); ++k)
            for (const auto& e : *lists[static_cast<std::size_t>(order[k])])
                if (e.second != 0 && at[static_cast<std::size_t>(e.second)] == 0) {
                    at[static_cast<std::size_t>(e.second)] = 1;
                    order.push_back(e.second);
                }
        std::uint64_t next = 1;
        for (int id : order) {
            at[static_cast<std::size_t>(id)] = static_cast<std::uint32_t>(next);
            next += lists[static_cast<std::size_t>(id)]->size();
        }
        const std::vector<std::uint64_t> size = sizes();
        const std::uint64_t total = size[static_cast<std::size_t>(root)];
        if (next > kFieldLimit || total >= kFieldLimit) return {};
        std::vector<std::uint64_t> out(static_cast<std::size_t>(next), 0);
        out[0] = maskOf(root) | (std::uint64_t{1} << kFirstShift) | (total << kLeadShift);
        for (int id : order) {
            std::uint32_t r = at[static_cast<std::size_t>(id)];
            std::uint64_t before = 0;  // the words of the earlier letters' endings
            for (const auto& e : *lists[static_cast<std::size_t>(id)]) {
                const std::uint64_t word = (e.first & kWord) != 0 ? 1 : 0;
                const std::uint64_t first = e.second == 0 ? 0 : at[static_cast<std::size_t>(e.second)];
                out[r] = maskOf(e.second) | (e.first & ~kLetterBits) | (first << kFirstShift) | ((before + word) << kLeadShift);
                before += word + size[static_cast<std::size_t>(e.second)];
                ++r;
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
    const std::vector<std::uint64_t> records = g.emit(root);
    if (records.empty()) {
        std::cerr << "too many words or records for a word graph in " << argv[1] << "\n";
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(records.data()), static_cast<std::streamsize>(records.size() * sizeof(std::uint64_t)));
    if (!out) {
        std::cerr << "cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
