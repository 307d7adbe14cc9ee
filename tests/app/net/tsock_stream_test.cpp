// TSock's data path over real loopback connections: chunks arrive as the stack
// delivers them, unframed and unaltered, and queued output survives a full stack.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/net/loopback.h"
#include "app/net/recorder.h"
#include "app/net/tsock.h"
#include "protocol/framing.h"
#include "protocol/messages.h"

namespace quorbit::net {
namespace {
using testing::RawListener;
using testing::RawPeer;
using testing::Recorder;
using testing::waitUntil;

namespace toserver = protocol::toserver;
using protocol::frame;

struct Served {
    TSock listener;
    Recorder rec;
    RawPeer client;
    TSock* conn = nullptr;

    Served() {
        rec.attach(listener);
        const int port = testing::startListening(listener);
        EXPECT_TRUE(client.connect(port));
        EXPECT_TRUE(waitUntil([&] { return !rec.accepted.empty(); }));
        conn = rec.accepted.empty() ? nullptr : rec.accepted.front();
    }
};

TEST(TSockStream, ThreeMessagesInOneSegmentMakeOneReadWithTheirTotalLength) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    const std::string three = frame(toserver::chat(1, "a", "Red")) + frame(toserver::chat(1, "bb", "Red")) +
                              frame(toserver::selectclear(2));
    s.rec.events.clear();
    ASSERT_TRUE(s.client.send(three));
    ASSERT_TRUE(waitUntil([&] { return s.rec.countPrefix("read ") > 0; }));
    testing::settle(50);
    EXPECT_EQ(s.rec.countPrefix("read "), 1);
    EXPECT_EQ(s.rec.count("read " + std::to_string(three.size())), 1);
    // The report comes before the read event.
    EXPECT_LT(s.rec.indexOf("info 4 Non-Blocking Incoming Data"), s.rec.indexOf("read " + std::to_string(three.size())));
    EXPECT_EQ(s.conn->Text(), three);
    EXPECT_EQ(s.conn->Text(), "");
}

TEST(TSockStream, SplitMessageArrivesInTwoReadsUnjoined) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    std::vector<std::string> chunks;
    s.conn->OnRead = [&](TSock& sock, int) { chunks.push_back(sock.Text()); };
    const std::string whole = frame(toserver::chat(1, "hello", "Red"));
    const std::string head = whole.substr(0, 9), tail = whole.substr(9);
    ASSERT_TRUE(s.client.send(head));
    ASSERT_TRUE(waitUntil([&] { return chunks.size() == 1; }));
    ASSERT_TRUE(s.client.send(tail));
    ASSERT_TRUE(waitUntil([&] { return chunks.size() == 2; }));
    EXPECT_EQ(chunks[0], head);
    EXPECT_EQ(chunks[1], tail);
}

TEST(TSockStream, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    all += std::string("\0\xFF\0\xFF", 4);

    RawListener raw;
    TSock client;
    Recorder rec;
    rec.attach(client);
    client.setHostName("127.0.0.1");
    client.setPortName(std::to_string(raw.port()));
    EXPECT_FALSE(client.Open());  // a non-blocking connect completes later
    RawPeer server = raw.accept();
    ASSERT_GE(server.fd(), 0);
    ASSERT_TRUE(waitUntil([&] { return client.Connected(); }));
    EXPECT_EQ(rec.count("connect"), 1);

    ASSERT_TRUE(client.Send(all));
    EXPECT_EQ(server.receive(all.size()), all);

    std::string got;
    client.OnRead = [&](TSock& s, int) { got += s.Text(); };
    ASSERT_TRUE(server.send(all));
    ASSERT_TRUE(waitUntil([&] { return got.size() >= all.size(); }));
    EXPECT_EQ(got, all);
}

TEST(TSockStream, EmptySendOnEmptyBufferDoesNothing) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    s.rec.events.clear();
    EXPECT_TRUE(s.conn->Send(""));
    EXPECT_TRUE(s.rec.events.empty());  // not even the outgoing-data report
    EXPECT_EQ(s.client.receive(1, 100), "");
}

TEST(TSockStream, QueuedBytesGoOutInOrderWhenTheStackTakesThemAgain) {
    RawListener raw;
    TSock client;
    Recorder rec;
    rec.attach(client);
    client.setHostName("127.0.0.1");
    client.setPortName(std::to_string(raw.port()));
    client.Open();
    RawPeer server = raw.accept();
    ASSERT_TRUE(waitUntil([&] { return client.Connected(); }));

    // Far more than the stack buffers for a peer that does not read.
    std::string big;
    for (int i = 0; big.size() < 12u * 1024 * 1024; ++i) big += std::to_string(i) + ",";
    ASSERT_TRUE(client.Send(big));
    EXPECT_GT(client.SendBufferSize(), 0u);  // the rest waits for write readiness
    const int writesBefore = rec.count("write");

    EXPECT_EQ(server.receive(big.size(), 20000), big);
    EXPECT_TRUE(waitUntil([&] { return client.SendBufferSize() == 0; }));
    EXPECT_GT(rec.count("write"), writesBefore);
}

TEST(TSockStream, UnsentBytesNeverReachALaterConnection) {
    RawListener first;
    TSock client;
    client.setHostName("127.0.0.1");
    client.setPortName(std::to_string(first.port()));
    client.Open();
    RawPeer one = first.accept();
    ASSERT_TRUE(waitUntil([&] { return client.Connected(); }));
    ASSERT_TRUE(client.Send(std::string(16u * 1024 * 1024, 'a')));
    ASSERT_GT(client.SendBufferSize(), 0u);
    client.Close();
    EXPECT_EQ(client.SendBufferSize(), 0u);

    RawListener second;
    client.setPortName(std::to_string(second.port()));
    client.Open();
    RawPeer two = second.accept();
    ASSERT_TRUE(waitUntil([&] { return client.Connected(); }));
    ASSERT_TRUE(client.Send("fresh"));
    EXPECT_EQ(two.receive(6, 300), "fresh");
}

TEST(TSockStream, ReceiveTakesAPrefixOrEverything) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    s.conn->OnRead = nullptr;
    ASSERT_TRUE(s.client.send("abcdef"));
    ASSERT_TRUE(waitUntil([&] { return s.conn->ReceiveBufferSize() == 6; }));
    EXPECT_EQ(s.conn->Receive(2), "ab");
    EXPECT_EQ(s.conn->Receive(10), "cdef");
    EXPECT_EQ(s.conn->Receive(-1), "");
}

TEST(TSockStream, DataReceivedBeforeTheCloseCanStillBeRead) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    s.conn->OnRead = nullptr;
    bool disconnected = false;
    s.conn->OnDisconnect = [&](TSock&) { disconnected = true; };
    ASSERT_TRUE(s.client.send("last words"));
    s.client.close();
    ASSERT_TRUE(waitUntil([&] { return disconnected; }));
    EXPECT_EQ(s.conn->Handle(), -1);
    EXPECT_EQ(s.conn->Text(), "last words");
    EXPECT_THROW(s.conn->Text(), ESockException);
}

TEST(TSockStream, TheStreamReadsAndWritesThroughTheSocket) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    s.conn->OnRead = nullptr;
    EXPECT_EQ(s.conn->Stream().Write("xyz", 3), 3);
    EXPECT_EQ(s.client.receive(3), "xyz");
    ASSERT_TRUE(s.client.send("12345"));
    ASSERT_TRUE(waitUntil([&] { return s.conn->ReceiveBufferSize() == 5; }));
    char buf[8] = {};
    EXPECT_EQ(s.conn->Stream().Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "123");
    EXPECT_EQ(s.conn->Stream().Seek(100, 0), 0);
}

TEST(TSockStream, AnOwnerMayDestroyTheSocketInsideItsReadEvent) {
    Served s;
    ASSERT_NE(s.conn, nullptr);
    bool gone = false;
    s.conn->OnRead = [&](TSock& sock, int) {
        delete &sock;
        gone = true;
    };
    ASSERT_TRUE(s.client.send("bye"));
    ASSERT_TRUE(waitUntil([&] { return gone; }));
    testing::settle(50);
    EXPECT_TRUE(s.client.closedByPeer(1000));
}

}  // namespace
}  // namespace quorbit::net
