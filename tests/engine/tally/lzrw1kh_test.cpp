#include "tally/lzrw1kh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace quorbit::tally;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes compress(const Bytes& input) {
    TLZR lzr;
    Bytes out(input.size() + kLzrSlack);
    out.resize(lzr.CompressBlock(input, out));
    return out;
}

Bytes decompress(const Bytes& block) {
    Bytes out(kLzrBufferSize);
    const long n = TLZR::DecompressBlock(block, out);
    EXPECT_GE(n, 0);
    out.resize(static_cast<std::size_t>(std::max(n, 0L)));
    return out;
}


}  // namespace

TEST(Lzrw1khBlock, EmptyAndTinyInputsAreStored) {
    EXPECT_EQ(compress({}), (Bytes{0x80}));
    EXPECT_EQ(compress({7}), (Bytes{0x80, 7}));
    EXPECT_EQ(compress({7, 7}), (Bytes{0x80, 7, 7}));
    EXPECT_TRUE(decompress({0x80}).empty());
    EXPECT_EQ(decompress({0x80, 7, 7}), (Bytes{7, 7}));
}

TEST(Lzrw1khBlock, CodesLiteralsCopiesAndRunsAsTheFormatSays) {
    // Six literals, then one copy of 18 bytes from 6 back: K = 6 * 16 + 15.
    EXPECT_EQ(compress(bytesOf("abcdefabcdefabcdefabcdef")),
              (Bytes{0x40, 0x02, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 0x00, 0x6F}));
    // Fifteen equal bytes are no run: a literal, then an overlapping copy of 14 from 1 back.
    EXPECT_EQ(compress(Bytes(15, 'a')), (Bytes{0x40, 0x40, 0x00, 'a', 0x00, 0x1B}));
    // Twenty are: 0x00, count - 16 big-endian, the byte.
    EXPECT_EQ(compress(Bytes(20, 'a')), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'a'}));
}

TEST(Lzrw1khBlock, SeventeenthItemStartsASecondControlWord) {
    Bytes input;
    for (std::uint8_t i = 0; i < 16; ++i) input.push_back(i);
    input.insert(input.end(), 100, 'z');
    Bytes expected{0x40, 0x00, 0x00};
    for (std::uint8_t i = 0; i < 16; ++i) expected.push_back(i);
    expected.insert(expected.end(), {0x80, 0x00, 0x00, 0x00, 84, 'z'});
    EXPECT_EQ(compress(input), expected);
    EXPECT_EQ(decompress(expected), input);
}

TEST(Lzrw1khBlock, RunOf5000IsARunOf4095ThenTheRest) {
    const Bytes input(5000, 0x55);
    EXPECT_EQ(compress(input), (Bytes{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 0x55, 0x00, 0x03, 0x79, 0x55}));
    EXPECT_EQ(decompress(compress(input)), input);
}

TEST(Lzrw1khBlock, CopiesReachBack4095ButNot4096) {
    Bytes near = bytesOf("xyz");
    near.insert(near.end(), 4092, 'a');
    near.insert(near.end(), {'x', 'y', 'z'});
    // "xyz", a run of 4,092, then a copy of 3 from 4,095 back (K = 0xFFF0).
    EXPECT_EQ(compress(near), (Bytes{0x40, 0x18, 0x00, 'x', 'y', 'z', 0x00, 0x0F, 0xEC, 'a', 0xFF, 0xF0}));

    Bytes far = bytesOf("xyz");
    far.insert(far.end(), 4093, 'a');
    far.insert(far.end(), {'x', 'y', 'z'});
    EXPECT_EQ(compress(far), (Bytes{0x40, 0x10, 0x00, 'x', 'y', 'z', 0x00, 0x0F, 0xED, 'a', 'x', 'y', 'z'}));
    EXPECT_EQ(decompress(compress(far)), far);
}

TEST(Lzrw1khBlock, CompressRefusesOversizeBlocksAndShortBuffers) {
    TLZR lzr;
    Bytes big(kLzrBlockSize + 1), out(kLzrBlockSize + 1 + kLzrSlack);
    EXPECT_THROW(lzr.CompressBlock(big, out), std::invalid_argument);
    Bytes small(10), tight(10 + kLzrSlack - 1);
    EXPECT_THROW(lzr.CompressBlock(small, tight), std::invalid_argument);
}

TEST(Lzrw1khBlock, CorruptBlocksAreRefusedNotFollowed) {
    Bytes out(kLzrBufferSize);
    auto decode = [&](const Bytes& b) { return TLZR::DecompressBlock(b, out); };
    EXPECT_EQ(decode({}), 0);
    EXPECT_EQ(decode({0x40}), 0);                              // shorter than 2 bytes
    EXPECT_EQ(decode({0x41, 0x00, 0x00, 'a'}), -1);            // unknown flag
    EXPECT_EQ(decode({0x40, 0x00}), -1);                       // half a control word
    EXPECT_EQ(decode({0x40, 0x80, 0x00, 0x00, 0x1B}), -1);     // copy from before the start
    EXPECT_EQ(decode({0x40, 0x40, 0x00, 'a', 0x00}), -1);      // truncated copy
    EXPECT_EQ(decode({0x40, 0x80, 0x00, 0x00, 0x00, 0x04}), -1);  // truncated run
    // Runs of 4,111 bytes, nine of them: more than a block may produce.
    Bytes runs{0x40, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i) runs.insert(runs.end(), {0x00, 0x0F, 0xFF, 'r'});
    EXPECT_EQ(decode(runs), -1);
    // The same faults inside long blocks, whose groups are decoded with fewer checks.
    Bytes early{0x40, 0x80, 0x00, 0x00, 0x1B};
    early.insert(early.end(), 100, 'x');
    EXPECT_EQ(decode(early), -1);
    Bytes manyRuns{0x40};
    for (int group = 0; group < 3; ++group) {
        manyRuns.insert(manyRuns.end(), {0xFF, 0xFF});
        for (int i = 0; i < 16; ++i) manyRuns.insert(manyRuns.end(), {0x00, 0x0F, 0xFF, 'r'});
    }
    EXPECT_EQ(decode(manyRuns), -1);
    // A stored block with one byte too many.
    Bytes stored(kLzrBlockSize + 2, 'x');
    stored[0] = 0x80;
    EXPECT_EQ(decode(stored), -1);
    stored.pop_back();
    EXPECT_EQ(decode(stored), static_cast<long>(kLzrBlockSize));
    // No room at all: only blocks that produce nothing pass.
    std::span<std::uint8_t> none;
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x80}, none), 0);
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x40, 0x00, 0x00}, none), 0);
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x80, 'a'}, none), -1);
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x40, 0x00, 0x00, 'a'}, none), -1);
    // A destination smaller than a block bounds the output too.
    Bytes little(4);
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x40, 0x40, 0x00, 'a', 0x00, 0x1B}, little), -1);
}

namespace {

// The block algorithm step by step, byte by byte, with no shortcuts: the coder must
// give exactly these bytes.
Bytes plainBlock(const Bytes& in) {
    const std::size_t n = in.size();
    std::vector<int> table(4096, -1);
    Bytes out(n + 16, 0);
    out[0] = 0x40;
    std::size_t controlAt = 1, w = 3, r = 0;
    unsigned control = 0, items = 0;
    auto put16 = [&](std::size_t at, unsigned v) {
        out[at] = static_cast<std::uint8_t>(v >> 8);
        out[at + 1] = static_cast<std::uint8_t>(v);
    };
    auto byte = [&](std::size_t i) -> unsigned { return i < n ? in[i] : 0; };
    while (r < n && w <= n) {
        if (items == 16) {
            put16(controlAt, control);
            controlAt = w;
            w += 2;
            control = 0;
            items = 0;
        }
        ++items;
        std::size_t run = 1;
        while (run < 4095 && r + run < n && in[r + run] == in[r]) ++run;
        if (run >= 16) {
            out[w] = 0;
            put16(w + 1, static_cast<unsigned>(run - 16));
            out[w + 3] = in[r];
            w += 4;
            control = control << 1 | 1;
            r += run;
            continue;
        }
        const unsigned h = ((40543u * ((((byte(r) << 4) ^ byte(r + 1)) << 4) ^ byte(r + 2))) >> 4) & 0xFFF;
        const int candidate = table[h];
        table[h] = static_cast<int>(r);
        std::size_t length = 0;
        if (candidate >= 0 && r - static_cast<std::size_t>(candidate) < 4096) {
            while (length < 18 && r + length < n && in[static_cast<std::size_t>(candidate) + length] == in[r + length])
                ++length;
        }
        if (length >= 3) {
            put16(w, static_cast<unsigned>((r - static_cast<std::size_t>(candidate)) << 4 | (length - 3)));
            w += 2;
            control = control << 1 | 1;
            r += length;
            continue;
        }
        out[w++] = in[r++];
        control <<= 1;
    }
    put16(controlAt, (control << (16 - items)) & 0xFFFF);
    if (w > n) {
        Bytes stored(n + 1, 0x80);
        std::copy(in.begin(), in.end(), stored.begin() + 1);
        return stored;
    }
    out.resize(w);
    return out;
}

}  // namespace

TEST(Lzrw1khBlock, GivesTheSameBytesAsTheStepByStepAlgorithm) {
    std::vector<Bytes> inputs;
    std::string text;
    for (int i = 0; text.size() < 32768; ++i) text += "Quorbit " + std::to_string(i * 37 % 1013) + " tiles slide; ";
    inputs.push_back(bytesOf(text.substr(0, 32768)));
    for (unsigned seed = 0; seed < 12; ++seed) {
        // Pieces of noise, runs around 16 and 4,095, and repeats at distances near 4,095.
        std::mt19937 gen(seed);
        Bytes b;
        const std::size_t size = seed < 6 ? 32768 : gen() % 32768;
        while (b.size() < size) {
            switch (gen() % 4) {
            case 0: b.insert(b.end(), 14 + gen() % 5, static_cast<std::uint8_t>(gen())); break;
            case 1: b.insert(b.end(), 4090 + gen() % 10, static_cast<std::uint8_t>(gen())); break;
            case 2:
                if (b.size() > 4100) {
                    const std::size_t from = b.size() - 4094 + gen() % 4;
                    for (std::size_t k = 0; k < 20; ++k) b.push_back(b[from + k]);
                }
                break;
            default:
                for (unsigned k = gen() % 50; k > 0; --k) b.push_back(static_cast<std::uint8_t>(gen() % (seed + 2)));
            }
        }
        b.resize(size);
        inputs.push_back(b);
    }
    for (const Bytes& input : inputs) EXPECT_EQ(compress(input), plainBlock(input)) << input.size();
}
