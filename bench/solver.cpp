// The whole-board solver on dealt boards (every word, and the best word alone), beside a
// plain depth-first search that checks each prefix by binary search over the sorted word
// list, in the same run. BM_SolverSpread times 10,000 random boards one by one and reports
// the median and the worst; the word graph's size is reported as a counter.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <time.h>
#include <vector>

#include "common/random.h"
#include "dictionary/wordgraph.h"
#include "protocol/messages.h"
#include "rules/letters.h"
#include "rules/scoring.h"
#include "rules/deal.h"
#include "solver/solver.h"

using namespace quorbit;
using protocol::BoardCodes;

namespace {

BoardCodes dealt(Random& random) {
    BoardCodes b{};
    for (auto& column : b)
        for (int& code : column) code = rules::drawcode(random.below(98) + 1);
    return b;
}

const std::vector<BoardCodes>& boards() {
    static const std::vector<BoardCodes> all = [] {
        SeededRandom random(3);
        std::vector<BoardCodes> b;
        for (int i = 0; i < 256; ++i) b.push_back(dealt(random));
        return b;
    }();
    return all;
}

// The plain search: the words of 2 to 7 letters in capitals, sorted; a prefix goes on
// while some word starts with it.
class PlainSearch {
public:
    PlainSearch() {
        std::ifstream in(std::string(QUORBIT_SOURCE_DIR) + "/data/words.txt");
        std::string w;
        while (std::getline(in, w))
            if (w.size() >= 2 && w.size() <= 7) {
                for (char& c : w) c = static_cast<char>(c - 'a' + 'A');
                words_.push_back(w);
            }
        std::sort(words_.begin(), words_.end());
    }

    // The best word's score and the number of paths that spell a word.
    std::pair<int, int> solve(const BoardCodes& b) {
        board_ = &b;
        best_ = -1;
        hits_ = 0;
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) walk(x, y);
        return {best_, hits_};
    }

private:
    void walk(int x, int y) {
        const char c = rules::letterAt((*board_)[x][y]);
        if (c < 'a' || c > 'z' || used_[x][y]) return;
        word_.push_back(static_cast<char>(c - 'a' + 'A'));
        path_.push_back({x, y});
        used_[x][y] = true;
        const auto it = std::lower_bound(words_.begin(), words_.end(), word_);
        if (it != words_.end() && it->compare(0, word_.size(), word_) == 0) {
            if (*it == word_ && word_.size() >= 2) {
                ++hits_;
                best_ = std::max(best_, score());
            }
            if (word_.size() < 7)
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) {
                        const int nx = x + dx, ny = y + dy;
                        if ((dx || dy) && nx >= 0 && nx < 7 && ny >= 0 && ny < 7) walk(nx, ny);
                    }
        }
        used_[x][y] = false;
        path_.pop_back();
        word_.pop_back();
    }

    int score() const { return rules::scorePath(*board_, path_); }

    std::vector<std::string> words_;
    const BoardCodes* board_ = nullptr;
    std::string word_;
    std::vector<protocol::Square> path_;
    bool used_[7][7] = {};
    int best_ = -1;
    int hits_ = 0;
};

void BM_SolverAllWords(benchmark::State& state) {
    solver::Solver s;
    std::size_t i = 0, words = 0;
    for (auto _ : state) {
        const auto all = s.all(boards()[i++ % boards().size()], solver::Vocabulary::Dictionary);
        words += all.size();
        benchmark::DoNotOptimize(all.data());
    }
    state.counters["words_per_board"] = static_cast<double>(words) / static_cast<double>(state.iterations());
    state.counters["graph_bytes"] = static_cast<double>(dictionary::WordGraph::builtin().bytes());
}
BENCHMARK(BM_SolverAllWords)->Unit(benchmark::kMicrosecond);

void BM_SolverBestWord(benchmark::State& state) {
    const solver::Solver s;
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(s.best(boards()[i++ % boards().size()], solver::Vocabulary::Dictionary));
}
BENCHMARK(BM_SolverBestWord)->Unit(benchmark::kMicrosecond);

void BM_PlainSearchBestWord(benchmark::State& state) {
    static PlainSearch plain;
    const solver::Solver s;
    // Both searches must agree before one is timed against the other.
    for (const auto& b : boards()) {
        const auto best = s.best(b, solver::Vocabulary::Dictionary);
        if (plain.solve(b).first != (best ? best->score : -1)) {
            state.SkipWithError("the plain search and the solver disagree");
            return;
        }
    }
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(plain.solve(boards()[i++ % boards().size()]));
}
BENCHMARK(BM_PlainSearchBestWord)->Unit(benchmark::kMicrosecond);

// Each of 10,000 dealt boards solved once (every word), timed one by one, both by the wall
// clock and by the thread's own processor time: on a shared machine a board that happens to
// be interrupted shows as slow on the wall clock alone.
double threadMicros() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

void BM_SolverSpread(benchmark::State& state) {
    SeededRandom random(11);
    std::vector<BoardCodes> many;
    for (int i = 0; i < 10000; ++i) many.push_back(dealt(random));
    solver::Solver s;
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        wall.clear();
        cpu.clear();
        for (const auto& b : many) {
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = threadMicros();
            benchmark::DoNotOptimize(s.all(b, solver::Vocabulary::Dictionary).size());
            cpu.push_back(threadMicros() - c0);
            wall.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["median_us"] = wall[wall.size() / 2];
    state.counters["p99_us"] = wall[wall.size() * 99 / 100];
    state.counters["worst_us"] = wall.back();
    state.counters["cpu_median_us"] = cpu[cpu.size() / 2];
    state.counters["cpu_worst_us"] = cpu.back();
}
BENCHMARK(BM_SolverSpread)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
