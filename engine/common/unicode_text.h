#pragma once
// Unicode text without a Unicode library: UTF-8 decoding and encoding, the character
// classes the program acts on, and the form in which texts are compared.
//
// The tables behind these functions are generated at build time from Python's Unicode
// database by tools/mkunicodefold.py.
#include <cstddef>
#include <string>
#include <string_view>

namespace quorbit::unicode {

// The code point of the well-formed UTF-8 sequence starting at `text[i]` and its length
// in bytes; length 0 when none starts there (a stray continuation byte, a truncated or
// overlong sequence, a surrogate, a value past U+10FFFF).
struct Decoded {
    char32_t cp = 0;
    std::size_t length = 0;
};
Decoded decodeAt(std::string_view text, std::size_t i);

// The code points of UTF-8 text; bytes that start no well-formed sequence are skipped.
std::u32string decodeUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t cp);
std::string encodeUtf8(std::u32string_view text);

// Controls (Cc), format characters (Cf: the bidirectional controls, the zero-width
// characters, the byte order mark...) and the line and paragraph separators (Zl, Zp):
// characters that change how the text around them is shown instead of showing.
bool isInvisibleControl(char32_t cp);
// Format characters (Cf) alone: the bidirectional controls and isolates, the zero-width
// characters, the soft hyphen, the byte order mark and their kin.
bool isFormat(char32_t cp);
// Spaces (Zs): the blank, the no-break space, the ideographic space, the en and em
// spaces and the like.
bool isSpace(char32_t cp);

// The form in which two texts are compared: compatibility decomposition (so texts equal
// after NFKC are equal here), full case folding, canonical order of combining marks,
// default-ignorable characters (zero-width, variation selectors, fillers) dropped.
std::u32string foldForComparison(std::u32string_view text);

}  // namespace quorbit::unicode
