// Reading a received line costs time in proportion to its length: the line cutter joins a
// long line from many reads, and the field reader walks a payload of many fields, each in
// linear time. The fitted complexity of every benchmark here should come out as O(N).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "protocol/fields.h"
#include "protocol/framing.h"

using namespace quorbit::protocol;

namespace {

// A payload of `bytes` bytes made of short fields: "ab+ab+ab+...".
std::string manyFields(std::size_t bytes) {
    std::string payload;
    payload.reserve(bytes);
    while (payload.size() + 3 <= bytes) payload += "ab+";
    payload.resize(bytes, 'a');
    return payload;
}

// Every field of the payload, read one after the other.
void BM_FieldReader(benchmark::State& state) {
    const std::string payload = manyFields(static_cast<std::size_t>(state.range(0)));
    const auto fields = std::count(payload.begin(), payload.end(), '+');
    for (auto _ : state) {
        FieldReader reader(payload);
        for (auto i = fields; i > 0; --i) benchmark::DoNotOptimize(reader.next());
        benchmark::DoNotOptimize(reader.rest());
    }
    state.counters["fields"] = static_cast<double>(fields);
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FieldReader)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

// One line of N bytes arriving in reads of 512 bytes, cut and decoded.
void BM_LineCutter(benchmark::State& state) {
    const std::size_t length = static_cast<std::size_t>(state.range(0));
    std::string bytes = "CMD_chat+Ann+" + std::string(length - 13, 'x');
    bytes.push_back(kTerminator);
    constexpr std::size_t kRead = 512;
    std::vector<std::string> lines;
    for (auto _ : state) {
        LineCutter cutter;
        lines.clear();
        for (std::size_t at = 0; at < bytes.size(); at += kRead) cutter.feed(std::string_view(bytes).substr(at, kRead), lines);
        benchmark::DoNotOptimize(lines.data());
    }
    if (lines.size() != 1 || lines.front().size() != length) state.SkipWithError("the line did not come out whole");
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LineCutter)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

// A whole received line: cut from a single read, split into name and payload, and every
// field read.
void BM_ReceivedLine(benchmark::State& state) {
    std::string bytes = "CMD_action+" + manyFields(static_cast<std::size_t>(state.range(0)) - 11);
    bytes.push_back(kTerminator);
    std::vector<std::string> lines;
    for (auto _ : state) {
        LineCutter cutter;
        lines.clear();
        cutter.feed(bytes, lines);
        const auto split = splitLine(lines.front());
        FieldReader reader(split->payload);
        for (auto i = std::count(split->payload.begin(), split->payload.end(), '+'); i > 0; --i)
            benchmark::DoNotOptimize(reader.next());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReceivedLine)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
