#pragma once
// The languages a game can be played in. Each has its word file (15-byte records, as the
// dictionary reads them), its word graph (for the solver), the weights of its deal and the
// values of its letters, all made at build time from its word list (tools/mklanguage.cpp).
// English is built into the program and is the default; the others are those whose
// Debian word list was present when the program was built, shipped as files.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "rules/letters.h"

namespace quorbit::language {

// How many of the deal's 98 equally likely draws bring each letter A..Z.
using DealWeights = std::array<int, 26>;
inline constexpr int kDraws = 98;

struct Language {
    std::string_view code;       // ISO 639-1: "en", "fr", ...
    std::string_view name;       // in English: "French"
    std::string_view wordFile;   // the record file's name in the languages folder; "" when built in
    std::string_view graphFile;  // the graph file's name there; "" when built in
    DealWeights deal;
    rules::LetterValues values;

    bool builtIn() const { return wordFile.empty(); }
    // The letter code (1..26) dealt for a draw v of 1..98. English keeps its own order of
    // ranges; the others cover the letters in alphabetical order.
    int draw(int v) const;
};

// English: the built-in list, the game's own deal and values.
const Language& english();
// English first, then every language built, in the order of their codes.
std::span<const Language> all();
// The language with this ISO 639-1 code, or nothing.
const Language* find(std::string_view code);

// A word graph file read whole; nothing when it cannot be read or does not hold
// together as a graph.
std::optional<std::vector<std::uint64_t>> readGraph(const std::filesystem::path& file);

}  // namespace quorbit::language
