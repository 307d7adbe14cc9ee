#pragma once
// The word lists built into the program.
#include <cstdint>
#include <span>
#include <string_view>

namespace quorbit::dictionary {

// The complete built-in word file: sorted 15-byte records.
std::string_view builtinWordFile();

// The computer player's words: lower-case, sorted, one a line ("\n" separated).
std::string_view builtinComputerWords();

// The solver's word graph: 32-bit edges as WordGraph reads them.
std::span<const std::uint32_t> builtinWordGraph();

}  // namespace quorbit::dictionary
