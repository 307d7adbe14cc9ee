// Both IP families: a listener that takes IPv4 and IPv6 peers, connects to IPv6
// addresses, and a host with several addresses tried in turn.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "loopback.h"
#include "app/net/tsock.h"
#include "recorder.h"

using namespace quorbit::net;
using namespace quorbit::net::testing;

namespace {

SockAddress v6Loopback() {
    SockAddress a;
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
    in6->sin6_family = AF_INET6;
    in6->sin6_addr = in6addr_loopback;
    a.length = sizeof(sockaddr_in6);
    return a;
}

SockAddress v4Loopback() {
    SockAddress a;
    auto* in = reinterpret_cast<sockaddr_in*>(&a.storage);
    in->sin_family = AF_INET;
    in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.length = sizeof(sockaddr_in);
    return a;
}

// A plain listener of one family on loopback; port 0 picks one.
struct FamilyListener {
    int fd = -1;
    int port = 0;
    FamilyListener(int family, int wantPort) {
        fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        SockAddress a = family == AF_INET6 ? v6Loopback() : v4Loopback();
        a.setPort(htons(static_cast<uint16_t>(wantPort)));
        const int one = 1;
        if (family == AF_INET6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
        if (::bind(fd, a.get(), a.length) != 0 || ::listen(fd, 4) != 0) {
            ::close(fd);
            fd = -1;
            return;
        }
        port = localPort(fd);
    }
    ~FamilyListener() {
        if (fd >= 0) ::close(fd);
    }
};

bool ipv6Loopback() { return FamilyListener(AF_INET6, 0).fd >= 0; }

#define REQUIRE_IPV6()                                                                          \
    if (!ipv6Loopback()) GTEST_SKIP() << "this machine has no IPv6 loopback address (::1)"

// Opens a client toward host:port and waits for its connect; the recorder sees it all.
bool connectTo(TSock& client, Recorder& rec, const std::string& host, int port) {
    rec.attach(client);
    client.setHostName(host);
    client.setPortName(std::to_string(port));
    client.Open();
    return waitUntil([&] { return rec.count("connect") == 1 || rec.countPrefix("info 7 ") > 0; }) &&
           rec.count("connect") == 1;
}

}  // namespace

TEST(TSockBothFamilies, ListenerTakesIPv4AndIPv6PeersAndNamesThem) {
    REQUIRE_IPV6();
    TSock listener;
    Recorder lrec;
    lrec.attach(listener);
    const int port = startListening(listener);

    TSock v6, v4;
    Recorder r6, r4;
    ASSERT_TRUE(connectTo(v6, r6, "::1", port));
    ASSERT_TRUE(waitUntil([&] { return lrec.accepted.size() == 1; }));
    ASSERT_TRUE(connectTo(v4, r4, "127.0.0.1", port));
    ASSERT_TRUE(waitUntil([&] { return lrec.accepted.size() == 2; }));
    EXPECT_EQ(lrec.accepted[0]->HostName(), "::1");
    EXPECT_EQ(lrec.accepted[0]->PeerAddress(), "::1");
    // An IPv4 peer of the dual listener is named in IPv4, as before.
    EXPECT_EQ(lrec.accepted[1]->HostName(), "127.0.0.1");

    // Bytes pass both ways over IPv6 unchanged.
    const std::string bytes = std::string("CMD_chat+1+hi") + '\xff' + std::string(1, '\0');
    v6.Send(bytes);
    ASSERT_TRUE(waitUntil([&] { return lrec.accepted[0]->ReceiveBufferSize() == bytes.size(); }));
    EXPECT_EQ(lrec.accepted[0]->Text(), bytes);
    lrec.accepted[0]->Send("back");
    ASSERT_TRUE(waitUntil([&] { return v6.ReceiveBufferSize() == 4; }));
    EXPECT_EQ(v6.Text(), "back");
}

TEST(TSockBothFamilies, IPv6AddressesInBracketsAndNeverLookedUpByName) {
    REQUIRE_IPV6();
    FamilyListener raw(AF_INET6, 0);
    TSock client;
    Recorder rec;
    ASSERT_TRUE(connectTo(client, rec, "[::1]", raw.port));
    EXPECT_EQ(rec.infos.front(), "Lookup Of Port " + std::to_string(raw.port));

    TSock::clearHostCache();
    TSock probe;
    const auto found = probe.resolveAddresses("::ffff:127.0.0.1");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].family(), AF_INET6);
    EXPECT_THROW(probe.resolveAddresses("::1::2"), ESockException);
    EXPECT_THROW(probe.resolveAddresses("[nosuchname]"), ESockException);
    EXPECT_EQ(TSock::hostCacheSize(), 0u);  // addresses are not names: nothing cached
}

TEST(TSockBothFamilies, EachAddressOfAHostIsTriedInTurnAndOnlyTheLastFailureIsTold) {
    REQUIRE_IPV6();
    // A name with an IPv6 and an IPv4 address, as a resolver gives for a dual host.
    TSock::clearHostCache();
    TSock::rememberHost("dualhost", {v6Loopback(), v4Loopback()});
    TSock::rememberHost("dualhost-v4first", {v4Loopback(), v6Loopback()});

    {  // Only IPv4 listens: the IPv6 attempt is refused quietly, then IPv4 connects.
        FamilyListener raw(AF_INET, 0);
        TSock client;
        Recorder rec;
        ASSERT_TRUE(connectTo(client, rec, "dualhost", raw.port));
        EXPECT_EQ(rec.countPrefix("info 7 "), 0);
        EXPECT_EQ(rec.count("connect"), 1);
    }
    {  // Only IPv6 listens, IPv4 listed first.
        FamilyListener raw(AF_INET6, 0);
        TSock client;
        Recorder rec;
        ASSERT_TRUE(connectTo(client, rec, "dualhost-v4first", raw.port));
        EXPECT_EQ(rec.countPrefix("info 7 "), 0);
    }
    {  // Nobody listens: one refusal is reported, no connect, no disconnect.
        TSock client;
        Recorder rec;
        EXPECT_FALSE(connectTo(client, rec, "dualhost", deadPort()));
        settle();
        EXPECT_EQ(rec.countPrefix("info 7 "), 1);
        EXPECT_EQ(rec.count("connect"), 0);
        EXPECT_EQ(rec.count("disconnect"), 0);
        EXPECT_FALSE(client.Connected());
    }
    {  // Blocking mode walks the same list.
        FamilyListener raw(AF_INET6, 0);
        TSock client;
        Recorder rec;
        rec.attach(client);
        client.setBlocking(true);
        client.setHostName("dualhost-v4first");
        client.setPortName(std::to_string(raw.port));
        EXPECT_TRUE(client.Open());
        EXPECT_EQ(rec.count("connect"), 1);
    }
    TSock::clearHostCache();
}
