// Decodes arbitrary bytes as an LZHUF stream (the first 3 bytes choose how much to
// produce), then codes the rest and checks that it decodes back to itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tally/lzh.h"

using namespace quorbit::tally;

namespace {

TLZH::ReadFn reader(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    return [data, size, &at](std::uint8_t* buffer, std::size_t count) {
        const std::size_t n = std::min(count, size - at);
        std::copy_n(data + at, n, buffer);
        at += n;
        return n;
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const std::uint64_t want = data[0] | (std::uint64_t{data[1]} << 8) | (std::uint64_t(data[2] & 0x0F) << 16);
    data += 3;
    size -= 3;
    TLZH lzh;
    std::uint64_t produced = 0;
    std::size_t at = 0;
    const std::uint64_t got = lzh.Decode(
        want, [&](const std::uint8_t*, std::size_t count) { produced += count; }, reader(data, size, at));
    if (got > want || got != produced) std::abort();

    std::vector<std::uint8_t> packed;
    std::uint64_t written = 0;
    at = 0;
    lzh.Encode(
        written, [&](const std::uint8_t* b, std::size_t count) { packed.insert(packed.end(), b, b + count); },
        reader(data, size, at));
    std::vector<std::uint8_t> back;
    at = 0;
    const std::uint64_t n = lzh.Decode(
        size, [&](const std::uint8_t* b, std::size_t count) { back.insert(back.end(), b, b + count); },
        reader(packed.data(), packed.size(), at));
    if (written != packed.size() || n != size || !std::equal(back.begin(), back.end(), data, data + size)) std::abort();
    return 0;
}
