// Reading a join address typed by hand.
#include <gtest/gtest.h>

#include "discovery/address.h"

using namespace quorbit::discovery;

namespace {

constexpr int kGamePort = 7772;

void expectReads(const char* text, const char* host, int port, AddressKind kind) {
    const JoinAddress a = parseJoinAddress(text, kGamePort);
    EXPECT_TRUE(a.ok()) << text << ": " << a.error;
    EXPECT_EQ(a.host, host) << text;
    EXPECT_EQ(a.port, port) << text;
    EXPECT_EQ(a.kind, kind) << text;
}

std::string errorOf(const char* text) { return parseJoinAddress(text, kGamePort).error; }

}  // namespace

TEST(JoinAddress, NamesAndIPv4WithAndWithoutPorts) {
    expectReads("annspc", "annspc", kGamePort, AddressKind::Name);
    expectReads("  games.example.org.  ", "games.example.org.", kGamePort, AddressKind::Name);
    expectReads("ann-pc.local:7000", "ann-pc.local", 7000, AddressKind::Name);
    expectReads("10.0.0.5", "10.0.0.5", kGamePort, AddressKind::IPv4);
    expectReads("192.168.1.20:65535", "192.168.1.20", 65535, AddressKind::IPv4);
}

TEST(JoinAddress, IPv6BareAndInBrackets) {
    expectReads("::1", "::1", kGamePort, AddressKind::IPv6);
    expectReads("[::1]", "::1", kGamePort, AddressKind::IPv6);
    expectReads("[::1]:7000", "::1", 7000, AddressKind::IPv6);
    expectReads("2001:db8::42", "2001:db8::42", kGamePort, AddressKind::IPv6);
    expectReads("[2001:db8:0:0:0:0:0:42]:1", "2001:db8:0:0:0:0:0:42", 1, AddressKind::IPv6);
    expectReads("fe80::1%eth0", "fe80::1%eth0", kGamePort, AddressKind::IPv6);
    expectReads("[fe80::1%veth-a]:9", "fe80::1%veth-a", 9, AddressKind::IPv6);
    expectReads("::ffff:10.0.0.5", "::ffff:10.0.0.5", kGamePort, AddressKind::IPv6);
    expectReads("1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8", kGamePort, AddressKind::IPv6);
}

TEST(JoinAddress, BadInputSaysWhatIsWrong) {
    EXPECT_NE(errorOf(""), "");
    EXPECT_NE(errorOf("   "), "");
    EXPECT_NE(errorOf("host:").find("port"), std::string::npos);
    EXPECT_NE(errorOf("host:0").find("port"), std::string::npos);
    EXPECT_NE(errorOf("host:65536").find("port"), std::string::npos);
    EXPECT_NE(errorOf("host:72a").find("port"), std::string::npos);
    EXPECT_NE(errorOf(":7772").find("no host"), std::string::npos);
    EXPECT_NE(errorOf("10.0.0.256").find("IPv4"), std::string::npos);
    EXPECT_NE(errorOf("10.0.0").find("IPv4"), std::string::npos);
    // The socket reads a host beginning with a digit as a dotted address, never as a name.
    EXPECT_NE(errorOf("1host").find("digit"), std::string::npos);
    EXPECT_NE(errorOf("[::1").find("]"), std::string::npos);
    EXPECT_NE(errorOf("[::1]7000").find("port"), std::string::npos);
    EXPECT_NE(errorOf("[annspc]:7000").find("IPv6"), std::string::npos);
    EXPECT_NE(errorOf("1:2:3:4:5:6:7:8:9").find("IPv6"), std::string::npos);
    EXPECT_NE(errorOf("1::2::3").find("IPv6"), std::string::npos);
    EXPECT_NE(errorOf("12345::1").find("IPv6"), std::string::npos);
    EXPECT_NE(errorOf("ann pc").find("host name"), std::string::npos);
    EXPECT_NE(errorOf("ann;rm -rf").find("host name"), std::string::npos);
    EXPECT_NE(errorOf("-ann").find("host name"), std::string::npos);
    EXPECT_NE(errorOf("a..b").find("host name"), std::string::npos);
    EXPECT_NE(errorOf(std::string(64, 'a').c_str()).find("host name"), std::string::npos);
    EXPECT_NE(errorOf("fe80::1%").find("IPv6"), std::string::npos);
    // A failed reading carries no half-read host.
    EXPECT_EQ(parseJoinAddress("host:0", kGamePort).host, "");
}

TEST(JoinAddress, FormattedAddressReadsBackTheSame) {
    EXPECT_EQ(formatJoinAddress("10.0.0.5", kGamePort, kGamePort), "10.0.0.5");
    EXPECT_EQ(formatJoinAddress("::1", kGamePort, kGamePort), "::1");
    EXPECT_EQ(formatJoinAddress("::1", 7000, kGamePort), "[::1]:7000");
    for (const auto& [host, port] : {std::pair<std::string, int>{"fe80::1%qv0", 7000}, {"ann.local", 9},
                                     {"10.1.2.3", kGamePort}, {"2001:db8::1", kGamePort}}) {
        const JoinAddress a = parseJoinAddress(formatJoinAddress(host, port, kGamePort), kGamePort);
        EXPECT_TRUE(a.ok()) << host;
        EXPECT_EQ(a.host, host);
        EXPECT_EQ(a.port, port);
    }
}
