// Loading and summarising a long game record (10,000 lines), as the "Recent Games"
// window and the command line's summary do, and writing one as a finished game is saved.
#include <benchmark/benchmark.h>

#include <string>

#include "protocol/messages.h"
#include "record/record.h"
#include "record/summary.h"

using namespace quorbit;
using namespace quorbit::record;
namespace tc = protocol::toclient;

namespace {

// A long game: turns of a board, a turn, three selections, a word and a slide, with chat.
Record longGame(std::size_t lines) {
    Record r;
    r.header.date = "2026-12-09T19:22:28Z";
    r.header.program = std::string(protocol::kVersion);
    r.header.ownSeat = 1;
    r.header.seats = {"Ann", "Zubo", "Cy", "Dee"};
    r.header.playTo = 100000;
    r.entries.push_back({0, tc::startgame({"Ann", 100000, 60, false, 1})});
    protocol::BoardCodes board{};
    std::int64_t ms = 0;
    int turn = 0;
    std::array<int, 4> totals{};
    while (r.entries.size() < lines) {
        const int seat = 1 + turn % 4;
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) board[x][y] = 1 + (x * 7 + y + turn) % 26;
        r.entries.push_back({ms += 4000, tc::theboard(board)});
        r.entries.push_back({ms += 10, tc::nextplayer(seat, 1)});
        for (int p = 1; p <= 3; ++p) r.entries.push_back({ms += 900, tc::selectletter(seat, p, 0, p)});
        totals[static_cast<std::size_t>(seat - 1)] += 9;
        r.entries.push_back({ms += 700, tc::madeword(seat, "CAB", 9, totals[static_cast<std::size_t>(seat - 1)], 0, 0,
                                                     {{0, 1}, {0, 2}, {0, 3}})});
        r.entries.push_back({ms += 100, tc::moving(1 + turn % 4)});
        r.entries.push_back({ms += 50, tc::chat("Ann", "nice one, caf\xC3\xA9 time|clRed")});
        ++turn;
    }
    r.entries.resize(lines - 1);
    r.entries.push_back({ms += 10, tc::winner("Ann")});
    r.ending = Ending::Winner;
    r.endMs = ms;
    return r;
}

void BM_LoadAndSummarise(benchmark::State& state) {
    const std::string text = writeRecord(longGame(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        const ReadResult r = readRecord(text);
        if (!r.record) state.SkipWithError(r.error.c_str());
        std::string summary = summaryText(summarise(*r.record));
        benchmark::DoNotOptimize(summary);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadAndSummarise)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state) {
    const Record r = longGame(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::string text = writeRecord(r);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_Write)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
