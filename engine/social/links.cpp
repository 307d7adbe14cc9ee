#include "social/links.h"

namespace quorbit::social {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }
// A link ends on a lower-case letter, a digit or "/", compared lower-cased.
bool endsLink(char c) {
    const char l = lower(c);
    return (l >= 'a' && l <= 'z') || (l >= '0' && l <= '9') || l == '/';
}

}  // namespace

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
