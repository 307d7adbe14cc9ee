#pragma once
// What a table tells its host when a game there is won: who played each playing seat, how
// and with what score. Hosts that keep results (a table server's store) use it; nothing
// of it travels on the wire.
#include <string>
#include <vector>

#include "rules/zubolevel.h"

namespace quorbit::server {

struct SeatResult {
    enum class Player {
        Person,    // the person holding the seat played to the end
        Computer,  // the computer played it: its own seat or a team partner nobody holds
        Watching,  // held by a person who had handed his turns to the computer
    };
    int seat = 0;
    std::string name;  // as the table showed it
    int score = 0;
    int team = 0;      // 1 or 2 in a team game, else 0
    Player player = Player::Person;
    rules::ZuboLevel zubo = rules::ZuboLevel::Classic;  // the computer's level at that seat
};

struct GameFinished {
    std::vector<SeatResult> seats;  // the seats that took turns, in seat order
    bool team = false;
    int teamA = 0;
    int teamB = 0;
    int playTo = 0;
    std::string winner;    // a player's name or "Team A" / "Team B"
    std::string language;  // the ISO code of the language played
};

}  // namespace quorbit::server
