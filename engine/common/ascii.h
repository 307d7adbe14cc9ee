#pragma once
// Letter case in plain ASCII, the same under every locale: the names of settings,
// sections, colours, computer levels and hosts are told apart this way. Bytes other than
// A..Z and a..z (UTF-8 included) compare as they are.
#include <string>
#include <string_view>

namespace quorbit {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` with A..Z made a..z.
inline std::string asciiLowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

// Whether `a` and `b` are the same text but for the case of their ASCII letters.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace quorbit
