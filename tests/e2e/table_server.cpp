// The headless server as a table server, as a process: tables side by side, the default
// table for a client that names none, the host's powers at a named table, the listing
// printed by "quorbit --tables", and two lobby connections that meet.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "testkit/server_process.h"
#include "testkit/wire_client.h"
#include "protocol/lobby_messages.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;
namespace tables = protocol::tables;

// Connects, names `table` (none when empty), expects `seat` and logs in under `name`.
std::unique_ptr<WireClient> sit(int port, const std::string& table, int seat, const std::string& name) {
    auto c = std::make_unique<WireClient>();
    EXPECT_TRUE(c->connect(port));
    if (!table.empty()) {
        EXPECT_TRUE(c->send(tables::Table{table}.format()));
    }
    EXPECT_EQ(c->next(3s), toclient::sendlogininfo(seat));
    EXPECT_TRUE(c->send(toserver::logininfo(seat, protocol::kVersion, name)));
    EXPECT_EQ(c->waitFor(toclient::newplayerinfo(seat, name)), toclient::newplayerinfo(seat, name));
    return c;
}

std::string listTables(int port, int& code) {
    // Its settings (the server's certificate fingerprint among them) in the server's
    // folder, never in a file that a later server on the same port would meet.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("quorbit-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(port));
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY QUORBIT_DATA_DIR='" + dir.string() + "' '" +
                            std::string(QUORBIT_BINARY) + "' --tables 127.0.0.1:" + std::to_string(port) +
                            " 2>/dev/null";
    std::string out;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = ::pclose(pipe);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

TEST(TableServerProcess, TablesSideBySideTheDefaultTableTheHostAndTheListing) {
    ServerProcess server;
    auto ann = sit(server.port, "Friday", 1, "Ann");
    EXPECT_EQ(ann->waitFor(std::string(protocol::names::host)), tables::Host{1}.format());
    auto bob = sit(server.port, "", 1, "Bob");  // names nothing: the default table, seat 1 there
    auto cid = sit(server.port, "friday", 2, "Cid");

    ASSERT_TRUE(ann->send(toserver::chat(1, "at friday", "Blue")));
    EXPECT_TRUE(cid->waitFor(toclient::chat("Ann", "at friday|Blue")));
    ASSERT_TRUE(bob->send(toserver::chat(1, "at the default", "Blue")));
    EXPECT_TRUE(bob->waitFor(toclient::chat("Bob", "at the default|Blue")));
    // What Cid hears up to Ann's next line holds nothing from the default table.
    ASSERT_TRUE(ann->send(toserver::chat(1, "again", "Blue")));
    EXPECT_TRUE(cid->waitFor(toclient::chat("Ann", "again|Blue")));
    for (const std::string& line : cid->skipped()) EXPECT_EQ(line.find("Bob"), std::string::npos) << line;

    // Ann leaves: Cid hosts Friday and may start its game.
    ann.reset();
    EXPECT_EQ(cid->waitFor(std::string(protocol::names::host)), tables::Host{2}.format());
    protocol::GameSettings g;
    g.starter = "Cid";
    g.playTo = 300;
    ASSERT_TRUE(cid->send(toserver::startgame(g)));
    ASSERT_TRUE(cid->waitFor(std::string(protocol::names::startgame)));

    int code = -1;
    const std::string list = listTables(server.port, code);
    EXPECT_EQ(code, 0);
    const std::string at = " server=127.0.0.1:" + std::to_string(server.port) + "\n";
    EXPECT_EQ(list, "\tplayers=1 watchers=0 running=no playto=0 seconds=0 teams=no zubo=classic" + at +
                        "Friday\tplayers=1 watchers=0 running=yes playto=300 seconds=60 teams=no zubo=classic" + at);
}

// The program itself, joining a named table of a headless server: the server names it the
// table's host, and it starts a game there (the start-up probe starts one as soon as the
// window holds the host's powers, as a player would press Start).
TEST(TableServerProcess, TheProgramJoiningAHeadlessServerStartsAGameThere) {
    ServerProcess server;
    // Someone in the lobby sees the table's game start.
    WireClient eve;
    ASSERT_TRUE(eve.connect(server.port));
    ASSERT_TRUE(eve.send(protocol::lobby::Lobby{"Eve"}.format()));
    ASSERT_TRUE(eve.waitFor(std::string(protocol::names::lobbyready)));
    const std::filesystem::path home = server.dir / "home";
    std::filesystem::create_directories(home);
    Process game(QUORBIT_BINARY, {"Ann", "127.0.0.1:" + std::to_string(server.port) + "/Friday", "false"},
                 {"QT_QPA_PLATFORM=offscreen", "QUORBIT_DATA_DIR=" + home.string(), "QUORBIT_STARTUP_PROBE=game",
                  "XDG_RUNTIME_DIR=" + home.string()});
    EXPECT_TRUE(eve.waitFor("CMD_lobbytable+Friday+1+0+t+", 30s)) << ::testing::PrintToString(eve.skipped());
    // Bob comes in during that game: Ann hosts it.
    auto bob = sit(server.port, "Friday", 2, "Bob");
    EXPECT_TRUE(bob->waitFor(std::string(protocol::names::gamestats)));
    EXPECT_EQ(bob->waitFor(std::string(protocol::names::host)), tables::Host{1}.format());
}

// Two lobby connections and a game connection against the real server.
TEST(TableServerProcess, TwoLobbyConnectionsSeeEachOthersTableAndChat) {
    namespace lobby = protocol::lobby;
    namespace names = protocol::names;
    const auto line = [](const auto& message) { return std::optional<std::string>(message.format()); };
    ServerProcess server;
    WireClient ann;
    WireClient bob;
    ASSERT_TRUE(ann.connect(server.port));
    ASSERT_TRUE(ann.send(lobby::Lobby{"Ann"}.format()));
    EXPECT_EQ(ann.waitFor(std::string(names::lobbyready)), line(lobby::Lobbyready{1, 0}));
    ASSERT_TRUE(bob.connect(server.port));
    ASSERT_TRUE(bob.send(lobby::Lobby{"Bob"}.format()));
    EXPECT_EQ(bob.next(3s), line(lobby::Lobbyname{"Bob"}));
    EXPECT_EQ(bob.waitFor(std::string(names::lobbyready)), line(lobby::Lobbyready{2, 0}));
    EXPECT_EQ(ann.waitFor(std::string(names::person)), line(lobby::Person{"Bob", "lobby", ""}));

    const lobby::TableOptions options{300, 45, 2, false, "expert", "en"};
    ASSERT_TRUE(ann.send(lobby::Maketable{"Friday", options, true}.format()));
    EXPECT_EQ(ann.waitFor(std::string(names::tablemade)), line(lobby::Tablemade{"Friday", ""}));
    const std::string waiting = "CMD_lobbytable+Friday+0+0+f+300+45+f+expert+2+en+";
    EXPECT_EQ(bob.waitFor(std::string(names::lobbytable)), waiting);
    ASSERT_TRUE(bob.send(lobby::Lobbychat{"see you there|clRed"}.format()));
    const std::string said = "CMD_lobbysaid+Bob+see you there|clRed";
    EXPECT_EQ(ann.waitFor(std::string(names::lobbysaid)), said);

    // Ann's game sits at the table on a connection of its own, under her name.
    auto game = sit(server.port, "Friday", 1, "Ann");
    EXPECT_EQ(game->waitFor(std::string(names::tableoptions)), line(lobby::Tableoptions{options}));
    const std::string seated = "CMD_lobbytable+Friday+1+0+f+300+45+f+expert+2+en+";
    EXPECT_EQ(bob.waitFor(std::string(names::lobbytable)), seated);
    EXPECT_EQ(bob.waitFor(std::string(names::person)), line(lobby::Person{"Ann", "playing", "Friday"}));

    // A private table is made, and the operators' listing still holds the public one only.
    ASSERT_TRUE(bob.send(lobby::Maketable{"Hidden", options, false}.format()));
    ASSERT_TRUE(bob.waitFor(std::string(names::tablemade)));
    int code = -1;
    EXPECT_EQ(listTables(server.port, code), "Friday\tplayers=1 watchers=0 running=no playto=0 seconds=0 teams=no "
                                             "zubo=expert server=127.0.0.1:" +
                                                 std::to_string(server.port) + "\n");
}

}  // namespace
}  // namespace quorbit::e2e
