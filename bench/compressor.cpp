// The file compressor against LZ4 (default) and zlib (level 1), on 1 MB of English-like
// text and 1 MB of random bytes. FAST and GOOD run through the whole container in stream
// mode; FAST blocks also run bare, the way the container drives them. Each benchmark
// reports the throughput over the uncompressed size and the ratio compressed/original.
#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "tally/lzrw1.h"

using namespace quorbit::tally;

namespace {

constexpr std::size_t kSize = 1 << 20;

// Sentences of common words, capitals, commas, full stops, lines.
std::string englishLike() {
    std::vector<std::string> words;
    std::ifstream in(QUORBIT_SOURCE_DIR "/data/computerwords.txt");
    for (std::string w; std::getline(in, w);)
        if (!w.empty()) words.push_back(w);
    if (words.empty()) words = {"the", "of", "and", "to", "word", "game"};
    // Word frequencies follow Zipf's law (rank r weighs 1 / r), over a shuffled list.
    std::mt19937 gen(20240601);
    std::shuffle(words.begin(), words.end(), gen);
    std::vector<double> weights(words.size());
    for (std::size_t r = 0; r < weights.size(); ++r) weights[r] = 1.0 / static_cast<double>(r + 1);
    std::discrete_distribution<std::size_t> common(weights.begin(), weights.end());
    std::string text;
    std::size_t line = 0;
    bool start = true;
    while (text.size() < kSize) {
        std::string w = words[common(gen) % words.size()];
        if (start) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        start = false;
        text += w;
        const unsigned r = gen() % 100;
        if (r < 8) {
            text += ".";
            start = true;
        } else if (r < 14) {
            text += ",";
        }
        line += w.size() + 1;
        if (line > 70) {
            text += "\n";
            line = 0;
        } else {
            text += " ";
        }
    }
    text.resize(kSize);
    return text;
}

std::string randomBytes() {
    std::mt19937 gen(7);
    std::string b(kSize, '\0');
    for (auto& c : b) c = static_cast<char>(gen());
    return b;
}

const std::string& input(int which) {
    static const std::string text = englishLike();
    static const std::string random = randomBytes();
    return which == 0 ? text : random;
}

void finish(benchmark::State& state, std::size_t compressed) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSize));
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(kSize);
    state.SetLabel(state.range(0) == 0 ? "text" : "random");
}

// Streams over memory that is already there: no copies of the input, no growing output,
// so that the container's own work is what is measured.
class MemoryIn : public std::streambuf {
public:
    explicit MemoryIn(const std::string& data) {
        char* p = const_cast<char*>(data.data());
        setg(p, p, p + data.size());
    }

protected:
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode) override {
        const off_type base = dir == std::ios::beg ? 0 : dir == std::ios::cur ? gptr() - eback() : egptr() - eback();
        const off_type to = base + off;
        if (to < 0 || to > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + to, egptr());
        return pos_type(to);
    }
    pos_type seekpos(pos_type pos, std::ios::openmode which) override {
        return seekoff(off_type(pos), std::ios::beg, which);
    }
};

class MemoryOut : public std::streambuf {
public:
    explicit MemoryOut(std::vector<char>& room) { setp(room.data(), room.data() + room.size()); }
    std::size_t size() const { return static_cast<std::size_t>(pptr() - pbase()); }

protected:
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode) override {
        if (off != 0 || dir != std::ios::cur) return pos_type(off_type(-1));
        return pos_type(static_cast<off_type>(size()));
    }
};

// Runs the container from `data` into `room`; returns the bytes written.
std::size_t runContainer(const std::string& data, std::vector<char>& room, TCompressMode mode, bool compress) {
    MemoryIn inBuffer(data);
    MemoryOut outBuffer(room);
    std::istream in(&inBuffer);
    std::ostream out(&outBuffer);
    Tlzrw1 c;
    c.UseStream = true;
    c.InputStream = &in;
    c.OutputStream = &out;
    c.CompressMode = mode;
    if (compress) {
        c.Compress();
    } else {
        c.Decompress();
    }
    return outBuffer.size();
}

std::string containerOf(const std::string& data, TCompressMode mode) {
    std::vector<char> room(2 * kSize);
    room.resize(runContainer(data, room, mode, true));
    return std::string(room.begin(), room.end());
}

void containerCompress(benchmark::State& state, TCompressMode mode) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    std::vector<char> room(2 * kSize);
    std::size_t size = 0;
    for (auto _ : state) {
        size = runContainer(data, room, mode, true);
        benchmark::DoNotOptimize(room.data());
    }
    finish(state, size);
}

void containerDecompress(benchmark::State& state, TCompressMode mode) {
    const std::string packed = containerOf(input(static_cast<int>(state.range(0))), mode);
    std::vector<char> room(kSize + 64);
    for (auto _ : state) {
        if (runContainer(packed, room, mode, false) != kSize) state.SkipWithError("wrong size");
        benchmark::DoNotOptimize(room.data());
    }
    finish(state, packed.size());
}

void BM_FastCompress(benchmark::State& state) { containerCompress(state, TCompressMode::Fast); }
void BM_FastDecompress(benchmark::State& state) { containerDecompress(state, TCompressMode::Fast); }
void BM_GoodCompress(benchmark::State& state) { containerCompress(state, TCompressMode::Good); }
void BM_GoodDecompress(benchmark::State& state) { containerDecompress(state, TCompressMode::Good); }

// The bare block coder over 32 KB blocks, as the FAST container uses it.
void BM_FastBlocksCompress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    const auto* src = reinterpret_cast<const std::uint8_t*>(data.data());
    TLZR lzr;
    std::vector<std::uint8_t> out(kLzrBufferSize);
    std::size_t size = 0;
    for (auto _ : state) {
        size = 0;
        for (std::size_t at = 0; at < kSize; at += kLzrBlockSize)
            size += 2 + lzr.CompressBlock({src + at, kLzrBlockSize}, out);
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, size);
}

void BM_FastBlocksDecompress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    const auto* src = reinterpret_cast<const std::uint8_t*>(data.data());
    TLZR lzr;
    std::vector<std::vector<std::uint8_t>> blocks;
    std::size_t size = 0;
    for (std::size_t at = 0; at < kSize; at += kLzrBlockSize) {
        std::vector<std::uint8_t> b(kLzrBufferSize);
        b.resize(lzr.CompressBlock({src + at, kLzrBlockSize}, b));
        size += 2 + b.size();
        blocks.push_back(std::move(b));
    }
    std::vector<std::uint8_t> out(kSize + kLzrSlack);
    for (auto _ : state) {
        std::size_t at = 0;
        for (const auto& b : blocks) at += static_cast<std::size_t>(TLZR::DecompressBlock(b, {out.data() + at, kLzrBufferSize}));
        benchmark::DoNotOptimize(out.data());
        if (at != kSize) state.SkipWithError("wrong size");
    }
    finish(state, size);
}

void BM_Lz4Compress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    std::vector<char> out(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(kSize))));
    int size = 0;
    for (auto _ : state) {
        size = LZ4_compress_default(data.data(), out.data(), static_cast<int>(kSize), static_cast<int>(out.size()));
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, static_cast<std::size_t>(size));
}

void BM_Lz4Decompress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    std::vector<char> packed(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(kSize))));
    const int size = LZ4_compress_default(data.data(), packed.data(), static_cast<int>(kSize), static_cast<int>(packed.size()));
    std::vector<char> out(kSize);
    for (auto _ : state) {
        const int n = LZ4_decompress_safe(packed.data(), out.data(), size, static_cast<int>(kSize));
        benchmark::DoNotOptimize(out.data());
        if (n != static_cast<int>(kSize)) state.SkipWithError("wrong size");
    }
    finish(state, static_cast<std::size_t>(size));
}

void BM_ZlibCompress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    std::vector<Bytef> out(compressBound(kSize));
    uLongf size = 0;
    for (auto _ : state) {
        size = out.size();
        compress2(out.data(), &size, reinterpret_cast<const Bytef*>(data.data()), kSize, 1);
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, size);
}

void BM_ZlibDecompress(benchmark::State& state) {
    const std::string& data = input(static_cast<int>(state.range(0)));
    std::vector<Bytef> packed(compressBound(kSize));
    uLongf size = packed.size();
    compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(data.data()), kSize, 1);
    std::vector<Bytef> out(kSize);
    for (auto _ : state) {
        uLongf n = kSize;
        uncompress(out.data(), &n, packed.data(), size);
        benchmark::DoNotOptimize(out.data());
        if (n != kSize) state.SkipWithError("wrong size");
    }
    finish(state, size);
}

}  // namespace

// 0: English-like text, 1: random bytes.
BENCHMARK(BM_FastCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastBlocksCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastBlocksDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoodCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoodDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Compress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Decompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDecompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
