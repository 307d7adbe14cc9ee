// Decodes arbitrary bytes as one LZRW1/KH block, then codes the input as a block and
// checks that it decodes back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tally/lzrw1kh.h"

using namespace quorbit::tally;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TLZR lzr;
    // Exactly the block's size, so that any read past it is caught.
    std::vector<std::uint8_t> block(data, data + size);
    std::vector<std::uint8_t> out(kLzrBufferSize);
    TLZR::DecompressBlock(block, out);
    std::vector<std::uint8_t> tight(size % 97);
    TLZR::DecompressBlock(block, tight);

    const std::size_t n = size < kLzrBlockSize ? size : kLzrBlockSize;
    std::vector<std::uint8_t> packed(n + kLzrSlack);
    const std::size_t length = lzr.CompressBlock({block.data(), n}, packed);
    if (length < 1 || length > n + 1) std::abort();
    packed.resize(length);
    const long back = TLZR::DecompressBlock(packed, out);
    if (back != static_cast<long>(n) || (n > 0 && std::memcmp(out.data(), data, n) != 0)) std::abort();
    return 0;
}
