#pragma once
// What a record says about its game, for the "Recent Games" list and as shareable text:
// the players, the game's language when it is not English, every word with its points
// and the running scores, and the winner.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "record/record.h"

namespace quorbit::record {

struct WordPlayed {
    int seat = 0;
    std::string player;  // the seat's name when the word was made
    std::string word;
    int points = 0;
    std::array<int, kSeats> scores{};  // every seat's total after this word
    int teamA = 0;
    int teamB = 0;
};

struct GameSummary {
    std::string date;
    std::array<std::string, kSeats> players{};  // seats 1..4 as they last were named; empty: free
    std::array<int, kSeats> scores{};           // final totals
    int teamA = 0;
    int teamB = 0;
    bool team = false;
    int playTo = -1;
    std::string language{kRecordDefaultLanguage};  // ISO 639-1; told in the text when not English
    std::vector<WordPlayed> words;
    std::string winner;  // a player's name, "Team A" or "Team B"; empty when the game had none
};

GameSummary summarise(const Record& record);


// The game as plain text, one fact a line, ending in a newline; every text of the record
// in it is printable (see quorbit::printableText).
std::string summaryText(const GameSummary& summary);

// "You 31, Zubo 12" (and the teams in a team game): the scores of the named seats.
std::string scoresText(const GameSummary& summary, const std::array<int, kSeats>& scores, int teamA, int teamB);

}  // namespace quorbit::record
