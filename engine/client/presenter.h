#pragma once
// The presenter: every text the window shows of the mirror's values, worded in one
// place. Nothing reads these texts back; whoever needs a seat, a score or a name reads
// the mirror.
#include <string>
#include <string_view>

#include "client/mirror.h"
#include "rules/seats.h"

namespace quorbit::client {

inline constexpr std::string_view kWaiting = "<Waiting>";
inline constexpr std::string_view kZubo = rules::kComputerName;

// A seat's name label: its holder's name, "<Waiting>" while nobody holds it.
std::string seatNameText(const SeatValues& seat);
// A seat's score label: empty from a game's start until its first word.
std::string scoreText(const SeatValues& seat);

// The team labels are worded as the message that last set them: the start of a game
// ("Team A: 0 "), a late arrival's catch-up ("Team A : 12") or a word ("Team A: 12").
enum class TeamLabelForm { Word, Start, CatchUp };
std::string teamText(int team, int score, TeamLabelForm form);

// A line of the spy list: "5: Ann".
std::string spyRow(const Spectator& spectator);

std::string playToText(int points);        // "Play to Score: 100"
std::string turnLengthText(int seconds);   // "Time Per Turn: 60"
std::string clockText(int seconds);        // "Time: 1:05"
// "Ann: WORD for 9 points." (the status line, the words list and the chat box).
std::string wordLine(std::string_view player, std::string_view word, int points);

}  // namespace quorbit::client
