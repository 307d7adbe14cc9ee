#include "language/folding.h"

#include <algorithm>
#include <array>

namespace quorbit::language {
namespace {

struct Fold {
    char32_t letter;  // lower case
    std::string_view plain;
};

// Every language: accents and marks dropped, ligatures and special letters spelled out.
constexpr std::array<Fold, 61> kCommon = {{
    {U'à', "a"}, {U'á', "a"}, {U'â', "a"}, {U'ã', "a"}, {U'ä', "a"}, {U'å', "a"}, {U'æ', "ae"},
    {U'ç', "c"}, {U'è', "e"}, {U'é', "e"}, {U'ê', "e"}, {U'ë', "e"}, {U'ì', "i"}, {U'í', "i"},
    {U'î', "i"}, {U'ï', "i"}, {U'ð', "d"}, {U'ñ', "n"}, {U'ò', "o"}, {U'ó', "o"}, {U'ô', "o"},
    {U'õ', "o"}, {U'ö', "o"}, {U'ø', "o"}, {U'ù', "u"}, {U'ú', "u"}, {U'û', "u"}, {U'ü', "u"},
    {U'ý', "y"}, {U'þ', "th"}, {U'ÿ', "y"}, {U'ß', "ss"}, {U'ā', "a"}, {U'ă', "a"}, {U'ą', "a"},
    {U'ć', "c"}, {U'č', "c"}, {U'ď', "d"}, {U'ē', "e"}, {U'ę', "e"}, {U'ě', "e"}, {U'ğ', "g"},
    {U'ī', "i"}, {U'ı', "i"}, {U'ĳ', "ij"}, {U'ł', "l"}, {U'ń', "n"}, {U'ň', "n"}, {U'ō', "o"},
    {U'ő', "o"}, {U'œ', "oe"}, {U'ř', "r"}, {U'ś', "s"}, {U'ş', "s"}, {U'š', "s"}, {U'ť', "t"},
    {U'ū', "u"}, {U'ů', "u"}, {U'ź', "z"}, {U'ż', "z"}, {U'ž', "z"},
}};

// What each language writes differently from the common table.
struct Override {
    std::string_view code;
    Fold fold;
};
constexpr std::array<Override, 12> kOverrides = {{
    // German: umlauts as the language spells them without the dots.
    {"de", {U'ä', "ae"}}, {"de", {U'ö', "oe"}}, {"de", {U'ü', "ue"}},
    // Danish and Norwegian: ø as OE, å as AA (the older spelling of the letter).
    {"da", {U'ø', "oe"}}, {"da", {U'å', "aa"}}, {"nb", {U'ø', "oe"}}, {"nb", {U'å', "aa"}},
    // Swedish: å, ä and ö as AA, AE and OE.
    {"sv", {U'å', "aa"}}, {"sv", {U'ä', "ae"}}, {"sv", {U'ö', "oe"}},
    // Catalan: the middle dot of l·l is part of the spelling and is dropped.
    {"ca", {U'·', ""}}, {"ca", {U'ŀ', "l"}},
}};

// The lower-case form of the capitals that the lists use: Latin-1 and Latin Extended-A.
char32_t lower(char32_t c, bool& capital) {
    capital = false;
    if (c >= U'A' && c <= U'Z') return capital = true, c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return capital = true, c + 32;
    if (c == 0x178) return capital = true, U'ÿ';
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return capital = true, c + 1;
    return c;
}

// The next code point of `s` from `i` in UTF-8; nothing for invalid bytes.
std::optional<char32_t> nextUtf8(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int more = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) more = 1, c = b & 0x1Fu;
    else if ((b & 0xF0) == 0xE0) more = 2, c = b & 0x0Fu;
    else if ((b & 0xF8) == 0xF0) more = 3, c = b & 0x07u;
    else return std::nullopt;
    for (int k = 0; k < more; ++k) {
        if (i >= s.size()) return std::nullopt;
        const auto n = static_cast<unsigned char>(s[i++]);
        if ((n & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (n & 0x3Fu);
    }
    if (c < 0x80 || (more == 2 && c < 0x800) || (more == 3 && c < 0x10000)) return std::nullopt;  // overlong
    return c;
}

}  // namespace

std::optional<std::string_view> foldLetter(std::string_view code, char32_t c) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz";
    bool capital = false;
    c = lower(c, capital);
    if (c >= U'a' && c <= U'z') return kLetters.substr(c - U'a', 1);
    for (const auto& o : kOverrides)
        if (o.code == code && o.fold.letter == c) return o.fold.plain;
    const auto it = std::find_if(kCommon.begin(), kCommon.end(), [c](const Fold& f) { return f.letter == c; });
    if (it != kCommon.end()) return it->plain;
    return std::nullopt;
}

std::optional<Folded> fold(std::string_view code, std::string_view entry, Encoding encoding) {
    Folded out;
    std::size_t i = 0;
    bool first = true;
    while (i < entry.size()) {
        std::optional<char32_t> c;
        if (encoding == Encoding::Latin1) c = static_cast<unsigned char>(entry[i++]);
        else c = nextUtf8(entry, i);
        if (!c) return std::nullopt;
        bool capital = false;
        lower(*c, capital);
        if (capital) (first ? out.capitalised : out.capitalInside) = true;
        const auto plain = foldLetter(code, *c);
        if (!plain) return std::nullopt;
        out.word += *plain;
        first = false;
    }
    return out;
}

}  // namespace quorbit::language
