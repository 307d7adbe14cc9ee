// The launch mode is read from the positional parameters in one place.
#include <gtest/gtest.h>

#include "client/launch.h"

using namespace quorbit::client;

TEST(LaunchPlan, ParametersChooseSoloHostJoinOrNothing) {
    const LaunchPlan solo = launchPlan({});
    EXPECT_EQ(solo.mode, LaunchMode::Solo);
    EXPECT_EQ(solo.playername, "You");
    EXPECT_TRUE(solo.hosts());
    EXPECT_FALSE(solo.lobbyLink());

    const LaunchPlan host = launchPlan({"Ann", "10.0.0.5", "true", "ignored"});
    EXPECT_EQ(host.mode, LaunchMode::Host);
    EXPECT_EQ(host.playername, "Ann");
    EXPECT_TRUE(host.hosts() && host.lobbyLink());

    for (const char* flag : {"TRUE", "yes", ""}) {
        const LaunchPlan join = launchPlan({"Ann", "10.0.0.5", flag});
        EXPECT_EQ(join.mode, LaunchMode::Join) << flag;
        EXPECT_EQ(join.hostaddress, "10.0.0.5");
        EXPECT_FALSE(join.hosts());
    }
    const LaunchPlan none = launchPlan({"Ann", "10.0.0.5"});
    EXPECT_EQ(none.mode, LaunchMode::None);
    EXPECT_FALSE(none.hosts() || none.lobbyLink());
}
