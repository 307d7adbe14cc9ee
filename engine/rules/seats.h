#pragma once
// The seats of the table and the two teams. Seats 1..4 play, 5..9 watch and chat; seat 1
// is the host's own client, and seat 2 is played by the computer whenever nobody holds it.
#include <string_view>

namespace quorbit::rules {

inline constexpr int kPlayingSeats = 4;
inline constexpr int kSeats = 9;
inline constexpr int kHostSeat = 1;
inline constexpr int kComputerSeat = 2;
inline constexpr std::string_view kComputerName = "Zubo";

constexpr bool isSeat(int seat) { return seat >= 1 && seat <= kSeats; }
constexpr bool isPlayingSeat(int seat) { return seat >= 1 && seat <= kPlayingSeats; }

// Team A (number 1) is seats 1 and 3, team B (number 2) seats 2 and 4; spectators have
// no team (0).
inline constexpr int kTeamA = 1;
inline constexpr int kTeamB = 2;
constexpr int teamOf(int seat) { return isPlayingSeat(seat) ? (seat % 2 == 1 ? kTeamA : kTeamB) : 0; }
// A team as players read it: "Team A" or "Team B".
constexpr std::string_view teamName(int team) { return team == kTeamA ? "Team A" : "Team B"; }

static_assert(teamOf(1) == kTeamA && teamOf(3) == kTeamA && teamOf(2) == kTeamB && teamOf(4) == kTeamB &&
              teamOf(5) == 0 && teamOf(0) == 0);

}  // namespace quorbit::rules
