// Which games are rated, with which model, and that the computer's rating never moves.
#include <gtest/gtest.h>

#include "rating/game_rating.h"

namespace quorbit::rating {
namespace {

Rated person(int side, int score) { return Rated{side, score, false, {}, {}}; }
Rated computer(int side, int score, rules::ZuboLevel level) {
    return Rated{side, score, true, computerGlicko(level), computerWengLin(level)};
}

TEST(GameRating, TheModelFollowsThePlayersAndGuestsStopIt) {
    EXPECT_EQ(chooseModel({person(1, 5), person(2, 3)}, 0), Model::Glicko2);
    EXPECT_EQ(chooseModel({person(1, 5), person(2, 3)}, 1), Model::Unrated);
    EXPECT_EQ(chooseModel({person(1, 5)}, 0), Model::Unrated);
    EXPECT_EQ(chooseModel({person(1, 5), person(2, 3), person(3, 1)}, 0), Model::WengLin);
    // Teams of two are Weng-Lin even with two sides.
    EXPECT_EQ(chooseModel({person(1, 9), person(2, 4), person(1, 9), person(2, 4)}, 0), Model::WengLin);
    const auto c = computer(2, 1, rules::ZuboLevel::Classic);
    EXPECT_EQ(chooseModel({c, computer(1, 0, rules::ZuboLevel::Expert)}, 0), Model::Unrated);
}

TEST(GameRating, TheComputersFixedRatingMovesOnlyThePerson) {
    EXPECT_LT(computerGlicko(rules::ZuboLevel::Classic).rating, computerGlicko(rules::ZuboLevel::Strong).rating);
    EXPECT_LT(computerWengLin(rules::ZuboLevel::Strong).mu, computerWengLin(rules::ZuboLevel::Expert).mu);
    const std::vector<Rated> solo = {person(1, 30), computer(2, 12, rules::ZuboLevel::Expert)};
    const Outcome o = rateGame(solo, 0);
    ASSERT_EQ(o.model, Model::Glicko2);
    EXPECT_GT(o.glicko[0].rating, 1500);
    EXPECT_EQ(o.glicko[1].rating, 1900);
    // Beating the expert is worth more than beating the classic level.
    const Outcome easy = rateGame({person(1, 30), computer(2, 12, rules::ZuboLevel::Classic)}, 0);
    EXPECT_GT(o.glicko[0].rating, easy.glicko[0].rating);

    // A team game: the winners rise, the computer partner stays where it was.
    const Outcome teams = rateGame({person(1, 90), person(2, 60), computer(1, 90, rules::ZuboLevel::Strong),
                                    person(2, 60)}, 0);
    ASSERT_EQ(teams.model, Model::WengLin);
    EXPECT_GT(teams.wenglin[0].mu, 25);
    EXPECT_LT(teams.wenglin[1].mu, 25);
    EXPECT_EQ(teams.wenglin[2].mu, computerWengLin(rules::ZuboLevel::Strong).mu);
}

}  // namespace
}  // namespace quorbit::rating
