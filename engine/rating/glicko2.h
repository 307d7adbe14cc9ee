#pragma once
// Glicko-2 ratings for games of two players.
//
// A rating is kept on the familiar scale (1500 for a newcomer, deviation 350, volatility
// 0.06). One rating period's results are applied at once: the deviation widens by the
// volatility, then narrows with the evidence of the games, and the volatility itself is
// found by the Illinois root search the method prescribes.
#include <span>

namespace quorbit::rating {

struct Glicko2 {
    double rating = 1500.0;
    double deviation = 350.0;
    double volatility = 0.06;
};

// The result of one game against one opponent, as the rated player scored it:
// 1 a win, 0.5 a draw, 0 a loss.
struct Glicko2Game {
    Glicko2 opponent;
    double score = 0.0;
};

// How strongly the volatility may change between periods (the method's tau; 0.3 to 1.2
// are sensible, smaller for games whose results surprise little).
inline constexpr double kGlickoTau = 0.5;

// The player's rating after one period with `games`. A period with no games only widens
// the deviation (never past a newcomer's 350).
Glicko2 updateGlicko2(const Glicko2& player, std::span<const Glicko2Game> games, double tau = kGlickoTau);

// The expected score of `a` against `b` (0..1), for display and for tests.
double expectedScore(const Glicko2& a, const Glicko2& b);

}  // namespace quorbit::rating
