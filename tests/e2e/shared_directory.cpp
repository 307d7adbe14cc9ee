// Two table servers, as processes, on one PostgreSQL database of the test's own: a table
// at one appears at once in the other's lobby with its server's address, is listed by the
// other's "listtables all" and by "quorbit --tables", and goes from there when it goes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>

#include "protocol/directory_messages.h"
#include "protocol/lobby_messages.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "testkit/postgres_server.h"
#include "testkit/server_process.h"
#include "testkit/wire_client.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace names = protocol::names;

std::string run(const std::string& cmd) {
    std::string out;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    ::pclose(pipe);
    return out;
}

TEST(SharedDirectory, ATableAtOneServerIsListedLiveAtTheOther) {
    testsupport::PostgresServer postgres;
    if (!postgres.available()) GTEST_SKIP() << postgres.why();
    const std::string database = postgres.createDatabase("shared");
    ASSERT_FALSE(database.empty());

    const int portA = freePort();
    ServerProcess a({"--port", std::to_string(portA), "--database", "'" + database + "'", "--public-address",
                     "127.0.0.1:" + std::to_string(portA)});
    // The first server brings the schema up; the second starts once the first serves.
    WireClient probe;
    ASSERT_TRUE(probe.connect(portA, 20s));
    probe.close();
    const int portB = freePort();
    ServerProcess b({"--port", std::to_string(portB), "--database", "'" + database + "'", "--public-address",
                     "127.0.0.1:" + std::to_string(portB)});
    const std::string atA = "127.0.0.1:" + std::to_string(portA);

    WireClient bob;
    ASSERT_TRUE(bob.connect(portB, 20s));
    ASSERT_TRUE(bob.send(protocol::lobby::Lobby{"Bob"}.format()));
    ASSERT_TRUE(bob.waitFor(std::string(names::lobbyready), 10s));

    // Ann sits at Moon on A: B's lobby hears of it, with A's address.
    WireClient ann;
    ASSERT_TRUE(ann.connect(portA));
    ASSERT_TRUE(ann.send(protocol::tables::Table{"Moon"}.format()));
    ASSERT_EQ(ann.next(3s), protocol::toclient::sendlogininfo(1));
    ASSERT_TRUE(ann.send(protocol::toserver::logininfo(1, protocol::kVersion, "Ann")));
    const std::string seated = "CMD_remotetable+" + atA + "+Moon+1+0+f+0+0+f+classic+0+en+";
    EXPECT_EQ(bob.waitFor(seated, 10s), seated) << ::testing::PrintToString(bob.skipped());

    // B lists it when asked for every server's tables, after its own (it has none).
    WireClient lister;
    ASSERT_TRUE(lister.connect(portB));
    ASSERT_TRUE(lister.send("CMD_listtables+all"));
    EXPECT_EQ(lister.next(3s), "CMD_remotetableinfo+" + atA + "+Moon+1+0+f+0+0+f+classic+");
    EXPECT_EQ(lister.next(3s), protocol::tables::Tablesend{1}.format());
    lister.close();
    EXPECT_EQ(run("env -u DISPLAY -u WAYLAND_DISPLAY '" + std::string(QUORBIT_BINARY) + "' --tables 127.0.0.1:" +
                  std::to_string(portB) + " 2>/dev/null"),
              "Moon\tplayers=1 watchers=0 running=no playto=0 seconds=0 teams=no zubo=classic server=" + atA + "\n");

    // Ann leaves: the table goes at A, and from B's lobby.
    ann.close();
    const std::string gone = protocol::directory::Remotetablegone{atA, "Moon"}.format();
    EXPECT_EQ(bob.waitFor(gone, 10s), gone) << ::testing::PrintToString(bob.skipped());
}

}  // namespace
}  // namespace quorbit::e2e
