// Every language built, on 1,000 seeded deals with its own weights: the median number of
// words on a board (its whole list), the median best score, and its graph's size. One
// benchmark per language; the time is that of the 1,000 searches.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/random.h"
#include "dictionary/wordgraph.h"
#include "language/language.h"
#include "solver/solver.h"

using namespace quorbit;

namespace {

void BM_LanguageBoards(benchmark::State& state, const language::Language* lang) {
    std::vector<std::uint64_t> records;
    const dictionary::WordGraph* graph = &dictionary::WordGraph::builtin();
    std::optional<dictionary::WordGraph> own;
    if (!lang->builtIn()) {
        auto read = language::readGraph(std::filesystem::path(QUORBIT_LANGUAGE_DIR) / lang->graphFile);
        if (!read) {
            state.SkipWithError("the language's graph cannot be read");
            return;
        }
        records = std::move(*read);
        graph = &own.emplace(records);
    }
    solver::Solver solver(*graph, lang->values);
    std::vector<double> words;
    std::vector<double> best;
    for (auto _ : state) {
        SeededRandom random(29);
        words.clear();
        best.clear();
        for (int n = 0; n < 1000; ++n) {
            rules::Grid b{};
            for (auto& column : b)
                for (int& code : column) code = lang->draw(random.below(language::kDraws) + 1);
            const auto all = solver.all(b, solver::Vocabulary::Dictionary);
            words.push_back(static_cast<double>(all.size()));
            best.push_back(all.empty() ? 0.0 : static_cast<double>(all.front().score));
        }
    }
    std::sort(words.begin(), words.end());
    std::sort(best.begin(), best.end());
    state.counters["median_words"] = words[words.size() / 2];
    state.counters["median_best_score"] = best[best.size() / 2];
    state.counters["graph_bytes"] = static_cast<double>(graph->bytes());
}

const bool registered = [] {
    for (const language::Language& l : language::all())
        benchmark::RegisterBenchmark(("BM_LanguageBoards/" + std::string(l.code)).c_str(), BM_LanguageBoards, &l)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
