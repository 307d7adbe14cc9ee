// TSock's connection states and reports: connecting, refusal, listening, accepting,
// closing, and the fixed messages of misuse.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QThread>
#include <atomic>
#include <string>

#include "app/net/loopback.h"
#include "app/net/recorder.h"
#include "app/net/tsock.h"
#include "common/numbers.h"

namespace quorbit::net {
namespace {
using testing::RawListener;
using testing::RawPeer;
using testing::Recorder;
using testing::waitUntil;

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ESockException& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(TSockConnect, RefusedConnectGivesOneErrorReportAndNoDisconnect) {
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(testing::deadPort()));
    EXPECT_FALSE(sock.Open());
    ASSERT_TRUE(waitUntil([&] { return rec.countPrefix("info 7 ") > 0; }));
    testing::settle(100);
    EXPECT_EQ(rec.countPrefix("info 7 "), 1);
    EXPECT_EQ(rec.count("info 7 Error #10061 (WSAECONNREFUSED)"), 1);
    EXPECT_EQ(rec.count("disconnect"), 0);
    EXPECT_EQ(rec.count("connect"), 0);
    EXPECT_FALSE(sock.Connected());
    EXPECT_GE(sock.Handle(), 0);  // stays allocated until closed

    // A second Open makes no new attempt.
    const auto before = rec.events.size();
    EXPECT_FALSE(sock.Open());
    testing::settle(100);
    EXPECT_EQ(rec.events.size(), before);

    // After Close, Open tries again.
    sock.Close();
    EXPECT_FALSE(sock.Open());
    ASSERT_TRUE(waitUntil([&] { return rec.count("info 7 Error #10061 (WSAECONNREFUSED)") == 2; }));
}

TEST(TSockConnect, ConnectReportsLookupsThenConnectionThenWriteReadiness) {
    RawListener raw;
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(raw.port()));
    sock.Open();
    RawPeer peer = raw.accept();
    ASSERT_TRUE(waitUntil([&] { return rec.count("write") == 1; }));
    const std::vector<std::string> expected = {
        "info 0 Lookup Of Port " + std::to_string(raw.port()),
        "info 0 Lookup Of Host 127.0.0.1",
        "info 1 Non-Blocking Socket Connected",
        "connect",
        "info 5 Non-Blocking Outgoing Data",
        "write",
    };
    EXPECT_EQ(rec.events, expected);

    // Changing the address of a live connection only says so.
    rec.events.clear();
    sock.setHostName("10.1.2.3");
    sock.setPortName("1");
    EXPECT_EQ(rec.events, (std::vector<std::string>{"info 0 Setting HostName While Connected Has No Effect",
                                                    "info 0 Setting PortName While Connected Has No Effect"}));
    EXPECT_EQ(sock.HostName(), "10.1.2.3");
    EXPECT_EQ(messageOf([&] { sock.setSocketType(TSocketType::stDatagram); }),
              "SocketType - Can't Assign Socket Type While Connected");
}

TEST(TSockListen, ListenTwiceThenStop) {
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    testing::startListening(sock);
    EXPECT_TRUE(sock.Listen());
    sock.setListen(true);
    EXPECT_EQ(rec.infos.back(), "Listening Already Running");
    EXPECT_EQ(messageOf([&] { sock.setSocketType(TSocketType::stDatagram); }),
              "SocketType - Can't Assign Socket Type While Listening");
    EXPECT_EQ(messageOf([&] { sock.Send("x"); }), "Send - Cannot Send On A Listener Socket");
    EXPECT_EQ(messageOf([&] { sock.Receive(-1); }), "Receive - Cannot Receive On A Listener Socket");

    rec.infos.clear();
    sock.setListen(false);
    EXPECT_EQ(rec.infos, (std::vector<std::string>{"Socket Closed", "Listening Stopped"}));
    EXPECT_FALSE(sock.Listen());
    EXPECT_EQ(sock.Handle(), -1);
}

TEST(TSockListen, RefusalsOfListen) {
    TSock first;
    const int port = testing::startListening(first);

    TSock second;
    second.setPortName(std::to_string(port));
    EXPECT_EQ(messageOf([&] { second.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_FALSE(second.Listen());
    // The descriptor stays allocated until the owner closes it.
    EXPECT_EQ(messageOf([&] { second.setListen(true); }), "Listen - Socket Already In Use");
    second.Close();
    first.Close();
    testing::settle(20);
    second.setListen(true);  // the port is free again, even right after its listener
    EXPECT_TRUE(second.Listen());

    TSock dgram;
    dgram.setSocketType(TSocketType::stDatagram);
    EXPECT_EQ(messageOf([&] { dgram.setListen(true); }), "Listen - Cannot Listen On A Datagram Socket");
    EXPECT_FALSE(dgram.Listen());

    TSock plain;
    EXPECT_EQ(messageOf([&] {
                  TSock* n = nullptr;
                  plain.Accept(n);
              }),
              "Accept - Socket Not In Listening Mode");
}

TEST(TSockAccept, AcceptedSocketInheritsFourHandlersAndStartsConnected) {
    TSock listener;
    Recorder rec;
    rec.attach(listener);
    listener.OnAutoAccept = nullptr;
    std::vector<std::pair<TSock*, std::string>> infos;
    listener.OnInfo = [&](TSock& s, TSocketInfo, const std::string& text) { infos.emplace_back(&s, text); };
    const int port = testing::startListening(listener);
    infos.clear();
    RawPeer client;
    ASSERT_TRUE(client.connect(port));
    ASSERT_TRUE(waitUntil([&] { return !rec.accepted.empty(); }));
    TSock* n = rec.accepted.front();

    EXPECT_TRUE(n->Connected());
    EXPECT_TRUE(n->OnRead && n->OnWrite && n->OnDisconnect && n->OnInfo);
    EXPECT_FALSE(n->OnConnect || n->OnAccept || n->OnAutoAccept);
    EXPECT_EQ(n->parent(), &listener);
    EXPECT_EQ(n->PortName(), "0");
    EXPECT_EQ(n->HostName(), "127.0.0.1");
    EXPECT_EQ(n->PeerAddress(), "127.0.0.1");
    EXPECT_EQ(listener.PeerAddress(), "127.0.0.1");

    // The new socket's setters reported through the copied handler, then the listener.
    ASSERT_EQ(infos.size(), 3u);
    EXPECT_EQ(infos[0], std::make_pair(n, std::string("Setting PortName While Connected Has No Effect")));
    EXPECT_EQ(infos[1], std::make_pair(n, std::string("Setting HostName While Connected Has No Effect")));
    EXPECT_EQ(infos[2], std::make_pair(&listener, std::string("Created New TSock Structure")));
}

TEST(TSockAccept, NoFurtherAcceptNoticeUntilAcceptIsCalled) {
    TSock listener;
    Recorder rec;
    rec.acceptOnEvent = false;
    rec.attach(listener);
    const int port = testing::startListening(listener);
    RawPeer a, b;
    ASSERT_TRUE(a.connect(port));
    ASSERT_TRUE(b.connect(port));
    ASSERT_TRUE(waitUntil([&] { return rec.count("accept") == 1; }));
    testing::settle(50);
    EXPECT_EQ(rec.count("accept"), 1);
    TSock* n = nullptr;
    ASSERT_TRUE(listener.Accept(n));
    ASSERT_TRUE(waitUntil([&] { return rec.count("accept") == 2; }));
}

TEST(TSockAccept, OutOfDescriptorsTheWaitingConnectionIsRetriedCalmly) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime itself needs descriptors";
#endif
    TSock listener;
    Recorder rec;
    rec.attach(listener);
    const int port = testing::startListening(listener);
    RawPeer client;
    ASSERT_TRUE(client.connect(port));

    // No descriptor left for the accepted socket.
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    testing::settle(350);
    ::setrlimit(RLIMIT_NOFILE, &saved);

    const int failures = rec.count("info 6 Could Not Accept Connection");
    EXPECT_GE(failures, 1);
    EXPECT_LE(failures, 6);  // a few retries, not a busy loop
    EXPECT_TRUE(rec.accepted.empty());
    ASSERT_TRUE(waitUntil([&] { return !rec.accepted.empty(); }));
}

TEST(TSockAccept, AutomaticAcceptingHandsOverTheNewSocket) {
    TSock listener;
    int accepts = 0;
    TSock* got = nullptr;
    listener.OnAccept = [&](TSock&) { ++accepts; };
    listener.OnAutoAccept = [&](TSock& l, TSock& n) {
        EXPECT_EQ(&l, &listener);
        got = &n;
    };
    listener.setAutoAccept(true);
    const int port = testing::startListening(listener);
    RawPeer client;
    ASSERT_TRUE(client.connect(port));
    ASSERT_TRUE(waitUntil([&] { return got != nullptr; }));
    EXPECT_EQ(accepts, 0);
    EXPECT_TRUE(got->Connected());
    got->Send("hi");
    EXPECT_EQ(client.receive(2), "hi");
}

TEST(TSockAccept, BlockingAutomaticAcceptingServesEachConnectionOnItsOwnThread) {
    TSock listener;
    listener.setBlocking(true);
    listener.setBlockingTimeout(3);
    std::atomic<bool> otherThread{false};
    std::atomic<bool> done{false};
    QThread* ui = QThread::currentThread();
    listener.OnAutoAccept = [&](TSock&, TSock& n) {
        otherThread = QThread::currentThread() != ui;
        const std::string line = n.Receive(-1);  // waits for the peer
        n.Send("echo:" + line);
        done = true;
    };
    listener.setAutoAccept(true);
    const int port = testing::startListening(listener);
    RawPeer client;
    ASSERT_TRUE(client.connect(port));
    ASSERT_TRUE(client.send("ping"));
    EXPECT_EQ(client.receive(9), "echo:ping");
    ASSERT_TRUE(waitUntil([&] { return done.load(); }));
    EXPECT_TRUE(otherThread);
}

// A listener with one accepted connection from a raw peer, its reports recorded from then on.
class TSockClose : public ::testing::Test {
protected:
    void SetUp() override { rec.attach(listener); }
    void acceptOne() {
        const int port = testing::startListening(listener);
        ASSERT_TRUE(client.connect(port));
        ASSERT_TRUE(waitUntil([&] { return !rec.accepted.empty(); }));
        rec.events.clear();
    }
    TSock listener;
    Recorder rec;
    RawPeer client;
};

TEST_F(TSockClose, PeerCloseFiresDisconnectBeforeSocketClosed) {
    acceptOne();
    client.close();
    ASSERT_TRUE(waitUntil([&] { return rec.count("info 2 Socket Closed") > 0; }));
    testing::settle(50);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"disconnect", "info 2 Socket Closed"}));
    EXPECT_FALSE(rec.accepted.front()->Connected());
}

TEST_F(TSockClose, OwnerClosingInsideDisconnectReportsTheCloseOnce) {
    listener.OnDisconnect = [](TSock& s) { s.Close(); };
    acceptOne();
    client.close();
    ASSERT_TRUE(waitUntil([&] { return rec.count("info 2 Socket Closed") > 0; }));
    testing::settle(50);
    EXPECT_EQ(rec.count("info 2 Socket Closed"), 1);
}

TEST_F(TSockClose, ResetByPeerIsReportedAndEndsTheConnection) {
    acceptOne();
    client.reset();
    ASSERT_TRUE(waitUntil([&] { return rec.count("info 2 Socket Closed") > 0; }));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"info 7 Error #10054 (WSAECONNRESET)", "disconnect",
                                                    "info 2 Socket Closed"}));
}

TEST(TSockIdle, ClosingAnIdleSocketStillReports) {
    TSock sock;
    Recorder rec;
    rec.attach(sock);
    EXPECT_FALSE(sock.Close());
    EXPECT_EQ(rec.infos, (std::vector<std::string>{"Socket Closed"}));
}

TEST(TSockReports, AThrowingReportHandlerBecomesErrorHere) {
    TSock sock;
    testing::startListening(sock);
    sock.OnInfo = [](TSock&, TSocketInfo, const std::string&) { throw std::runtime_error("boom"); };
    EXPECT_EQ(messageOf([&] { sock.setListen(true); }), "Error here");
    EXPECT_TRUE(sock.Listen());

    // Close swallows it and still gives its own result.
    TSock idle;
    idle.OnInfo = sock.OnInfo;
    bool result = true;
    EXPECT_NO_THROW(result = idle.Close());
    EXPECT_FALSE(result);
}

TEST(TSockReports, MisuseMessages) {
    TSock sock;
    EXPECT_EQ(messageOf([&] { sock.Send("x"); }), "Send - Socket Not Connected");
    EXPECT_EQ(messageOf([&] { sock.Receive(5); }), "Receive - Socket Not Connected");
    EXPECT_EQ(messageOf([&] { sock.SendDatagram("x", "127.0.0.1"); }), "SendDatagram - Socket Not Connected");
    std::string host;
    EXPECT_EQ(messageOf([&] { sock.ReceiveDatagram(host); }), "ReceiveDatagram - Socket Not Connected");

    TSock listener;
    const int port = testing::startListening(listener);
    sock.setHostName("127.0.0.1");
    sock.setPortName(std::to_string(port));
    sock.Open();
    EXPECT_EQ(messageOf([&] { sock.SendDatagram("x", "127.0.0.1"); }),
              "SendDatagram - Datagram Send Not Supported On Stream Sockets");
    EXPECT_EQ(messageOf([&] { sock.ReceiveDatagram(host); }),
              "ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets");
    EXPECT_EQ(messageOf([&] { sock.setListen(true); }), "Listen - Socket Already In Use");
    EXPECT_FALSE(sock.Listen());
}

TEST(TSockLookup, PortsAndHosts) {
    TSock sock;
    EXPECT_EQ(ntohs(sock.resolvePort("7772")), 7772);
    EXPECT_EQ(ntohs(sock.resolvePort("0")), 0);
    EXPECT_THROW(sock.resolvePort("77x2"), ConversionError);
    EXPECT_THROW(sock.resolvePort("70000"), ConversionError);  // no wrap to 4464
    EXPECT_EQ(messageOf([&] { sock.resolvePort("no-such-service-here"); }),
              "Port Lookup - Could Not Find Service Entry");
    EXPECT_EQ(messageOf([&] { sock.resolvePort(""); }), "Port Lookup - Could Not Find Service Entry");

    EXPECT_EQ(sock.resolveHost(""), htonl(INADDR_ANY));
    EXPECT_EQ(sock.resolveHost("127.0.0.1"), htonl(INADDR_LOOPBACK));

    // A name beginning with a digit is taken as a dotted address, never looked up.
    TSock::clearHostCache();
    EXPECT_EQ(sock.resolveHost("1nosuchhost"), INADDR_NONE);
    EXPECT_EQ(TSock::hostCacheSize(), 0u);

    // Names are looked up once and then found in the cache whatever their case.
    const in_addr_t a = sock.resolveHost("localhost");
    EXPECT_EQ(TSock::hostCacheSize(), 1u);
    EXPECT_EQ(sock.resolveHost("LocalHost"), a);
    EXPECT_EQ(TSock::hostCacheSize(), 1u);
}

}  // namespace
}  // namespace quorbit::net
