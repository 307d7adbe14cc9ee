// The mirror on its own (as the recorder runs it): seat values after logins, departures
// and the computer's takeovers, and the presenter's texts made from them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "client/mirror.h"
#include "client/presenter.h"
#include "protocol/messages.h"

namespace quorbit::client {
namespace {

namespace tc = protocol::toclient;
using ::testing::ElementsAre;

TEST(Mirror, SeatValuesFollowLoginsDeparturesAndTheComputer) {
    Mirror m;
    m.hear(tc::sendlogininfo(1));
    m.hear(tc::newplayerinfo(1, "Ann"));
    m.hear(tc::existingplayers(3, "Zubo"));  // a person may be called so
    m.hear(tc::newplayerinfo(6, "Eve"));
    EXPECT_EQ(m.myseat, 1);
    EXPECT_EQ(m.seat(1).holder, SeatHolder::Person);
    EXPECT_EQ(m.seat(3).holder, SeatHolder::Person);
    EXPECT_EQ(m.seat(2).holder, SeatHolder::Nobody);
    EXPECT_THAT(m.spectators, ElementsAre(Spectator{6, "Eve"}));

    m.hear(tc::startgame({"Ann", 200, 60, true, 2}));
    EXPECT_EQ(m.seat(2).holder, SeatHolder::Computer);  // the computer takes the free seat 2
    EXPECT_EQ(m.seat(2).name, "Zubo");
    EXPECT_FALSE(m.seat(1).scored);
    EXPECT_EQ(scoreText(m.seat(1)), "");
    m.hear(tc::newplayerinfo(2, "Bob"));
    m.hear(tc::madeword(2, "CAT", 5, 5, 0, 5, {{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(m.seat(2).score, 5);
    EXPECT_EQ(scoreText(m.seat(2)), "5");
    EXPECT_EQ(m.teamScore(rules::kTeamB), 5);
    EXPECT_EQ(teamText(rules::kTeamB, m.teamB, TeamLabelForm::CatchUp), "Team B : 5");

    m.hear(tc::playerdisconnected(2, "Bob"));  // the computer takes seat 2 back
    EXPECT_EQ(m.seat(2).holder, SeatHolder::Computer);
    EXPECT_EQ(seatNameText(m.seat(2)), "Zubo");
    m.hear(tc::playerdisconnected(3, "Zubo"));  // any other seat waits for a player
    EXPECT_EQ(m.seat(3).holder, SeatHolder::Nobody);
    EXPECT_EQ(seatNameText(m.seat(3)), "<Waiting>");
    m.hear(tc::playerdisconnected(6, "Someone else"));  // not the spectator of seat 6
    EXPECT_THAT(m.spectators, ElementsAre(Spectator{6, "Eve"}));
    EXPECT_EQ(spyRow(m.spectators[0]), "6: Eve");
    m.hear(tc::playerdisconnected(6, "Eve"));
    EXPECT_TRUE(m.spectators.empty());
    // A line that cannot be read leaves every value as it was.
    const std::string unreadable = protocol::toclient::madeword(1, "DOG", 9, 9, 0, 0, {});
    m.hear(unreadable.substr(0, unreadable.find("+9+")) + "+x+9+0+0+");
    EXPECT_EQ(m.seat(1).score, 0);
}

}  // namespace
}  // namespace quorbit::client
