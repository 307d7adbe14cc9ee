#pragma once
// Zubo's chatter: the computer player in seat 2 answers chat lines with a remark,
// shown only on the client that drew it.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/random.h"

namespace quorbit::social {

inline constexpr std::string_view kZuboPrefix = "Zubo the bot says: ";
extern const std::array<std::string_view, 36> kZuboRemarks;

// One turn of the chatter: the full chat line, or nothing when the computer does not
// play seat 2, seat 3 or 4 is held, or the draw (one of 37) is the silent one.
std::optional<std::string> zubotalk(bool seat2IsComputer, bool seats3And4Free, Random& rng);

}  // namespace quorbit::social
