// The bounded list of announced games: caps, loopback addresses, one row per name.
#include <gtest/gtest.h>

#include "discovery/gamelist.h"

using namespace quorbit::discovery;

namespace {

FoundGame game(const std::string& name, const std::string& host, const std::string& address) {
    FoundGame g;
    g.name = name;
    g.host = host;
    g.address = address;
    g.port = 7772;
    return g;
}

GameListing::Key key(const std::string& name, int protocol = 0, int iface = 2) { return {iface, protocol, name, "local"}; }

}  // namespace

TEST(GameListing, AddressesOfThisMachineAreNotListed) {
    for (const char* own : {"127.0.0.1", "127.200.3.4", "::1", "::ffff:127.0.0.1", "0.0.0.0", "::", "::1%lo"})
        EXPECT_TRUE(isLoopbackAddress(own)) << own;
    for (const char* other : {"10.0.0.5", "128.0.0.1", "1.127.0.0", "fe80::1%eth0", "::2", "::ffff:10.0.0.1",
                              "2001:db8::1", "", "annspc"})
        EXPECT_FALSE(isLoopbackAddress(other)) << other;
    GameListing list;
    EXPECT_TRUE(list.resolved(key("Trap"), true, game("Trap", "x.local", "127.0.0.1")).refused);
    EXPECT_TRUE(list.games().empty());
    // A listed game that moves to a loopback address leaves the list.
    EXPECT_TRUE(list.resolved(key("Ann"), true, game("Ann", "a.local", "10.0.0.5")).changed);
    const auto moved = list.resolved(key("Ann"), true, game("Ann", "a.local", "::1"));
    EXPECT_TRUE(moved.refused && moved.changed);
    EXPECT_TRUE(list.games().empty());
}

TEST(GameListing, OneRowPerNameIPv4First) {
    GameListing list;
    EXPECT_TRUE(list.resolved(key("Bo", 1), false, game("Bo", "b.local", "fe80::2%eth0")).changed);
    EXPECT_TRUE(list.resolved(key("Bo", 0), true, game("Bo", "b.local", "10.0.0.2")).changed);
    EXPECT_TRUE(list.resolved(key("Ann"), true, game("Ann", "a.local", "10.0.0.1")).changed);
    ASSERT_EQ(list.games().size(), 2u);
    EXPECT_EQ(list.games()[0].name, "Ann");
    EXPECT_EQ(list.games()[1].address, "10.0.0.2");
    // The same values again change nothing; the IPv4 sighting gone leaves the IPv6 one.
    EXPECT_FALSE(list.resolved(key("Ann"), true, game("Ann", "a.local", "10.0.0.1")).changed);
    EXPECT_TRUE(list.lost(key("Bo", 0)));
    EXPECT_EQ(list.games()[1].address, "fe80::2%eth0");
    EXPECT_FALSE(list.lost(key("nobody")));
}

// 1,006 announced services from one host: only its share is listed, the rest refused.
// (The overall cap is shown with as many hosts in the Join window's test.)
TEST(GameListing, AThousandServicesFromOneHostListOnlyItsShare) {
    GameListing list;
    std::size_t refused = 0;
    for (int i = 0; i < 1006; ++i) {
        const std::string name = "Flood " + std::to_string(i);
        refused += list.resolved(key(name), true, game(name, i % 2 ? "evil.local" : "other.local", "10.6.6.6")).refused;
    }
    EXPECT_EQ(list.games().size(), kMaxGamesPerHost);
    EXPECT_EQ(refused, 1006 - kMaxGamesPerHost);
    EXPECT_EQ(list.sightings(), kMaxGamesPerHost);
}
