// Invite links: reading them from anywhere, and writing them so that they read back.
#include <gtest/gtest.h>

#include "discovery/invite_link.h"

namespace invitelinktest {

using namespace quorbit::discovery;

namespace {

InviteLink read(const std::string& text) {
    const InviteLinkRead r = parseInviteLink(text);
    EXPECT_TRUE(r.ok()) << text << ": " << r.error;
    return r.link;
}

}  // namespace

TEST(InviteLink, PublicAndPrivateTablesAndTheServerAlone) {
    EXPECT_EQ(read("quorbit://games.example.org/Friday"), (InviteLink{"games.example.org", 7772, "Friday", ""}));
    EXPECT_EQ(read(" QUORBIT://10.0.0.5:7000/Ann%27s%20table\n"), (InviteLink{"10.0.0.5", 7000, "Ann's table", ""}));
    EXPECT_EQ(read("quorbit://example.org/caf%C3%A9"), (InviteLink{"example.org", 7772, "caf\xC3\xA9", ""}));
    // A code is read in any case and kept in capitals.
    EXPECT_EQ(read("quorbit://example.org:8000/?invite=abcd23efgh"), (InviteLink{"example.org", 8000, "", "ABCD23EFGH"}));
    EXPECT_EQ(read("quorbit://example.org"), (InviteLink{"example.org", 7772, "", ""}));
    EXPECT_EQ(read("quorbit://example.org/"), (InviteLink{"example.org", 7772, "", ""}));
}

TEST(InviteLink, IPv6InBracketsWithPortAndZone) {
    EXPECT_EQ(read("quorbit://[::1]/T"), (InviteLink{"::1", 7772, "T", ""}));
    EXPECT_EQ(read("quorbit://[2001:db8::5]:9000/T"), (InviteLink{"2001:db8::5", 9000, "T", ""}));
    EXPECT_EQ(read("quorbit://[fe80::1%25eth0]:9000/T"), (InviteLink{"fe80::1%eth0", 9000, "T", ""}));
    EXPECT_FALSE(parseInviteLink("quorbit://::1/T").ok());      // a bare IPv6 address
    EXPECT_FALSE(parseInviteLink("quorbit://[::1/T").ok());     // no "]"
    EXPECT_FALSE(parseInviteLink("quorbit://[10.0.0.5]/T").ok());
}

TEST(InviteLink, BadLinksSayWhy) {
    for (const char* bad : {"", "quorbit:", "quorbit:/x/T", "http://example.org/T", "quorbit:///T",
                            "quorbit://example.org:/T", "quorbit://example.org:0/T", "quorbit://example.org:65536/T",
                            "quorbit://user@example.org/T", "quorbit://ex ample.org/T", "quorbit://example.org/a/b",
                            "quorbit://example.org/T?x=1", "quorbit://example.org/T#top", "quorbit://example.org/%zz",
                            "quorbit://example.org/%4", "quorbit://example.org/%FF", "quorbit://example.org/a%00b",
                            "quorbit://example.org/a%E2%80%AEb", "quorbit://example.org/a+b", "quorbit://example.org/%20",
                            "quorbit://example.org/?invite=SHORT", "quorbit://example.org/?invite=ABCDEFGH01",
                            "quorbit://example.org/?join=ABCDEFGH23",
                            "quorbit://example.org/1234567890123456789012345"}) {
        const InviteLinkRead r = parseInviteLink(bad);
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
    }
    EXPECT_FALSE(parseInviteLink("quorbit://example.org/" + std::string(3000, 'a')).ok());
    EXPECT_TRUE(parseInviteLink("quorbit://example.org/123456789012345678901234").ok());  // 24 characters
}

TEST(InviteLink, WrittenLinksReadBack) {
    for (const InviteLink& link : {InviteLink{"example.org", 7772, "Ann's table/2 100%", ""},
                                   InviteLink{"2001:db8::5", 9000, "\xC3\xA9t\xC3\xA9", ""},
                                   InviteLink{"fe80::1%eth0", 7772, "T", ""},
                                   InviteLink{"10.0.0.5", 7001, "", "ABCD23EFGH"}}) {
        const std::string text = formatInviteLink(link);
        EXPECT_EQ(text.find(' '), std::string::npos) << text;  // one token in a chat line
        EXPECT_EQ(read(text), link) << text;
    }
    EXPECT_EQ(formatInviteLink({"example.org", 7772, "Ann's table", ""}), "quorbit://example.org/Ann%27s%20table");
    EXPECT_EQ(formatInviteLink({"::1", 7000, "", "ABCD23EFGH"}), "quorbit://[::1]:7000/?invite=ABCD23EFGH");
}

TEST(InviteLink, TheGamesAddressParameter) {
    EXPECT_EQ(formatTableAddress("example.org", 7772, "Ann's table"), "example.org:7772/Ann's table");
    EXPECT_EQ(formatTableAddress("::1", 7000, "T"), "[::1]:7000/T");
    EXPECT_EQ(formatServerAddress("10.0.0.5", 7772), "10.0.0.5:7772");
}

}  // namespace invitelinktest
