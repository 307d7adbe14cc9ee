#pragma once
// TLZH: the LZHUF coder used by the GOOD container method: LZSS over a 4,096-byte ring
// (its first 4,036 bytes start as spaces, 60 bytes of look-ahead, matches of 3 to 60)
// with adaptive Huffman coding of 314 symbols (256 bytes, then lengths 3..60), a tree
// of 627 nodes rebuilt with halved counts when the root reaches 0x8000, and match
// positions (distance - 1) coded as their upper 6 bits through a fixed table of 3- to
// 8-bit codes followed by the lower 6 bits. Bits are packed from the most significant
// bit of each byte; the last byte is padded with zero bits. The stream has no length
// of its own: the decoder is told how many bytes to produce.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace quorbit::tally {

// Raised when the engine cannot get its tables.
class ElzhException : public std::runtime_error {
public:
    explicit ElzhException(const std::string& text) : std::runtime_error(text) {}
};

inline constexpr const char* kLzhNoMemory = "LZH : Cannot get memory for dictionary tables";

class TLZH {
public:
    // Reads up to `count` bytes into `buffer` and returns how many it delivered; 0 means
    // the end of the input. Failures are reported by throwing.
    using ReadFn = std::function<std::size_t(std::uint8_t* buffer, std::size_t count)>;
    // Hands over `count` bytes; failures are reported by throwing.
    using WriteFn = std::function<void(const std::uint8_t* buffer, std::size_t count)>;

    // The engine moves data in portions of this size; a write never exceeds it.
    static constexpr std::size_t kPortion = 32768;

    // Codes the whole input; adds the number of bytes handed to `write` to `bytesWritten`.
    // An empty input gives an empty stream.
    void Encode(std::uint64_t& bytesWritten, const WriteFn& write, const ReadFn& read);

    // Restores at most `size` bytes and returns how many it produced. It stops short of
    // `size` when the stream ends before it is complete or a match would run past `size`;
    // it never produces more.
    std::uint64_t Decode(std::uint64_t size, const WriteFn& write, const ReadFn& read);
};

}  // namespace quorbit::tally
