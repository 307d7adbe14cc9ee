#include "protocol/limits.h"

#include "protocol/framing.h"

namespace quorbit::protocol {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte length of the first `maxChars` characters.
std::size_t prefixBytes(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(text[i])) continue;
        if (chars == maxChars) return i;
        ++chars;
    }
    return text.size();
}

// C0 controls, DEL, and the C1 controls U+0080..U+009F (UTF-8 C2 80..C2 9F).
std::size_t controlLength(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return 1;
    if (c == 0xC2 && i + 1 < text.size()) {
        const auto d = static_cast<unsigned char>(text[i + 1]);
        if (d >= 0x80 && d <= 0x9F) return 2;
    }
    return 0;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

bool allowedBeforeLogin(std::string_view line) {
    const auto split = splitLine(line);
    return split && split->name == kLoginMessage;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string cutChars(std::string_view text, std::size_t maxChars) {
    return std::string(text.substr(0, prefixBytes(text, maxChars)));
}

std::string cleanName(std::string_view name) {
    std::string kept;
    kept.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t control = controlLength(name, i);
        if (control != 0) {
            i += control;
            continue;
        }
        kept.push_back(name[i]);
        ++i;
    }
    const std::string cut = cutChars(trimBlanks(kept), kMaxNameChars);
    return std::string(trimBlanks(cut));
}

std::string capChatText(std::string_view lineAndColour) {
    const std::size_t bar = lineAndColour.find('|');
    if (bar == std::string_view::npos) return cutChars(lineAndColour, kMaxTextChars);
    return cutChars(lineAndColour.substr(0, bar), kMaxTextChars) + "|" +
           cutChars(lineAndColour.substr(bar + 1), kMaxColourChars);
}

}  // namespace quorbit::protocol
