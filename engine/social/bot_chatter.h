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

// One turn of the chatter, given the name labels of seats 2, 3 and 4: the full chat
// line, or nothing when seat 2 is not Zubo, seat 3 or 4 holds a player, or the draw
// (one of 37) is the silent one.
std::optional<std::string> zubotalk(std::string_view seat2, std::string_view seat3,
                                    std::string_view seat4, Random& rng);

}  // namespace quorbit::social
