#include "social/links.h"

#include "common/ascii.h"
#include "common/unicode_text.h"

#include <algorithm>
#include <cstdio>

namespace quorbit::social {
namespace {

bool isBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }
// A link ends on a lower-case letter, a digit or "/", compared lower-cased.
bool endsLink(char c) {
    const char l = asciiLower(c);
    return (l >= 'a' && l <= 'z') || (l >= '0' && l <= '9') || l == '/';
}

}  // namespace

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
        // A byte that starts no well-formed sequence is kept as it is.
        const unicode::Decoded d = unicode::decodeAt(line, at);
        const std::size_t length = d.length == 0 ? 1 : d.length;
        const char32_t c = d.cp;
        if (d.length != 0 && unicode::isFormat(c)) {
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
    const std::string lowered = asciiLowered(token);
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
