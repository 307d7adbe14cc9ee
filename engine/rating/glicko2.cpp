// Glicko-2: the steps of Glickman's description, on the internal scale (mu, phi).
#include "rating/glicko2.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorbit::rating {
namespace {

constexpr double kScale = 173.7178;  // 400 / ln(10): the familiar scale over the internal one
constexpr double kCentre = 1500.0;
constexpr double kNewcomerDeviation = 350.0;
constexpr double kEpsilon = 0.000001;  // the volatility search stops at this width

double g(double phi) { return 1.0 / std::sqrt(1.0 + 3.0 * phi * phi / (std::numbers::pi * std::numbers::pi)); }
double expected(double mu, double muj, double phij) { return 1.0 / (1.0 + std::exp(-g(phij) * (mu - muj))); }

// The new volatility: the root of f by the Illinois variant of regula falsi.
double newVolatility(double sigma, double phi, double v, double delta, double tau) {
    const double a = std::log(sigma * sigma);
    const auto f = [&](double x) {
        const double ex = std::exp(x);
        const double d = phi * phi + v + ex;
        return ex * (delta * delta - phi * phi - v - ex) / (2.0 * d * d) - (x - a) / (tau * tau);
    };
    double A = a;
    double B = 0.0;
    if (delta * delta > phi * phi + v) {
        B = std::log(delta * delta - phi * phi - v);
    } else {
        int k = 1;
        while (f(a - k * tau) < 0.0 && k < 1000) ++k;
        B = a - k * tau;
    }
    double fA = f(A);
    double fB = f(B);
    for (int i = 0; i < 200 && std::fabs(B - A) > kEpsilon; ++i) {
        const double C = A + (A - B) * fA / (fB - fA);
        const double fC = f(C);
        if (fC * fB <= 0.0) {
            A = B;
            fA = fB;
        } else {
            fA /= 2.0;
        }
        B = C;
        fB = fC;
    }
    return std::exp(A / 2.0);
}

}  // namespace

double expectedScore(const Glicko2& a, const Glicko2& b) {
    return expected((a.rating - kCentre) / kScale, (b.rating - kCentre) / kScale, b.deviation / kScale);
}

Glicko2 updateGlicko2(const Glicko2& player, std::span<const Glicko2Game> games, double tau) {
    const double mu = (player.rating - kCentre) / kScale;
    const double phi = player.deviation / kScale;
    if (games.empty()) {
        Glicko2 out = player;
        out.deviation = std::min(kNewcomerDeviation,
                                 kScale * std::sqrt(phi * phi + player.volatility * player.volatility));
        return out;
    }
    double vInverse = 0.0;
    double sum = 0.0;  // sum of g(phi_j) (s_j - E_j)
    for (const Glicko2Game& game : games) {
        const double muj = (game.opponent.rating - kCentre) / kScale;
        const double gj = g(game.opponent.deviation / kScale);
        const double e = expected(mu, muj, game.opponent.deviation / kScale);
        vInverse += gj * gj * e * (1.0 - e);
        sum += gj * (game.score - e);
    }
    const double v = 1.0 / vInverse;
    const double delta = v * sum;
    const double sigma = newVolatility(player.volatility, phi, v, delta, tau);
    const double phiStar = std::sqrt(phi * phi + sigma * sigma);
    const double phiNew = 1.0 / std::sqrt(1.0 / (phiStar * phiStar) + 1.0 / v);
    const double muNew = mu + phiNew * phiNew * sum;
    return {kScale * muNew + kCentre, std::min(kNewcomerDeviation, kScale * phiNew), sigma};
}

}  // namespace quorbit::rating
