#include "common/unicode_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quorbit::unicode {
namespace {

struct FoldEntry {
    char32_t cp;
    std::uint16_t offset;  // into kFoldPool
    std::uint8_t length;
};
struct CombiningRange {
    char32_t first;
    char32_t last;
    std::uint8_t ccc;
};
struct CodeRange {
    char32_t first;
    char32_t last;
};

#include "unicode_tables.inc"

template <std::size_t N>
bool inRanges(const CodeRange (&table)[N], char32_t cp) {
    const auto it = std::upper_bound(std::begin(table), std::end(table), cp,
                                     [](char32_t c, const CodeRange& r) { return c < r.first; });
    return it != std::begin(table) && cp <= std::prev(it)->last;
}

int combiningClass(char32_t cp) {
    const auto it = std::upper_bound(std::begin(kCombining), std::end(kCombining), cp,
                                     [](char32_t c, const CombiningRange& r) { return c < r.first; });
    if (it == std::begin(kCombining) || cp > std::prev(it)->last) return 0;
    return std::prev(it)->ccc;
}

// Hangul syllables decompose by arithmetic into their leading consonant, vowel and
// optional trailing consonant.
constexpr char32_t kHangulFirst = 0xAC00, kHangulLast = 0xD7A3;
constexpr char32_t kLeadBase = 0x1100, kVowelBase = 0x1161, kTrailBase = 0x11A7;
constexpr char32_t kVowels = 21, kTrails = 28;

void appendFolded(std::u32string& out, char32_t cp) {
    if (cp >= kHangulFirst && cp <= kHangulLast) {
        const char32_t s = cp - kHangulFirst;
        out.push_back(kLeadBase + s / (kVowels * kTrails));
        out.push_back(kVowelBase + (s % (kVowels * kTrails)) / kTrails);
        if (s % kTrails != 0) out.push_back(kTrailBase + s % kTrails);
        return;
    }
    if (inRanges(kIgnorable, cp)) return;
    const auto it = std::lower_bound(std::begin(kFold), std::end(kFold), cp,
                                     [](const FoldEntry& e, char32_t c) { return e.cp < c; });
    if (it == std::end(kFold) || it->cp != cp) {
        out.push_back(cp);
        return;
    }
    out.append(kFoldPool + it->offset, it->length);
}

}  // namespace

Decoded decodeAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) return {b0, 1};
    std::size_t length;
    char32_t cp;
    char32_t least;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (text.size() - i < length) return {};
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return {};
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
    return {cp, length};
}

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decodeAt(text, i);
        if (d.length == 0) {
            ++i;
            continue;
        }
        out.push_back(d.cp);
        i += d.length;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string encodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t cp : text) appendUtf8(out, cp);
    return out;
}

bool isInvisibleControl(char32_t cp) { return inRanges(kRemoved, cp); }

bool isFormat(char32_t cp) { return inRanges(kFormat, cp); }

bool isSpace(char32_t cp) { return inRanges(kSpaces, cp); }

std::u32string foldForComparison(std::u32string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (const char32_t cp : text) appendFolded(out, cp);
    // Canonical order: each run of combining marks sorted by class, stably.
    for (std::size_t i = 0; i < out.size();) {
        if (combiningClass(out[i]) == 0) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < out.size() && combiningClass(out[end]) != 0) ++end;
        std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(i), out.begin() + static_cast<std::ptrdiff_t>(end),
                         [](char32_t a, char32_t b) { return combiningClass(a) < combiningClass(b); });
        i = end;
    }
    return out;
}

}  // namespace quorbit::unicode
