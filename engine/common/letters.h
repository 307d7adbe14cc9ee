#pragma once
// Letter codes and what each letter is worth: the one table that both the server's
// scoring and the tile pictures read.
#include <array>

namespace quorbit {

// Codes 1..26 are the letters A..Z.
inline constexpr char letterOf(int code) { return (code >= 1 && code <= 26) ? static_cast<char>('A' + code - 1) : '?'; }

// The value of a letter by its code; any code outside 1..26 is worth 1.
inline constexpr int letterworth(int code) {
    constexpr std::array<int, 26> worth = {
        1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3,   // A..M
        1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10  // N..Z
    };
    return (code >= 1 && code <= 26) ? worth[static_cast<std::size_t>(code - 1)] : 1;
}

static_assert(letterworth(1) == 1 && letterworth(17) == 10 && letterworth(22) == 7 && letterworth(0) == 1);

}  // namespace quorbit
