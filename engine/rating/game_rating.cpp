// The choice of model for a finished game and the update it makes.
#include "rating/game_rating.h"

#include <algorithm>
#include <map>

namespace quorbit::rating {
namespace {

double glickoPoints(rules::ZuboLevel level) {
    switch (level) {
    case rules::ZuboLevel::Strong: return 1600.0;
    case rules::ZuboLevel::Expert: return 1900.0;
    case rules::ZuboLevel::Classic: break;
    }
    return 1200.0;
}

std::size_t sideCount(const std::vector<Rated>& players) {
    std::map<int, int> sides;
    for (const Rated& p : players) ++sides[p.side];
    return sides.size();
}

bool anyPerson(const std::vector<Rated>& players) {
    return std::any_of(players.begin(), players.end(), [](const Rated& p) { return !p.fixed; });
}

Outcome unchanged(const std::vector<Rated>& players) {
    Outcome o;
    for (const Rated& p : players) {
        o.glicko.push_back(p.glicko);
        o.wenglin.push_back(p.wenglin);
    }
    return o;
}

// 1 for a win, 0.5 for a draw, 0 for a loss.
double resultOf(int mine, int theirs) { return mine > theirs ? 1.0 : (mine == theirs ? 0.5 : 0.0); }

void rateWengLin(const std::vector<Rated>& players, Outcome& o) {
    // One team per side, ranked by score: the highest first, equal scores share a place.
    std::map<int, std::vector<std::size_t>> members;
    std::map<int, int> scores;
    for (std::size_t i = 0; i < players.size(); ++i) {
        members[players[i].side].push_back(i);
        scores[players[i].side] = players[i].score;
    }
    std::vector<WengLinTeam> teams;
    std::vector<int> sides;
    for (const auto& [side, who] : members) {
        WengLinTeam t;
        for (const std::size_t i : who) t.players.push_back(players[i].wenglin);
        for (const auto& [other, score] : scores)
            if (score > scores[side]) ++t.rank;
        teams.push_back(std::move(t));
        sides.push_back(side);
    }
    const auto after = updatePlackettLuce(teams);
    for (std::size_t t = 0; t < teams.size(); ++t) {
        const auto& who = members[sides[t]];
        for (std::size_t k = 0; k < who.size(); ++k)
            if (!players[who[k]].fixed) o.wenglin[who[k]] = after[t][k];
    }
}

}  // namespace

Model chooseModel(const std::vector<Rated>& players, std::size_t guests) {
    if (guests > 0 || sideCount(players) < 2 || !anyPerson(players)) return Model::Unrated;
    if (players.size() == 2 && sideCount(players) == 2) return Model::Glicko2;
    return Model::WengLin;
}

Outcome rateGame(const std::vector<Rated>& players, std::size_t guests) {
    Outcome o = unchanged(players);
    o.model = chooseModel(players, guests);
    if (o.model == Model::Glicko2) {
        for (std::size_t i = 0; i < 2; ++i) {
            if (players[i].fixed) continue;
            const Rated& other = players[1 - i];
            const Glicko2Game game{other.glicko, resultOf(players[i].score, other.score)};
            o.glicko[i] = updateGlicko2(players[i].glicko, std::span<const Glicko2Game>(&game, 1));
        }
    } else if (o.model == Model::WengLin) {
        rateWengLin(players, o);
    }
    return o;
}

Glicko2 computerGlicko(rules::ZuboLevel level) { return Glicko2{glickoPoints(level), 50.0, 0.06}; }

WengLin computerWengLin(rules::ZuboLevel level) {
    return WengLin{25.0 + (glickoPoints(level) - 1500.0) / 24.0, 1.0};
}

}  // namespace quorbit::rating
