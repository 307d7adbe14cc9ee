#pragma once
// Which rating model a finished game is rated with, and the ratings it leaves.
//
// A game counts only when every side that played is a registered player or the computer:
// a guest at any playing seat leaves every rating as it was. Two players, each on a side
// of their own, are rated with Glicko-2; three or four players and team games with
// Weng-Lin (Plackett-Luce), the sides ranked by their scores. The computer plays at a
// fixed rating for each of its levels, which no game changes, so a game against it
// measures the person alone.
#include <cstddef>
#include <vector>

#include "rating/glicko2.h"
#include "rating/wenglin.h"
#include "rules/zubolevel.h"

namespace quorbit::rating {

enum class Model { Unrated, Glicko2, WengLin };

// One player of a finished game as the rating sees it.
struct Rated {
    int side = 0;        // players with the same side played as one team
    int score = 0;       // the side's score (a team's total; a player's own otherwise)
    bool fixed = false;  // the computer: its rating is used and never changed
    Glicko2 glicko;      // before the game
    WengLin wenglin;
};

// The model for a game of `players` (guests left out already: `guests` says how many).
Model chooseModel(const std::vector<Rated>& players, std::size_t guests);

// Each player's ratings after the game, in the order given; the computer's and, for an
// unrated game, everyone's as they were.
struct Outcome {
    Model model = Model::Unrated;
    std::vector<Glicko2> glicko;
    std::vector<WengLin> wenglin;
};
Outcome rateGame(const std::vector<Rated>& players, std::size_t guests);

// The computer's fixed ratings: classic 1200, strong 1600, expert 1900 on the Glicko
// scale, with a narrow deviation; its Weng-Lin mean is the same strength on that scale
// (a Glicko point is 1/24 of a Weng-Lin point around the newcomer's 1500 and 25).
Glicko2 computerGlicko(rules::ZuboLevel level);
WengLin computerWengLin(rules::ZuboLevel level);

}  // namespace quorbit::rating
