// The Plackett-Luce update of Weng and Lin: for each team, the probability of being
// chosen first among the teams it finished at or above, against what happened.
#include "rating/wenglin.h"

#include <algorithm>
#include <cmath>

namespace quorbit::rating {

std::vector<std::vector<WengLin>> updatePlackettLuce(const std::vector<WengLinTeam>& teams, double beta,
                                                     double kappa) {
    std::vector<std::vector<WengLin>> out;
    out.reserve(teams.size());
    for (const WengLinTeam& t : teams) out.push_back(t.players);
    const std::size_t k = teams.size();
    if (k < 2) return out;

    std::vector<double> mu(k, 0.0), var(k, 0.0);
    double c2 = 0.0;
    for (std::size_t i = 0; i < k; ++i) {
        for (const WengLin& p : teams[i].players) {
            mu[i] += p.mu;
            var[i] += p.sigma * p.sigma;
        }
        c2 += var[i] + beta * beta;
    }
    const double c = std::sqrt(c2);
    // For each team q: the sum of exp(mu/c) over the teams placed at or below it, and how
    // many share its place (a tie splits the evidence between them).
    std::vector<double> below(k, 0.0);
    std::vector<int> tied(k, 0);
    for (std::size_t q = 0; q < k; ++q)
        for (std::size_t s = 0; s < k; ++s) {
            if (teams[s].rank >= teams[q].rank) below[q] += std::exp(mu[s] / c);
            if (teams[s].rank == teams[q].rank) ++tied[q];
        }

    for (std::size_t i = 0; i < k; ++i) {
        if (var[i] <= 0.0) continue;
        const double e = std::exp(mu[i] / c);
        double omega = 0.0;
        double delta = 0.0;
        for (std::size_t q = 0; q < k; ++q) {
            if (teams[i].rank < teams[q].rank) continue;  // i finished above q: q's set excludes i
            const double p = e / below[q];
            omega += ((q == i ? 1.0 : 0.0) - p) / tied[q];
            delta += p * (1.0 - p) / tied[q];
        }
        omega *= var[i] / c;
        delta *= (std::sqrt(var[i]) / c) * var[i] / c2;
        for (WengLin& p : out[i]) {
            const double share = p.sigma * p.sigma / var[i];
            p.mu += share * omega;
            p.sigma = std::sqrt(p.sigma * p.sigma * std::max(1.0 - share * delta, kappa));
        }
    }
    return out;
}

}  // namespace quorbit::rating
