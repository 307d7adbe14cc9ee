// Ratings against published worked examples, and the properties a ranking must have.
#include <gtest/gtest.h>

#include <vector>

#include "rating/glicko2.h"
#include "rating/wenglin.h"

namespace quorbit::rating {
namespace {

// Glickman's example: a 1500 (RD 200) player beats a 1400 (RD 30) and loses to a 1550
// (RD 100) and a 1700 (RD 300), tau 0.5: 1464.06, RD 151.52, volatility 0.05999.
TEST(Glicko2, GlickmansWorkedExample) {
    const Glicko2 player{1500, 200, 0.06};
    const std::vector<Glicko2Game> games = {
        {{1400, 30, 0.06}, 1.0}, {{1550, 100, 0.06}, 0.0}, {{1700, 300, 0.06}, 0.0}};
    const Glicko2 after = updateGlicko2(player, games, 0.5);
    EXPECT_NEAR(after.rating, 1464.06, 0.01);
    EXPECT_NEAR(after.deviation, 151.52, 0.01);
    EXPECT_NEAR(after.volatility, 0.05999, 0.00001);
}

TEST(Glicko2, AnIdlePeriodOnlyWidensTheDeviationUpToANewcomers) {
    const Glicko2 settled{1620, 80, 0.06};
    const Glicko2 idle = updateGlicko2(settled, {});
    EXPECT_EQ(idle.rating, 1620);
    EXPECT_GT(idle.deviation, 80);
    EXPECT_EQ(updateGlicko2(Glicko2{1500, 349.9, 0.5}, {}).deviation, 350);
    // Beating a far stronger player counts for more than beating an equal one.
    const Glicko2 strong{1900, 50, 0.06};
    const Glicko2 equal{1500, 50, 0.06};
    const std::vector<Glicko2Game> upset = {{strong, 1.0}};
    const std::vector<Glicko2Game> even = {{equal, 1.0}};
    EXPECT_GT(updateGlicko2(equal, upset).rating, updateGlicko2(equal, even).rating);
    EXPECT_NEAR(expectedScore(equal, equal), 0.5, 1e-12);
}

// Two newcomers, one win: the values the OpenSkill documentation gives for its
// Plackett-Luce model with the same defaults (27.6352, 8.0655 / 22.3648, 8.0655).
TEST(PlackettLuce, TwoNewcomersMatchThePublishedValues) {
    const auto after = updatePlackettLuce({{{WengLin{}}, 0}, {{WengLin{}}, 1}});
    ASSERT_EQ(after.size(), 2u);
    EXPECT_NEAR(after[0][0].mu, 27.635231383473217, 1e-9);
    EXPECT_NEAR(after[0][0].sigma, 8.065506316323548, 1e-9);
    EXPECT_NEAR(after[1][0].mu, 22.364768616526783, 1e-9);
    EXPECT_NEAR(after[1][0].sigma, 8.065506316323548, 1e-9);
}

TEST(PlackettLuce, FourPlayersMoveInTheirOrderAndTeamsShareByUncertainty) {
    std::vector<WengLinTeam> four;
    for (int r = 0; r < 4; ++r) four.push_back({{WengLin{}}, r});
    const auto after = updatePlackettLuce(four);
    for (int r = 0; r < 3; ++r) EXPECT_GT(after[r][0].mu, after[r + 1][0].mu);
    EXPECT_GT(after[0][0].mu, 25);
    EXPECT_LT(after[3][0].mu, 25);
    for (const auto& team : after) EXPECT_LT(team[0].sigma, 25.0 / 3.0);

    // A tie between equals moves neither mean.
    const auto tie = updatePlackettLuce({{{WengLin{}}, 0}, {{WengLin{}}, 0}});
    EXPECT_NEAR(tie[0][0].mu, 25, 1e-9);
    EXPECT_NEAR(tie[1][0].mu, 25, 1e-9);

    // In a winning team, the player whose rating is less certain gains more.
    const WengLin sure{25, 2};
    const WengLin unsure{25, 8};
    const auto teams = updatePlackettLuce({{{sure, unsure}, 0}, {{WengLin{}, WengLin{}}, 1}});
    EXPECT_GT(teams[0][1].mu - 25, teams[0][0].mu - 25);
    EXPECT_GT(teams[0][0].mu, 25);
    // One team alone changes nothing.
    EXPECT_EQ(updatePlackettLuce({{{sure}, 0}})[0][0].mu, 25);
}

}  // namespace
}  // namespace quorbit::rating
