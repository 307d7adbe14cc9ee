#pragma once
// How well the computer player (Zubo) plays; the host chooses, nothing of it travels on
// the wire.
#include <optional>
#include <string_view>

namespace quorbit::rules {

enum class ZuboLevel {
    Classic,  // the first word of its list that a greedy trace finds
    Strong,   // the best-scoring of its own common words
    Expert,   // the best-scoring word of the whole word list
};

// "classic", "strong", "expert".
std::string_view zuboLevelName(ZuboLevel level);
// The level for one of those names, in any letter case; nothing for anything else.
std::optional<ZuboLevel> parseZuboLevel(std::string_view name);

}  // namespace quorbit::rules
