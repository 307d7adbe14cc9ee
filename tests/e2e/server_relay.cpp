// The headless server as a process: nine scripted clients log in, a tenth is turned
// away, chat reaches everybody, seat 1 removes a player, a player leaves, and the
// server ends cleanly on a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "testkit/server_process.h"
#include "testkit/wire_client.h"
#include "protocol/messages.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;

// Connects, expects the seat, logs in under `name`.
std::unique_ptr<WireClient> login(int port, int seat, const std::string& name) {
    auto c = std::make_unique<WireClient>();
    EXPECT_TRUE(c->connect(port));
    EXPECT_EQ(c->next(3s), toclient::sendlogininfo(seat));
    EXPECT_TRUE(c->send(toserver::logininfo(seat, protocol::kVersion, name)));
    EXPECT_EQ(c->waitFor(toclient::newplayerinfo(seat, name)), toclient::newplayerinfo(seat, name));
    return c;
}

bool closedByServer(WireClient& c) {
    while (c.next(3s)) {
    }
    return c.peerClosed();
}

TEST(ServerProcess, NineSeatsTheTenthRefusedChatKickAndDeparture) {
    ServerProcess server;
    std::vector<std::unique_ptr<WireClient>> seats(10);
    for (int s = 1; s <= 9; ++s) seats[s] = login(server.port, s, "P" + std::to_string(s));

    // The last one to arrive heard of all the others, in seat order.
    for (int s = 1; s <= 8; ++s)
        EXPECT_EQ(seats[9]->next(1s), toclient::existingplayers(s, "P" + std::to_string(s)));

    WireClient tenth;
    ASSERT_TRUE(tenth.connect(server.port));
    EXPECT_EQ(tenth.next(3s), toclient::full());
    EXPECT_TRUE(closedByServer(tenth));

    // Chat from a spectator reaches all nine, itself included, "+" and all.
    ASSERT_TRUE(seats[5]->send(toserver::chat(5, "hi+there", "Blue")));
    for (int s = 1; s <= 9; ++s)
        EXPECT_EQ(seats[s]->waitFor(toclient::chat("P5", "hi+there|Blue")), toclient::chat("P5", "hi+there|Blue"))
            << "seat " << s;

    // Only seat 1 may remove a player.
    ASSERT_TRUE(seats[3]->send(toserver::kickhim(3, 4)));
    ASSERT_TRUE(seats[1]->send(toserver::kickhim(1, 4)));
    EXPECT_TRUE(closedByServer(*seats[4]));
    for (int s : {1, 2, 3, 5, 6, 7, 8, 9})
        EXPECT_EQ(seats[s]->waitFor(toclient::playerdisconnected(4, "P4")), toclient::playerdisconnected(4, "P4"))
            << "seat " << s;

    // A player who leaves is announced to those who stay.
    seats[6]->close();
    for (int s : {1, 2, 3, 5, 7, 8, 9})
        EXPECT_EQ(seats[s]->waitFor(toclient::playerdisconnected(6, "P6")), toclient::playerdisconnected(6, "P6"))
            << "seat " << s;

    // The lowest free seat goes to the next arrival.
    auto again = login(server.port, 4, "Late");
    EXPECT_EQ(seats[1]->waitFor(toclient::newplayerinfo(4, "Late")), toclient::newplayerinfo(4, "Late"));

    // SIGTERM ends it with 0, and the word file it wrote is gone again.
    EXPECT_TRUE(std::filesystem::exists(server.dir / "English"));
    EXPECT_EQ(server.process->stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::exists(server.dir / "English"));
    EXPECT_TRUE(closedByServer(*seats[1]));
}

TEST(ServerProcess, InterruptEndsItWithZero) {
    ServerProcess server;
    auto first = login(server.port, 1, "Solo");
    EXPECT_EQ(server.process->stop(SIGINT), 0);
}

TEST(ServerProcess, BadCommandLinesAndATakenPort) {
    ServerProcess bad({"--port", "0"});
    EXPECT_EQ(bad.process->stop(0, 5s), 2);  // signal 0 only waits

    ServerProcess first;
    auto holder = login(first.port, 1, "Holder");
    ServerProcess second({"--port", std::to_string(first.port)});
    EXPECT_EQ(second.process->stop(0, 5s), 1);
}

}  // namespace
}  // namespace quorbit::e2e
