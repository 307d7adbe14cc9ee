// Word lookup: TDictn's binary search over the mapped word file beside an in-memory
// hash set of the same words, on random hits and misses.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"

using namespace quorbit::dictionary;
namespace fs = std::filesystem;

namespace {

struct Words {
    std::vector<std::string> queries;  // half words of the list, half strings that are not
    std::unordered_set<std::string> set;
    fs::path dir;
    std::unique_ptr<TDictn> dictn;

    Words() {
        const std::string_view file = builtinWordFile();
        std::vector<std::string> all;
        for (std::size_t off = 0; off + kRecordSize <= file.size(); off += kRecordSize) {
            std::string w(file.substr(off + 1, kRecordSize - 1));
            w.erase(w.find_last_not_of(' ') + 1);
            all.push_back(w);
        }
        set.insert(all.begin(), all.end());
        std::mt19937 gen(7);
        std::uniform_int_distribution<std::size_t> pick(0, all.size() - 1);
        std::uniform_int_distribution<int> letter('A', 'Z'), len(2, 7);
        while (queries.size() < 4096) {
            queries.push_back(all[pick(gen)]);
            std::string miss;
            do {
                miss.clear();
                for (int i = len(gen); i > 0; --i) miss += static_cast<char>(letter(gen));
            } while (set.count(miss));
            queries.push_back(miss);
        }
        dir = fs::temp_directory_path() / ("bench-words-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        dictn = std::make_unique<TDictn>(dir, file);
    }
    ~Words() {
        dictn.reset();
        fs::remove_all(dir);
    }
};

Words& words() {
    static Words w;
    return w;
}

void BM_TDictn_IsWord(benchmark::State& state) {
    auto& w = words();
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += w.dictn->IsWord(w.queries[i++ & 4095]);
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TDictn_IsWord);

void BM_UnorderedSet_Find(benchmark::State& state) {
    auto& w = words();
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += w.set.count(w.queries[i++ & 4095]);
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UnorderedSet_Find);

// The console report, followed by how many times slower TDictn is than the hash set.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) nanos_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double dictn = nanos_["BM_TDictn_IsWord"], set = nanos_["BM_UnorderedSet_Find"];
        if (dictn > 0 && set > 0)
            std::printf("TDictn lookups/s %.0f, hash set lookups/s %.0f, ratio %.2f (TDictn time / hash set time)\n",
                        1e9 / dictn, 1e9 / set, dictn / set);
    }

private:
    std::map<std::string, double> nanos_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
