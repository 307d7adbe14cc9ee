#pragma once
// TLZR: the LZRW1/KH block coder used by the FAST container method.
//
// A block codes at most 32,768 input bytes on its own (the hash table is cleared for
// every block). Byte 0 is the flag: 0x40 compressed, 0x80 stored. A compressed block
// is a sequence of groups: a big-endian 16-bit control word whose bits, from the top,
// tell for each of the next 16 items whether it is a literal (0) or a copy/run (1).
//   literal: 1 byte;
//   copy:    2 bytes, big-endian distance * 16 + (length - 3), distance 1..4,095,
//            length 3..18, copied byte by byte (it may overlap what it produces);
//   run:     4 bytes: 0x00, big-endian (count - 16), the byte; count 16..4,095.
// When the compressed form would not be shorter than the input, the block is stored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace quorbit::tally {

// Raised when the engine cannot get its hash table.
class ELzrw1KHCompressor : public std::runtime_error {
public:
    explicit ELzrw1KHCompressor(const std::string& text) : std::runtime_error(text) {}
};

inline constexpr std::size_t kLzrBlockSize = 32768;
// Compression may run up to 6 bytes past the input size before it falls back to a
// stored block; every destination keeps this much room beyond the block size.
inline constexpr std::size_t kLzrSlack = 16;
inline constexpr std::size_t kLzrBufferSize = kLzrBlockSize + kLzrSlack;
// The longest block a chunk may carry (a stored block of 32,768 bytes is 32,769).
inline constexpr std::size_t kLzrMaxBlockLength = 32770;

inline constexpr std::uint8_t kLzrFlagCompressed = 0x40;
inline constexpr std::uint8_t kLzrFlagStored = 0x80;

class TLZR {
public:
    TLZR();

    // Codes `source` (at most kLzrBlockSize bytes) into `destination`, which must hold
    // source.size() + kLzrSlack bytes. Returns the block length, 1 to source.size() + 1.
    // Throws std::invalid_argument when the sizes break those rules.
    std::size_t CompressBlock(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination);

    // Restores one block into `destination` and returns the number of bytes produced,
    // or -1 when the block is corrupt: an unknown flag, a truncated item, a copy that
    // reaches before the start of the output, or more output than
    // min(destination.size(), kLzrBlockSize). A block shorter than 2 bytes produces nothing.
    // Never reads or writes outside the two spans.
    static long DecompressBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> destination);

private:
    std::unique_ptr<std::uint16_t[]> hash_;
};

}  // namespace quorbit::tally
