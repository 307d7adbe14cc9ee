#include "tally/lzh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace quorbit::tally;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads from a byte vector in portions of at most `portion` bytes.
TLZH::ReadFn reader(const Bytes& data, std::size_t& at, std::size_t portion = TLZH::kPortion) {
    return [&data, &at, portion](std::uint8_t* buffer, std::size_t count) {
        const std::size_t n = std::min({count, portion, data.size() - at});
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), n, buffer);
        at += n;
        return n;
    };
}

TLZH::WriteFn writer(Bytes& out) {
    return [&out](const std::uint8_t* buffer, std::size_t count) {
        EXPECT_LE(count, TLZH::kPortion);
        out.insert(out.end(), buffer, buffer + count);
    };
}

Bytes encode(const Bytes& input, std::size_t portion = TLZH::kPortion) {
    TLZH lzh;
    Bytes out;
    std::size_t at = 0;
    std::uint64_t written = 0;
    lzh.Encode(written, writer(out), reader(input, at, portion));
    EXPECT_EQ(written, out.size());
    EXPECT_EQ(at, input.size());
    return out;
}

Bytes decode(const Bytes& stream, std::uint64_t size) {
    TLZH lzh;
    Bytes out;
    std::size_t at = 0;
    const std::uint64_t produced = lzh.Decode(size, writer(out), reader(stream, at));
    EXPECT_EQ(produced, out.size());
    return out;
}

Bytes textOf(std::size_t n, unsigned seed) {
    static const char* words[] = {"the", "word", "tally", "opponent", "board", "letter", "score", "game",
                                  "and", "of", "a", "to", "quorbit", "shuffle", "turn", "seven"};
    std::mt19937 gen(seed);
    std::string s;
    while (s.size() < n) {
        s += words[gen() % 16];
        s += gen() % 9 == 0 ? ".\r\n" : " ";
    }
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    return b;
}

}  // namespace

TEST(Lzh, EmptyInputGivesAnEmptyStream) {
    EXPECT_TRUE(encode({}).empty());
    EXPECT_TRUE(decode({}, 0).empty());
}

TEST(Lzh, OneLetterIsItsInitialNineBitCodeThenZeroPadding) {
    // In the starting tree 'A' (leaf 65) sits 9 levels deep: 111001101.
    EXPECT_EQ(encode({'A'}), (Bytes{0xE6, 0x80}));
    EXPECT_EQ(decode({0xE6, 0x80}, 1), (Bytes{'A'}));
}

TEST(Lzh, RingStartsAsSpaces) {
    // Sixty spaces match the initial ring: one length symbol and one position.
    const Bytes spaces(60, ' ');
    const Bytes stream = encode(spaces);
    EXPECT_LE(stream.size(), 3u);
    EXPECT_EQ(decode(stream, spaces.size()), spaces);
}

TEST(Lzh, RoundTripsVariedDataAcrossTreeRebuilds) {
    std::vector<Bytes> inputs = {Bytes{0}, Bytes{' ', ' '}, Bytes(3, 'x'), Bytes(61, 'q'), Bytes(5000, 0xFF)};
    inputs.push_back(textOf(300000, 1));   // more than 0x8000 symbols: the tree is rebuilt
    inputs.push_back(randomBytes(70000, 2));
    Bytes all(256 * 3);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i * 7);
    inputs.push_back(all);
    for (std::size_t n = 1; n < 70; n += 7) inputs.push_back(textOf(n, static_cast<unsigned>(n)));
    for (const Bytes& input : inputs) {
        const Bytes stream = encode(input);
        EXPECT_EQ(decode(stream, input.size()), input) << input.size();
    }
    const Bytes text = textOf(300000, 1);
    EXPECT_LT(encode(text).size(), text.size() / 3);
}

TEST(Lzh, PortionSizeOfTheReaderDoesNotChangeTheStream) {
    const Bytes text = textOf(50000, 3);
    EXPECT_EQ(encode(text, 1), encode(text));
    EXPECT_EQ(encode(text, 777), encode(text));
}

TEST(Lzh, DecodeNeverProducesMoreThanAskedNorInventsBytesPastTheStream) {
    const Bytes text = textOf(10000, 4);
    const Bytes stream = encode(text);
    // Asked for less: a prefix, never more; a match that would run past the end is not
    // produced at all.
    const Bytes part = decode(stream, 1234);
    ASSERT_LE(part.size(), 1234u);
    EXPECT_GT(part.size(), 1234u - 60);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), text.begin()));
    // Asked for more than the stream holds: stops near its end.
    EXPECT_LT(decode(stream, text.size() + 100000).size(), text.size() + 100);
    // A truncated stream stops early.
    const Bytes half(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(stream.size() / 2));
    EXPECT_LT(decode(half, text.size()).size(), text.size());
    // Garbage with a huge size: bounded by what the bits can say.
    EXPECT_LT(decode(randomBytes(1000, 5), 0xFFFFFFFFu).size(), 100000u);
}

TEST(Lzh, StreamOfAFixedTextNeverChanges) {
    // Files written by earlier builds must still restore: the stream of this text is
    // pinned by its length and a checksum.
    const Bytes stream = encode(textOf(200000, 11));
    std::uint64_t fnv = 1469598103934665603ull;
    for (std::uint8_t b : stream) fnv = (fnv ^ b) * 1099511628211ull;
    EXPECT_EQ(stream.size(), 38448u);
    EXPECT_EQ(fnv, 2274655349882252050ull);
}
