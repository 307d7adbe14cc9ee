#pragma once
// Ratings for games of three or four players and for team games: the Weng-Lin Bayesian
// approximation under the Plackett-Luce model of a finishing order.
//
// Each player has a mean skill and its uncertainty (25 and 25/3 for a newcomer); a team's
// skill is the sum of its players'. One finished game moves every player by their share
// of the team's uncertainty, so a player whose rating is well known moves little.
#include <vector>

namespace quorbit::rating {

struct WengLin {
    double mu = 25.0;
    double sigma = 25.0 / 3.0;
    // What is shown as a number: a cautious estimate that rises as the rating settles.
    double ordinal() const { return mu - 3.0 * sigma; }
};

struct WengLinTeam {
    std::vector<WengLin> players;
    int rank = 0;  // finishing place: 0 first; teams that tie share a rank
};

inline constexpr double kWengLinBeta = 25.0 / 6.0;  // the spread of one game's performance
inline constexpr double kWengLinKappa = 0.0001;     // the smallest share of variance kept

// Every team's players after the game, in the order given. Fewer than two teams change
// nothing.
std::vector<std::vector<WengLin>> updatePlackettLuce(const std::vector<WengLinTeam>& teams,
                                                     double beta = kWengLinBeta, double kappa = kWengLinKappa);

}  // namespace quorbit::rating
