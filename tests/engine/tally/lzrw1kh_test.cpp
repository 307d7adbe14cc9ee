#include "tally/lzrw1kh.h"

#include <gtest/gtest.h>

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

Bytes randomBytes(std::size_t n, unsigned seed, int alphabet = 256) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> d(0, alphabet - 1);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(d(gen));
    return b;
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

TEST(Lzrw1khBlock, IncompressibleInputIsStoredAtLengthPlusOne) {
    for (std::size_t n : {3u, 100u, 32767u, 32768u}) {
        const Bytes input = randomBytes(n, static_cast<unsigned>(n));
        const Bytes block = compress(input);
        ASSERT_EQ(block.size(), n + 1) << n;
        EXPECT_EQ(block[0], 0x80);
        EXPECT_EQ(decompress(block), input);
    }
}

TEST(Lzrw1khBlock, RoundTripsVariedData) {
    std::vector<Bytes> inputs;
    std::string text;
    for (int i = 0; text.size() < 32768; ++i) text += "the quick brown fox " + std::to_string(i % 97) + " jumps; ";
    inputs.push_back(bytesOf(text.substr(0, 32768)));
    inputs.push_back(randomBytes(32768, 1, 4));    // small alphabet: many short copies
    inputs.push_back(randomBytes(20000, 2, 2));
    Bytes mixed;
    for (int i = 0; mixed.size() < 32000; ++i) {
        const Bytes part = i % 3 == 0 ? Bytes(static_cast<std::size_t>(i % 40 + 1), static_cast<std::uint8_t>(i))
                                      : randomBytes(static_cast<std::size_t>(i % 23 + 1), static_cast<unsigned>(i), 8);
        mixed.insert(mixed.end(), part.begin(), part.end());
    }
    inputs.push_back(mixed);
    for (std::size_t n = 0; n < 40; ++n) inputs.push_back(randomBytes(n, static_cast<unsigned>(n), 3));
    for (const Bytes& input : inputs) {
        const Bytes block = compress(input);
        EXPECT_LE(block.size(), input.size() + 1);
        EXPECT_EQ(decompress(block), input) << input.size();
    }
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
    // A stored block with one byte too many.
    Bytes stored(kLzrBlockSize + 2, 'x');
    stored[0] = 0x80;
    EXPECT_EQ(decode(stored), -1);
    stored.pop_back();
    EXPECT_EQ(decode(stored), static_cast<long>(kLzrBlockSize));
    // A destination smaller than a block bounds the output too.
    Bytes little(4);
    EXPECT_EQ(TLZR::DecompressBlock(Bytes{0x40, 0x40, 0x00, 'a', 0x00, 0x1B}, little), -1);
}
