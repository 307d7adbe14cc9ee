#include "tally/lzrw1kh.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace quorbit::tally {

namespace {

constexpr std::size_t kHashSize = 4096;
// The table holds positions plus kMaxDistance + 1, so that 0 means "not set" and one
// test, stored distance <= kMaxDistance, covers both "set" and "near enough".
constexpr std::size_t kBias = 4096;
constexpr std::uint16_t kUnset = 0;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMinCopy = 3;
constexpr std::size_t kMaxCopy = 18;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;

inline std::uint32_t hashOf(const std::uint8_t* p) {
    const std::uint32_t mixed = ((((std::uint32_t{p[0]} << 4) ^ p[1]) << 4) ^ p[2]);
    return ((40543u * mixed) >> 4) & 0xFFFu;
}

inline void putWord(std::uint8_t* at, std::uint32_t word) {
    at[0] = static_cast<std::uint8_t>(word >> 8);
    at[1] = static_cast<std::uint8_t>(word);
}

// From here on at least this many input bytes remain: words of 8 may be read at any
// position of a copy of up to 18 and of a run test.
constexpr std::size_t kWordSafe = 24;
constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;

// The input and output room that a group decoded without bounds checks needs.
constexpr std::ptrdiff_t kRoomIn = 16 * 4 + 16;
constexpr std::ptrdiff_t kRoomOut = 16 * 18;

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The index of the first byte in which two words differ (diff != 0).
inline std::size_t firstDifference(std::uint64_t diff) {
    return static_cast<std::size_t>(std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                               : std::countl_zero(diff)) / 8;
}

// How many bytes from `at` equal those from `from`, up to 18; 24 bytes readable at both,
// `atWord` the word at `at`.
inline std::size_t matchLength(const std::uint8_t* from, const std::uint8_t* at, std::uint64_t atWord) {
    if (const std::uint64_t diff = load64(from) ^ atWord; diff != 0) return firstDifference(diff);
    for (std::size_t i = 8; i < 24; i += 8) {
        if (const std::uint64_t diff = load64(from + i) ^ load64(at + i); diff != 0)
            return std::min(i + firstDifference(diff), kMaxCopy);
    }
    return kMaxCopy;
}

// The bytes after the first of a word read from memory.
constexpr std::uint64_t kAfterFirstByte =
    std::endian::native == std::endian::little ? ~std::uint64_t{0xFF} : ~(std::uint64_t{0xFF} << 56);

// hashOf() of the first three bytes of a word read from memory.
inline std::uint32_t hashOfWord(std::uint64_t w) {
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint32_t mixed = (((static_cast<std::uint32_t>(w & 0xFF) << 4) ^ ((w >> 8) & 0xFF)) << 4) ^
                                    static_cast<std::uint32_t>((w >> 16) & 0xFF);
        return ((40543u * mixed) >> 4) & 0xFFFu;
    } else {
        const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(w >> 56), static_cast<std::uint8_t>(w >> 48),
                                       static_cast<std::uint8_t>(w >> 40)};
        return hashOf(bytes);
    }
}

// How many bytes from p equal p[0], up to `limit`.
inline std::size_t runLength(const std::uint8_t* p, std::size_t limit) {
    std::size_t count = 1;
    while (count < limit && p[count] == p[0]) ++count;
    return count;
}

inline std::uint8_t* putRun(std::uint8_t* out, std::size_t count, std::uint8_t byte) {
    out[0] = 0;
    putWord(out + 1, static_cast<std::uint32_t>(count - kMinRun));
    out[3] = byte;
    return out + 4;
}

}  // namespace

TLZR::TLZR() {
    try {
        hash_ = std::make_unique<std::uint16_t[]>(kHashSize);
    } catch (const std::bad_alloc&) {
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
    }
}

std::size_t TLZR::CompressBlock(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination) {
    const std::size_t n = source.size();
    if (n > kLzrBlockSize || destination.size() < n + kLzrSlack)
        throw std::invalid_argument("TLZR::CompressBlock: block or buffer size out of range");
    std::fill_n(hash_.get(), kHashSize, kUnset);
    const std::uint8_t* src = source.data();
    std::uint8_t* const dst = destination.data();
    std::uint16_t* const table = hash_.get();

    dst[0] = kLzrFlagCompressed;
    std::uint8_t* controlAt = dst + 1;
    std::uint8_t* out = dst + 3;
    const std::uint8_t* const outLimit = dst + n;  // going past it means: store instead
    std::uint32_t control = 0;
    unsigned items = 0;
    std::size_t r = 0;

    // The three kinds of item; each takes its control bit and moves past its input.
    auto emitRun = [&](std::size_t count, std::uint8_t byte) {
        out = putRun(out, count, byte);
        control = (control << 1) | 1u;
        r += count;
    };
    auto emitCopy = [&](std::size_t distance, std::size_t length) {
        putWord(out, static_cast<std::uint32_t>((distance << 4) | (length - kMinCopy)));
        out += 2;
        control = (control << 1) | 1u;
        r += length;
    };
    auto emitLiteral = [&](std::uint8_t byte) {
        *out++ = byte;
        control <<= 1;
        ++r;
    };

    while (r < n && out <= outLimit) {
        if (items == 16) {
            putWord(controlAt, control);
            controlAt = out;
            out += 2;
            control = 0;
            items = 0;
        }
        ++items;
        const std::size_t left = n - r;
        const std::uint8_t current = src[r];

        if (left >= kWordSafe) {
            // Away from the end: whole words may be read at r and at the candidate. The
            // word at r serves the run test, the hash and the first step of the match.
            const std::uint64_t here = load64(src + r);
            if (((here ^ (current * kEveryByte)) & kAfterFirstByte) == 0) {
                const std::size_t count = runLength(src + r, std::min(left, kMaxRun));
                if (count >= kMinRun) {
                    emitRun(count, current);
                    continue;
                }
            }
            const std::uint32_t h = hashOfWord(here);
            const std::size_t distance = r + kBias - table[h];
            table[h] = static_cast<std::uint16_t>(r + kBias);
            std::size_t length = 0;
            if (distance <= kMaxDistance) length = matchLength(src + r - distance, src + r, here);
            if (length >= kMinCopy) {
                emitCopy(distance, length);
                continue;
            }
            emitLiteral(current);
            continue;
        }

        // Near the end, byte by byte.
        if (left >= kMinRun && src[r + 1] == current) {
            const std::size_t count = runLength(src + r, std::min(left, kMaxRun));
            if (count >= kMinRun) {
                emitRun(count, current);
                continue;
            }
        }
        // The last two bytes cannot start a copy of 3, so they are not hashed at all.
        if (left >= kMinCopy) {
            const std::uint32_t h = hashOf(src + r);
            const std::size_t distance = r + kBias - table[h];
            table[h] = static_cast<std::uint16_t>(r + kBias);
            if (distance <= kMaxDistance) {
                const std::uint8_t* from = src + r - distance;
                const std::uint8_t* at = src + r;
                const std::size_t limit = std::min(left, kMaxCopy);
                std::size_t length = 0;
                while (length < limit && from[length] == at[length]) ++length;
                if (length >= kMinCopy) {
                    emitCopy(distance, length);
                    continue;
                }
            }
        }

        emitLiteral(current);
    }
    putWord(controlAt, (control << (16 - items)) & 0xFFFFu);

    if (out > outLimit) {
        dst[0] = kLzrFlagStored;
        if (n > 0) std::memcpy(dst + 1, src, n);
        return n + 1;
    }
    return static_cast<std::size_t>(out - dst);
}

long TLZR::DecompressBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> destination) {
    const std::size_t length = block.size();
    if (length < 2) return 0;
    const std::uint8_t* ip = block.data();
    const std::uint8_t* const end = ip + length;
    std::uint8_t* const start = destination.data();
    std::uint8_t* op = start;
    std::uint8_t* const bufferEnd = start + destination.size();
    std::uint8_t* const limit = start + std::min(destination.size(), kLzrBlockSize);

    if (ip[0] == kLzrFlagStored) {
        const std::size_t count = length - 1;
        if (count > static_cast<std::size_t>(limit - start)) return -1;
        if (count > 0) std::memcpy(start, ip + 1, count);
        return static_cast<long>(count);
    }
    if (ip[0] != kLzrFlagCompressed) return -1;
    ++ip;

    while (ip < end) {
        if (end - ip < 2) return -1;
        // The control word sits at the top of 32 bits. Each round takes the literals
        // that its leading zeros announce (perhaps none), then one copy or run; so the
        // only branches are the rare ones.
        std::uint32_t control = ((std::uint32_t{ip[0]} << 8) | ip[1]) << 16;
        ip += 2;
        int bits = 16;
        // A group with room for its worst case: sixteen items of at most 4 bytes in (and
        // a 16-byte literal move after the last), at most 18 bytes out each but for
        // runs, which are checked on their own. Such a group is never the block's last.
        if (end - ip >= kRoomIn && limit - op >= kRoomOut && bufferEnd - op >= kRoomOut + 24) {
            for (;;) {
                const int literals = std::countl_zero(control | (1u << (31 - bits)));
                std::memcpy(op, ip, 16);
                op += literals;
                ip += literals;
                bits -= literals;
                control <<= literals;
                if (bits == 0) break;
                const std::size_t distance = (std::size_t{ip[0]} << 4) | (ip[1] >> 4);
                control <<= 1;
                --bits;
                if (distance == 0) {
                    const std::size_t count = ((std::size_t{ip[1]} << 8) | ip[2]) + kMinRun;
                    if (count > static_cast<std::size_t>(limit - op)) return -1;
                    std::memset(op, ip[3], count);
                    op += count;
                    ip += 4;
                    break;  // the room may be gone: the rest of the group goes carefully
                }
                const std::size_t count = (ip[1] & 0x0Fu) + kMinCopy;
                ip += 2;
                if (distance > static_cast<std::size_t>(op - start)) return -1;
                const std::uint8_t* from = op - distance;
                if (distance >= 8) {
                    std::memcpy(op, from, 8);
                    std::memcpy(op + 8, from + 8, 8);
                    std::memcpy(op + 16, from + 16, 8);
                } else {
                    for (std::size_t k = 0; k < count; ++k) op[k] = from[k];
                }
                op += count;
                if (bits == 0) break;
            }
            if (bits == 0) continue;
        }
        for (;;) {
            const std::size_t available = static_cast<std::size_t>(end - ip);
            // A stop bit just below the group's remaining bits bounds the count.
            std::size_t literals = static_cast<std::size_t>(std::countl_zero(control | (1u << (31 - bits))));
            literals = std::min(literals, available);  // the block may end inside the group
            if (literals > static_cast<std::size_t>(limit - op)) return -1;
            if (available >= 16 && bufferEnd - op >= 16) {
                std::memcpy(op, ip, 16);  // up to 16 literals in one move
            } else if (literals > 0) {
                std::memcpy(op, ip, literals);
            }
            op += literals;
            ip += literals;
            bits -= static_cast<int>(literals);
            control <<= literals;
            if (bits == 0 || ip == end) break;

            if (end - ip < 2) return -1;
            const std::size_t distance = (std::size_t{ip[0]} << 4) | (ip[1] >> 4);
            if (distance == 0) {
                if (end - ip < 4) return -1;
                const std::size_t count = ((std::size_t{ip[1]} << 8) | ip[2]) + kMinRun;
                if (count > static_cast<std::size_t>(limit - op)) return -1;
                std::memset(op, ip[3], count);
                op += count;
                ip += 4;
            } else {
                const std::size_t count = (ip[1] & 0x0Fu) + kMinCopy;
                ip += 2;
                if (distance > static_cast<std::size_t>(op - start)) return -1;
                if (count > static_cast<std::size_t>(limit - op)) return -1;
                const std::uint8_t* from = op - distance;
                if (distance >= 8 && bufferEnd - op >= 24) {
                    // Whole words, each from bytes already in place; the spare bytes past
                    // `count` are overwritten later or lie beyond the produced output.
                    std::memcpy(op, from, 8);
                    std::memcpy(op + 8, from + 8, 8);
                    std::memcpy(op + 16, from + 16, 8);
                } else {
                    for (std::size_t k = 0; k < count; ++k) op[k] = from[k];
                }
                op += count;
            }
            control <<= 1;
            if (--bits == 0 || ip == end) break;
        }
    }
    return static_cast<long>(op - start);
}

}  // namespace quorbit::tally
