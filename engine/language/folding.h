#pragma once
// How a language's words are written with the board's letters A..Z: each language has
// one table that turns its letters with accents and its special letters into plain
// letters (é as E, ß as SS, å as AA in Danish, ä as AE in German, ...). Used by the build
// to make each language's word list, and by anything that must spell a word the same way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::language {

enum class Encoding { Utf8, Latin1 };

// The words of a list as they are kept: folded to lower-case a..z.
struct Folded {
    std::string word;
    bool capitalised = false;  // the entry began with a capital
    bool capitalInside = false;  // a capital after the first letter (abbreviations)
};

// The plain letters for one character (a code point) in the language with ISO 639-1 code
// `code`: "a".."z" for a..z and A..Z, the table's entry for the others ("" for a
// character that is dropped, such as Catalan's middle dot), nothing for a character the
// language does not write (digits, apostrophes, hyphens, other scripts).
std::optional<std::string_view> foldLetter(std::string_view code, char32_t c);

// A list entry (one line, without its line end) read in `encoding` and folded letter by
// letter; nothing when a character has no folding or the bytes are not valid.
std::optional<Folded> fold(std::string_view code, std::string_view entry, Encoding encoding);

}  // namespace quorbit::language
