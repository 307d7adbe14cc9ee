#include "social/links.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace quorbit::social {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }
// A link ends on a lower-case letter, a digit or "/", compared lower-cased.
bool endsLink(char c) {
    const char l = lower(c);
    return (l >= 'a' && l <= 'z') || (l >= '0' && l <= '9') || l == '/';
}

// The format characters (general category Cf) of Unicode 15, as ranges.
constexpr std::pair<char32_t, char32_t> kFormatRanges[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

// The character that starts at `text[at]` and its length in bytes; a byte that starts no
// well-formed UTF-8 sequence reads as itself with length 1 (and is never a format character).
std::pair<char32_t, std::size_t> decodeAt(std::string_view text, std::size_t at) {
    const auto b = static_cast<unsigned char>(text[at]);
    const std::size_t length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length <= 1 || at + length > text.size()) return {b, 1};
    char32_t c = b & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return {b, 1};
        c = (c << 6) | (next & 0x3F);
    }
    return {c, length};
}

}  // namespace

bool isFormatCharacter(char32_t c) {
    const auto* range = std::upper_bound(std::begin(kFormatRanges), std::end(kFormatRanges), c,
                                         [](char32_t v, const auto& r) { return v < r.first; });
    return range != std::begin(kFormatRanges) && c <= std::prev(range)->second;
}

std::string showFormatCharactersNearLinks(std::string_view line) {
    bool hasLink = false;
    for (std::size_t begin = 0; begin < line.size() && !hasLink;) {
        const std::size_t end = std::min(line.find_first_of(" \r\n", begin), line.size());
        hasLink = end > begin && linkInToken(line.substr(begin, end - begin)).has_value();
        begin = end + 1;
    }
    if (!hasLink) return std::string(line);
    std::string out;
    out.reserve(line.size());
    for (std::size_t at = 0; at < line.size();) {
        const auto [c, length] = decodeAt(line, at);
        if (isFormatCharacter(c)) {
            char mark[16];
            std::snprintf(mark, sizeof mark, "<U+%04X>", static_cast<unsigned>(c));
            out += mark;
        } else {
            out.append(line.substr(at, length));
        }
        at += length;
    }
    return out;
}

std::optional<std::string> linkInToken(std::string_view token) {
    std::string lowered(token);
    for (char& c : lowered) c = lower(c);
    for (const std::string_view prefix : kLinkPrefixes) {
        const std::size_t at = lowered.find(prefix);
        if (at == std::string::npos) continue;
        std::string_view link = token.substr(at);
        const std::size_t lineBreak = link.find_first_of("\r\n");
        if (lineBreak != std::string_view::npos) link = link.substr(0, lineBreak);
        while (!link.empty() && !endsLink(link.back())) link.remove_suffix(1);
        if (link.size() <= prefix.size()) return std::nullopt;
        return std::string(link);
    }
    return std::nullopt;
}

std::optional<std::string> linkAt(std::string_view text, std::size_t index) {
    if (index >= text.size() || isBreak(text[index])) return std::nullopt;
    std::size_t begin = index;
    while (begin > 0 && !isBreak(text[begin - 1])) --begin;
    std::size_t end = index;
    while (end < text.size() && !isBreak(text[end])) ++end;
    return linkInToken(text.substr(begin, end - begin));
}

}  // namespace quorbit::social
