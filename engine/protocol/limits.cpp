#include "protocol/limits.h"

#include <array>

#include "common/unicode_text.h"
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

// Cyrillic and Greek letters (in their case-folded form) that look like a Latin letter,
// with that letter. Only names are compared through it; names are shown as typed.
struct Lookalike {
    char32_t letter;
    char latin;
};
constexpr std::array<Lookalike, 40> kLookalikes = {{
    // Cyrillic
    {U'\u0430', 'a'}, {U'\u0432', 'b'}, {U'\u0435', 'e'}, {U'\u043A', 'k'}, {U'\u043C', 'm'},
    {U'\u043D', 'h'}, {U'\u043E', 'o'}, {U'\u0440', 'p'}, {U'\u0441', 'c'}, {U'\u0442', 't'},
    {U'\u0443', 'y'}, {U'\u0445', 'x'}, {U'\u0455', 's'}, {U'\u0456', 'i'}, {U'\u0458', 'j'},
    {U'\u04AF', 'y'}, {U'\u04BB', 'h'}, {U'\u04CF', 'l'}, {U'\u0501', 'd'}, {U'\u051B', 'q'},
    {U'\u051D', 'w'},
    // Greek
    {U'\u03B1', 'a'}, {U'\u03B2', 'b'}, {U'\u03B5', 'e'}, {U'\u03B6', 'z'}, {U'\u03B7', 'h'},
    {U'\u03B9', 'i'}, {U'\u03BA', 'k'}, {U'\u03BC', 'm'}, {U'\u03BD', 'n'}, {U'\u03BF', 'o'},
    {U'\u03C1', 'p'}, {U'\u03C4', 't'}, {U'\u03C5', 'y'}, {U'\u03C7', 'x'}, {U'\u03F2', 'c'},
    {U'\u03F3', 'j'},
    // Latin letters that pass for others
    {U'\u0131', 'i'},  // dotless i
    {U'\u0269', 'i'},  // iota
    {U'\u0261', 'g'},  // script g
}};

char32_t latinLookalike(char32_t cp) {
    for (const Lookalike& l : kLookalikes)
        if (l.letter == cp) return static_cast<char32_t>(l.latin);
    return cp;
}

}  // namespace

bool allowedBeforeLogin(std::string_view line) {
    const auto split = splitLine(line);
    return split && split->name == kLoginMessage;
}

std::string nameKey(std::string_view name) {
    // Invisible characters go before folding, so that the combining marks they stood
    // between are put in order.
    std::u32string chars = unicode::decodeUtf8(name);
    std::erase_if(chars, unicode::isInvisibleControl);
    const std::u32string folded = unicode::foldForComparison(chars);
    std::string key;
    key.reserve(folded.size());
    for (const char32_t cp : folded) {
        if (unicode::isSpace(cp)) {
            // Leading spaces are dropped, and a run inside counts as one.
            if (!key.empty() && key.back() != ' ') key.push_back(' ');
            continue;
        }
        unicode::appendUtf8(key, latinLookalike(cp));
    }
    if (!key.empty() && key.back() == ' ') key.pop_back();
    return key;
}

bool sameName(std::string_view a, std::string_view b) { return nameKey(a) == nameKey(b); }

bool usableName(std::string_view name) { return !nameKey(name).empty(); }

std::string cutChars(std::string_view text, std::size_t maxChars) {
    return std::string(text.substr(0, prefixBytes(text, maxChars)));
}

std::string cleanName(std::string_view name) {
    std::u32string kept = unicode::decodeUtf8(name);
    std::erase_if(kept, unicode::isInvisibleControl);
    auto trim = [](std::u32string& s) {
        while (!s.empty() && unicode::isSpace(s.back())) s.pop_back();
        std::size_t lead = 0;
        while (lead < s.size() && unicode::isSpace(s[lead])) ++lead;
        s.erase(0, lead);
    };
    trim(kept);
    if (kept.size() > kMaxNameChars) kept.resize(kMaxNameChars);
    trim(kept);
    return unicode::encodeUtf8(kept);
}

std::string capChatText(std::string_view lineAndColour) {
    const std::size_t bar = lineAndColour.find('|');
    if (bar == std::string_view::npos) return cutChars(lineAndColour, kMaxTextChars);
    return cutChars(lineAndColour.substr(0, bar), kMaxTextChars) + "|" +
           cutChars(lineAndColour.substr(bar + 1), kMaxColourChars);
}

}  // namespace quorbit::protocol
