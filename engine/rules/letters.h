#pragma once
// Letter codes and what each letter is worth: the one table that the scoring, the
// computer player and the tile pictures read. Codes 1..26 are the letters A..Z.
#include <array>
#include <cstddef>

namespace quorbit::rules {

constexpr bool isLetter(int code) { return code >= 1 && code <= 26; }

// The capital letter of a code; '?' for a code that is no letter.
constexpr char letterOf(int code) { return isLetter(code) ? static_cast<char>('A' + code - 1) : '?'; }

// A code as the server reads its board: "a".."z" for 1..26, "*" for the empty and
// marked squares 27..29, and "t" for anything else (an undealt square included).
constexpr char letterAt(int code) {
    if (isLetter(code)) return static_cast<char>('a' + code - 1);
    if (code >= 27 && code <= 29) return '*';
    return 't';
}

// What each letter A..Z is worth in one language.
using LetterValues = std::array<int, 26>;

// English's values: the game's own, and the scale that the other languages' values follow.
inline constexpr LetterValues kEnglishValues = {
    1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3,   // A..M
    1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10  // N..Z
};

// The value of a letter by its code in a language's table; any code outside 1..26 is
// worth 1.
constexpr int letterworth(int code, const LetterValues& values) {
    return isLetter(code) ? values[static_cast<std::size_t>(code - 1)] : 1;
}
constexpr int letterworth(int code) { return letterworth(code, kEnglishValues); }

static_assert(letterworth(1) == 1 && letterworth(17) == 10 && letterworth(22) == 7 && letterworth(0) == 1);
static_assert(letterAt(20) == 't' && letterAt(0) == 't' && letterAt(27) == '*' && letterOf(26) == 'Z');

}  // namespace quorbit::rules
