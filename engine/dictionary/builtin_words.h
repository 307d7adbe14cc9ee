#pragma once
// The word lists built into the program.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::dictionary {

// The complete built-in word file: sorted 15-byte records.
std::string_view builtinWordFile();

// The computer player's words: lower-case, sorted, one a line ("\n" separated).
std::string_view builtinComputerWords();

// A word list given one word a line ("\n" or "\r\n" separated) as its words, in order,
// blank lines left out.
std::vector<std::string> wordLines(std::string_view list);

// The solver's word graph: its 64-bit records as WordGraph reads them.
std::span<const std::uint64_t> builtinWordGraph();

}  // namespace quorbit::dictionary
