// A language's word graph file: any bytes either are refused or can be walked, looked up
// and solved on without leaving the records.
#include <cstdint>
#include <cstring>
#include <vector>

#include "dictionary/wordgraph.h"
#include "rules/board.h"
#include "solver/solver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 49) return 0;
    // The first 49 bytes are a board, the rest the graph.
    quorbit::rules::Grid board{};
    for (int i = 0; i < 49; ++i) board[static_cast<std::size_t>(i / 7)][static_cast<std::size_t>(i % 7)] = data[i] % 30;
    std::vector<std::uint64_t> records((size - 49) / 8);
    if (!records.empty()) std::memcpy(records.data(), data + 49, records.size() * 8);
    const quorbit::dictionary::WordGraph graph(records);
    graph.contains("abcdefg");
    quorbit::solver::Solver solver(graph);
    solver.all(board, quorbit::solver::Vocabulary::Dictionary);
    solver.best(board, quorbit::solver::Vocabulary::Computer);
    return 0;
}
