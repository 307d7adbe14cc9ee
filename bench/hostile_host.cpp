// What a hostile host can make the client hold: a player name of 60 KB, then 100,000 short
// word lines for that seat, delivered to the client's engine and to the recorder as a
// window delivers them. Reports the growth of the process's peak resident memory over the
// whole run, and the bytes the engine's words list holds at its end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "client/client_engine.h"
#include "common/random.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "record/recorder.h"

using namespace quorbit;
namespace tc = protocol::toclient;

namespace {

constexpr int kHostileLines = 100000;

long peakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_HostileHostMemory(benchmark::State& state) {
    for (auto _ : state) {
        const long before = peakRssKiB();
        SeededRandom rng(1);
        client::ClientEngine engine(rng);
        record::Recorder recorder("bench", [] { return std::string("2026-12-10T12:00:00Z"); });
        std::size_t recordedLines = 0;
        auto deliver = [&](const std::string& message, std::int64_t ms) {
            const std::string bytes = protocol::frame(message);
            engine.received(bytes);
            while (engine.pump()) {}
            engine.takeChatLines();
            engine.takeSounds();
            engine.takeTallyCalls();
            recorder.received(bytes, ms);
            // The window saves a finished record and lets it go.
            for (const auto& r : recorder.takeFinished()) recordedLines += r.entries.size();
        };
        engine.setLaunch(false, "Ann");
        deliver(tc::sendlogininfo(1), 0);
        deliver(tc::newplayerinfo(1, "Ann"), 0);
        deliver(tc::existingplayers(2, std::string(60 * 1024, 'M')), 0);
        deliver(tc::startgame({"Ann", 1000000, 60, false, 1}), 0);
        const std::string word = tc::madeword(2, "AB", 1, 1, 0, 0, {{1, 1}});
        for (int i = 0; i < kHostileLines; ++i) deliver(word, i);
        std::size_t wordsBytes = 0;
        for (const auto& line : engine.state().memo_words) wordsBytes += line.size();
        state.counters["peak_rss_growth_KiB"] = static_cast<double>(peakRssKiB() - before);
        state.counters["words_list_lines"] = static_cast<double>(engine.state().memo_words.size());
        state.counters["words_list_bytes"] = static_cast<double>(wordsBytes);
        state.counters["recorded_lines"] = static_cast<double>(recordedLines);
        benchmark::DoNotOptimize(recorder.recording());
    }
    state.SetItemsProcessed(state.iterations() * kHostileLines);
}
BENCHMARK(BM_HostileHostMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
