#include "client/presenter.h"

#include <cstdio>

namespace quorbit::client {

std::string seatNameText(const SeatValues& seat) {
    return seat.holder == SeatHolder::Nobody ? std::string(kWaiting) : seat.name;
}

std::string scoreText(const SeatValues& seat) { return seat.scored ? std::to_string(seat.score) : std::string(); }

std::string teamText(int team, int score, TeamLabelForm form) {
    std::string text(rules::teamName(team));
    switch (form) {
        case TeamLabelForm::Word: return text + ": " + std::to_string(score);
        case TeamLabelForm::Start: return text + ": " + std::to_string(score) + " ";
        case TeamLabelForm::CatchUp: return text + " : " + std::to_string(score);
    }
    return text;
}

std::string spyRow(const Spectator& spectator) { return std::to_string(spectator.seat) + ": " + spectator.name; }

std::string playToText(int points) { return "Play to Score: " + std::to_string(points); }

std::string turnLengthText(int seconds) { return "Time Per Turn: " + std::to_string(seconds); }

std::string clockText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "Time: %d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string wordLine(std::string_view player, std::string_view word, int points) {
    return std::string(player) + ": " + std::string(word) + " for " + std::to_string(points) + " points.";
}

}  // namespace quorbit::client
