// The server's host over real loopback connections: every accepted socket reaches the
// game server as a connection of its own, closes of every kind are reported, and a
// connection that will not take its output is cut off.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/server/hosted.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "app/server/serverhost.h"

namespace quorbit::serverhost {
namespace {
using testing::Hosted;
using net::testing::RawPeer;
using net::testing::waitUntil;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;
using protocol::frame;

TEST(ServerHost, EachConnectionGetsItsSeatAndAFreedSeatIsHandedOutAgain) {
    Hosted h;
    RawPeer a = h.join(1);
    RawPeer b = h.join(2);
    RawPeer c = h.join(3);
    EXPECT_EQ(h.host->connectionCount(), 3u);
    b.close();
    ASSERT_TRUE(waitUntil([&] { return !h.host->server().seat(2).connected; }));
    EXPECT_EQ(h.host->connectionCount(), 2u);
    RawPeer d = h.join(2);
    EXPECT_EQ(h.host->server().playercount(), 3);
}

TEST(ServerHost, TheAnnouncementFollowsSeatedPlayersAndTheGame) {
    Hosted h;
    int changes = 0;
    QObject::connect(h.host.get(), &ServerHost::announcementChanged, [&] { ++changes; });
    EXPECT_EQ(h.host->announcement().version, std::string(protocol::kVersion));
    EXPECT_EQ(h.host->announcement().players, 0);
    RawPeer a = h.join(1);
    net::testing::settle();
    EXPECT_EQ(changes, 0);  // connected but not logged in: nobody is seated yet
    RawPeer logged = h.login(2, "Ann");
    EXPECT_TRUE(waitUntil([&] { return h.host->announcement().players == 1; }));
    EXPECT_EQ(changes, 1);
    std::vector<RawPeer> more;  // seats 3 and 4 play; seat 5 only watches
    for (int seat = 3; seat <= 5; ++seat) more.push_back(h.login(seat, "P" + std::to_string(seat)));
    EXPECT_TRUE(waitUntil([&] { return h.host->announcement().players == 3; }));
    logged.close();
    EXPECT_TRUE(waitUntil([&] { return h.host->announcement().players == 2; }));
    EXPECT_FALSE(h.host->announcement().running);
}

TEST(ServerHost, LinesSplitAcrossReadsAreJoinedAndRelayed) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.login(2, "Bob");
    a.receive(1 << 16, 200);  // the login announcements
    const std::string chat = frame(toserver::chat(2, "a+b", "Red"));
    ASSERT_TRUE(b.send(chat.substr(0, 5)));
    net::testing::settle(30);
    ASSERT_TRUE(b.send(chat.substr(5)));
    const std::string want = frame(toclient::chat("Bob", "a+b|Red"));
    EXPECT_EQ(a.receive(want.size()), want);
}

TEST(ServerHost, AResetConnectionFreesItsSeatAndTellsTheOthers) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.login(2, "Bob");
    a.receive(1 << 16, 200);
    b.reset();
    const std::string want = frame(toclient::playerdisconnected(2, "Bob"));
    EXPECT_EQ(a.receive(want.size()), want);
    EXPECT_FALSE(h.host->server().seat(2).connected);
}

TEST(ServerHost, APortInUseIsRefusedWithTheReasonAndCanBeRetried) {
    Hosted h;
    QTemporaryDir other;
    ServerHost::Options o;
    o.dictionaryFolder = other.path().toStdString();
    o.log = [](std::string_view) {};
    ServerHost second(o);
    EXPECT_FALSE(second.listen(h.port));
    EXPECT_EQ(second.errorText(), "Listen - Error Binding Socket");
    EXPECT_FALSE(second.listening());
    h.host->stopListening();
    EXPECT_TRUE(second.listen(h.port)) << second.errorText();
    EXPECT_TRUE(second.errorText().empty());
}

TEST(ServerHost, AConnectionThatDoesNotReadIsClosedPastOneMebibyteWaiting) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    // A tiny receive window, and it never reads.
    RawPeer b;
    ASSERT_TRUE(b.connect(h.port, 4096));
    ASSERT_TRUE(waitUntil([&] { return h.host->server().seat(2).connected; }));
    ASSERT_TRUE(b.send(frame(toserver::logininfo(2, protocol::kVersion, "Bob"))));
    ASSERT_TRUE(waitUntil([&] { return h.host->server().seat(2).name == "Bob"; }));

    // Chat lines as long as the server relays (1,000 characters of four bytes each) go to
    // everybody; Ann reads hers, Bob's pile up.
    std::string line;
    for (std::size_t i = 0; i < protocol::kMaxTextChars; ++i) line += "\xF0\x9F\x98\x80";
    const std::string gone = frame(toclient::playerdisconnected(2, "Bob"));
    std::string seen;
    bool cut = false;
    for (int i = 0; i < 3000 && !cut; ++i) {
        ASSERT_TRUE(a.send(frame(toserver::chat(1, line, "Red"))));
        seen += a.receive(1 << 20, 15);
        cut = seen.find(gone) != std::string::npos;
        if (seen.size() > (1u << 20)) seen.erase(0, seen.size() - gone.size());
    }
    if (!cut) cut = a.receive(1 << 22, 2000).find(gone) != std::string::npos;
    EXPECT_TRUE(cut);
    EXPECT_FALSE(h.host->server().seat(2).connected);
    bool logged = false;
    for (const auto& l : h.logLines) logged = logged || l.find("more than 1 MiB waiting to be sent") != std::string::npos;
    EXPECT_TRUE(logged);
}

TEST(ServerHost, PeerTextIsEscapedInTheLogAndEachConnectionsLinesAreLimited) {
    Hosted h;
    RawPeer p = h.join(1);
    // Logins whose seat is no number, each with a forged line and a terminal escape.
    std::string flood;
    for (int i = 0; i < 30; ++i) flood += frame("CMD_logininfo+1\n[fake] Ann left\x1B]0;pwned\x07+1.0.10+Ann");
    ASSERT_TRUE(p.send(flood));
    ASSERT_TRUE(waitUntil([&] {
        return h.logLines.size() >= static_cast<std::size_t>(server::kLogBurst) && !h.host->server().hasUnservedLines();
    }));
    p.close();
    const std::string note = "connection 1: 20 log lines dropped (too many)";
    ASSERT_TRUE(waitUntil([&] { return !h.logLines.empty() && h.logLines.back() == note; }))
        << (h.logLines.empty() ? "" : h.logLines.back());
    int forged = 0;
    for (const auto& l : h.logLines) {
        EXPECT_EQ(l.find_first_of("\n\x1B\x07"), std::string::npos) << l;
        if (l.find("\\x0A[fake] Ann left\\x1B]0;pwned\\x07") != std::string::npos) ++forged;
    }
    EXPECT_EQ(forged, server::kLogBurst);
}

TEST(ServerHost, DestroyingTheHostEndsEveryConnection) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.join(2);
    h.host.reset();
    EXPECT_TRUE(a.closedByPeer(2000));
    EXPECT_TRUE(b.closedByPeer(2000));
}

}  // namespace
}  // namespace quorbit::serverhost
