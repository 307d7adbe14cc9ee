// TSock in its other modes: blocking stream sockets and datagram sockets, and the
// error numbers and names its reports carry.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "app/net/loopback.h"
#include "app/net/recorder.h"
#include "app/net/sock_errors.h"
#include "app/net/tsock.h"

namespace quorbit::net {
namespace {
using testing::RawListener;
using testing::RawPeer;
using testing::Recorder;
using testing::waitUntil;

TEST(TSockBlocking, ConnectSendReceiveAndPeerClose) {
    RawListener raw;
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    sock.setBlocking(true);
    sock.setBlockingTimeout(2);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(raw.port()));
    EXPECT_TRUE(sock.Open());
    EXPECT_EQ(rec.infos.back(), "Blocking Socket Connected");
    EXPECT_EQ(rec.events.back(), "connect");
    RawPeer peer = raw.accept();

    ASSERT_TRUE(sock.Send("request"));
    EXPECT_EQ(rec.infos.back(), "Blocking Outgoing Data");
    EXPECT_EQ(peer.receive(7), "request");
    ASSERT_TRUE(peer.send("answer"));
    EXPECT_EQ(sock.Receive(-1), "answer");
    EXPECT_EQ(rec.infos.back(), "Blocking Incoming Data");

    // Nothing waiting: the receive gives up after the timeout with nothing.
    sock.setBlockingTimeout(0);
    EXPECT_EQ(sock.Receive(-1), "");

    peer.close();
    sock.setBlockingTimeout(2);
    rec.events.clear();
    EXPECT_EQ(sock.Receive(-1), "");
    EXPECT_EQ(rec.events, (std::vector<std::string>{"info 4 Blocking Incoming Data",
                                                    "info 2 Socket Disconnected On Receive",
                                                    "info 2 Socket Closed", "disconnect"}));
    EXPECT_FALSE(sock.Connected());
}

TEST(TSockBlocking, RefusedConnectClosesAtOnce) {
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    sock.setBlocking(true);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(testing::deadPort()));
    EXPECT_FALSE(sock.Open());
    EXPECT_EQ(rec.infos, (std::vector<std::string>{"Lookup Of Port " + sock.PortName(), "Lookup Of Host 127.0.0.1",
                                                   "Blocking Socket Can't Connect", "Socket Closed"}));
    EXPECT_EQ(sock.Handle(), -1);
}

TEST(TSockBlocking, SwitchingToNotificationsDeliversReadsAsEvents) {
    RawListener raw;
    TSock sock;
    sock.setBlocking(true);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(raw.port()));
    ASSERT_TRUE(sock.Open());
    RawPeer peer = raw.accept();
    std::string got;
    sock.OnRead = [&](TSock& s, int) { got += s.Text(); };
    sock.setBlocking(false);
    ASSERT_TRUE(peer.send("evented"));
    ASSERT_TRUE(waitUntil([&] { return got == "evented"; }));
}

TEST(TSockDatagram, SendToSelfAndReceiveWithTheSender) {
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    sock.setSocketType(TSocketType::stDatagram);
    sock.setPortName(std::to_string(testing::deadPort()));
    EXPECT_TRUE(sock.Open());
    EXPECT_EQ(rec.infos.back(), "Datagram Socket Connected");
    EXPECT_EQ(rec.events.back(), "connect");

    const std::string payload("dg\0\xFF!", 5);
    std::string got, from;
    sock.OnRead = [&](TSock& s, int count) {
        EXPECT_EQ(count, 0);  // datagrams are not buffered
        got = s.ReceiveDatagram(from);
    };
    ASSERT_TRUE(sock.SendDatagram(payload, "127.0.0.1"));
    EXPECT_EQ(sock.HostName(), "127.0.0.1");
    ASSERT_TRUE(waitUntil([&] { return !got.empty(); }));
    EXPECT_EQ(got, payload);
    EXPECT_EQ(from, "127.0.0.1");
    EXPECT_EQ(sock.PeerAddress(), "127.0.0.1");

    // Send on a datagram socket goes to HostName; a second datagram is announced too.
    got.clear();
    ASSERT_TRUE(sock.Send("again"));
    ASSERT_TRUE(waitUntil([&] { return got == "again"; }));

    // Nothing waiting: an empty result and an empty host.
    sock.OnRead = nullptr;
    EXPECT_EQ(sock.ReceiveDatagram(from), "");
    EXPECT_EQ(from, "");
}

TEST(SockErrors, NumbersAndNames) {
    EXPECT_EQ(errorReportText(10061), "Error #10061 (WSAECONNREFUSED)");
    EXPECT_EQ(errorReportText(10035), "Error #10035 (WSAEWOULDBLOCK)");
    EXPECT_EQ(wsaErrorName(11001), "WSAHOST_NOT_FOUND");
    EXPECT_EQ(wsaErrorName(11004), "WSANO_DATA");
    EXPECT_EQ(wsaErrorName(10101), "WSAEDISCON");
    EXPECT_EQ(wsaErrorName(10034), "UNKNOWN ERROR");
    EXPECT_EQ(wsaErrorName(10072), "UNKNOWN ERROR");

    EXPECT_EQ(wsaErrorFromErrno(0), 0);
    EXPECT_EQ(wsaErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(wsaErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(wsaErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(wsaErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(wsaErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(wsaErrorFromErrno(EAGAIN), 10035);
    // An errno without a counterpart still reports as an error, by a name of its own.
    EXPECT_EQ(wsaErrorFromErrno(ENODATA), kUnmappedErrorBase + ENODATA);
    EXPECT_EQ(wsaErrorName(wsaErrorFromErrno(ENODATA)), "UNKNOWN ERROR");
}

}  // namespace
}  // namespace quorbit::net
