#pragma once
// The word lists built into the program.
#include <string_view>

namespace quorbit::dictionary {

// The complete built-in word file: sorted 15-byte records.
std::string_view builtinWordFile();

// The computer player's words: lower-case, sorted, one a line ("\n" separated).
std::string_view builtinComputerWords();

}  // namespace quorbit::dictionary
