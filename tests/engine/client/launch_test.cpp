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

TEST(LaunchPlan, AJoinedAddressMayNameAPortAndATable) {
    struct Case {
        const char* address;
        const char* table;  // --table
        const char* host;
        int port;
        const char* sitsAt;
    };
    for (const Case& c : {Case{"10.0.0.5", "", "10.0.0.5", 0, ""},
                          Case{"games.example.org:7000/Friday", "", "games.example.org", 7000, "Friday"},
                          Case{"[2001:db8::5]:7000/Fri/day night", "", "2001:db8::5", 7000, "Fri/day night"},
                          Case{"2001:db8::5", "", "2001:db8::5", 0, ""},
                          Case{"[::1]/T", "", "::1", 0, "T"},
                          Case{"host/Friday", "Monday", "host", 0, "Monday"},  // --table wins
                          Case{"host/ \u200B", "", "host", 0, ""}}) {          // nothing visible: no table
        SCOPED_TRACE(c.address);
        const LaunchPlan plan = launchPlan({"Ann", c.address, "false"}, c.table);
        EXPECT_EQ(plan.mode, LaunchMode::Join);
        EXPECT_EQ(plan.hostaddress, c.host);
        EXPECT_EQ(plan.port, c.port);
        EXPECT_EQ(plan.table, c.sitsAt);
        EXPECT_TRUE(plan.notice.empty());
    }
    // An address that does not read connects nowhere and says why.
    for (const char* bad : {"host:0", "host:65536", "host:7x/T", "[::1", "[::1]7000", ":7000/T", "/T", "[]:7000"}) {
        const LaunchPlan plan = launchPlan({"Ann", bad, "false"});
        EXPECT_EQ(plan.mode, LaunchMode::Join) << bad;
        EXPECT_TRUE(plan.hostaddress.empty()) << bad;
        EXPECT_NE(plan.notice.find("does not read"), std::string::npos) << bad;
    }
    // Hosting or a solo game has one table: a table named is not used, and said so.
    EXPECT_EQ(launchPlan({"Ann", "10.0.0.5/Friday", "true"}).notice, kTableNotUsedNotice);
    EXPECT_EQ(launchPlan({"Ann", "x", "true"}, "Friday").notice, kTableNotUsedNotice);
    EXPECT_EQ(launchPlan({}, "Friday").notice, kTableNotUsedNotice);
    EXPECT_TRUE(launchPlan({"Ann", "10.0.0.5", "true"}).notice.empty());
    EXPECT_TRUE(launchPlan({"Ann", "10.0.0.5", "true"}).table.empty());
}
