// A table server killed with SIGKILL in the middle of a stream of finished games: after a
// restart, every game in its store is there whole (its players and every rating change,
// the ratings agreeing with their histories) or not at all.
//
// Pairs of registered players play at tables of their own, to a target of one point, so
// that every round that does not end in a tie ends a game; each player slides the board
// at once after its word, and the host starts the next game as soon as one is won. The server is killed after a number of wins, at whatever it is doing then.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QVariant>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/store/store.h"
#include "protocol/fields.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "testkit/board_words.h"
#include "testkit/wire_client.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;

constexpr int kTables = 6;
constexpr int kWinsBeforeKill = 24;

// One scripted player: plays a word on each of its turns; seat 1 also starts each game.
struct Player {
    std::string name;
    int seat = 0;
    WireClient client;
    testsupport::BoardLetters board{};
    int wins = 0;  // winners this player heard

    bool join(int port, const std::string& table) {
        if (!client.connect(port) || !client.send(protocol::tables::Table{table}.format())) return false;
        if (!client.waitFor("CMD_sendlogininfo+" + std::to_string(seat), 3s)) return false;
        return client.send(toserver::logininfo(seat, protocol::kVersion, name));
    }
    bool start() {
        protocol::GameSettings s;
        s.starter = name;
        s.playTo = 1;
        s.seconds = 3;
        return client.send(toserver::startgame(s));
    }
    // Handles what has arrived; false when the server is gone.
    bool serve(const testsupport::BoardWords& words) {
        while (auto line = client.next(5ms)) {
            const auto plus = line->find('+');
            const std::string what = line->substr(0, plus);
            protocol::FieldReader f(plus == std::string::npos ? "" : line->substr(plus + 1));
            if (what == "CMD_theboard") {
                f.beginList();
                while (!f.atListEnd()) {
                    const int x = f.nextInt(), y = f.nextInt(), code = f.nextInt();
                    if (x >= 0 && x < 7 && y >= 0 && y < 7) board[x][y] = code >= 1 && code <= 26 ? code : 0;
                }
            } else if (what == "CMD_nextplayer" && f.nextInt() == seat) {
                const auto found = words.find(board);
                std::vector<protocol::PathStep> steps;
                if (found)
                    for (std::size_t i = 0; i < found->second.size(); ++i)
                        steps.push_back({static_cast<int>(i) + 1, found->second[i].first, found->second[i].second});
                client.send(toserver::playerdone(seat, steps));
            } else if (what == "CMD_madeword" && f.nextInt() == seat) {
                client.send(toserver::direction(seat, 1));  // the slide at once: no wait for it
            } else if (what == "CMD_winner") {
                ++wins;
                if (seat == 1) start();
            }
        }
        return !client.peerClosed();
    }
};

std::unique_ptr<Process> startServer(const std::filesystem::path& dir, int port, const std::string& db) {
    const std::string cmd = "cd '" + dir.string() + "' && exec '" + QUORBIT_BINARY + "' --server --no-announce --port " +
                            std::to_string(port) + " --database '" + db + "'";
    return std::make_unique<Process>("/bin/sh", std::vector<std::string>{"-c", cmd});
}

long long number(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

TEST(StoreKill, EveryGameIsRecordedWholeOrNotAtAll) {
    int argc = 1;
    char arg0[] = "store_kill";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path() / ("quorbit-kill-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string db = (dir / "store.sqlite").string();
    const int port = freePort();
    auto server = startServer(dir, port, db);
    const testsupport::BoardWords words;
    std::vector<std::unique_ptr<Player>> players;
    for (int i = 0; i < 2 * kTables; ++i) {
        auto p = std::make_unique<Player>();
        p->name = "P" + std::to_string(i);
        p->seat = i % 2 + 1;
        ASSERT_TRUE(p->join(port, "t" + std::to_string(i / 2))) << p->name;
        ASSERT_TRUE(p->client.waitFor("CMD_newplayerinfo+" + std::to_string(p->seat), 3s));
        players.push_back(std::move(p));
    }
    // The players speak plain text, in which no password travels, so they cannot log in to
    // accounts, and a registered name is not given to a guest: their names are registered
    // once they are seated, which makes every game they finish a rated one.
    {
        store::Store st;
        ASSERT_TRUE(st.open(store::parseDatabaseTarget(QString::fromStdString(db)))) << st.error().toStdString();
        for (int i = 0; i < 2 * kTables; ++i)
            ASSERT_EQ(st.registerAccount("P" + std::to_string(i), "pw", 1), store::Store::Registered::Created);
    }
    for (int t = 0; t < kTables; ++t) ASSERT_TRUE(players[2 * t]->start());

    int heard = 0;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (heard < kWinsBeforeKill && std::chrono::steady_clock::now() < deadline) {
        heard = 0;
        for (auto& p : players) {
            ASSERT_TRUE(p->serve(words)) << p->name << ": the server went away";
            if (p->seat == 1) heard += p->wins;
        }
    }
    ASSERT_GE(heard, kWinsBeforeKill) << "too few games were won in time";
    EXPECT_EQ(server->stop(SIGKILL), -SIGKILL);
    players.clear();

    // A restart opens the store as it was left; the server then stops as it should.
    const int again = freePort();
    server = startServer(dir, again, db);
    WireClient probe;
    ASSERT_TRUE(probe.connect(again));
    EXPECT_EQ(server->stop(SIGTERM), 0);

    store::Store st;
    ASSERT_TRUE(st.open(store::parseDatabaseTarget(QString::fromStdString(db)))) << st.error().toStdString();
    QSqlDatabase& d = st.database();
    const long long games = st.gameCount();
    EXPECT_GE(games, heard - kTables);  // at most one game a table was still being written
    EXPECT_EQ(number(d, "SELECT COUNT(*) FROM games g WHERE (SELECT COUNT(*) FROM game_players p"
                        " WHERE p.game_id = g.id) <> 2"), 0);
    EXPECT_EQ(number(d, "SELECT COUNT(*) FROM games g WHERE g.model <> 'glicko2' OR (SELECT COUNT(*)"
                        " FROM rating_history h WHERE h.game_id = g.id) <> 2"), 0);
    // Each player's rating is the end of an unbroken chain of changes, one per game.
    for (int i = 0; i < 2 * kTables; ++i) {
        const std::string name = "P" + std::to_string(i);
        const auto rating = st.rating(name);
        ASSERT_TRUE(rating);
        const auto history = st.history(name, 1000000);
        EXPECT_EQ(rating->games, static_cast<int>(history.size())) << name;
        double before = 1500.0;
        for (auto it = history.rbegin(); it != history.rend(); ++it) {
            EXPECT_EQ(it->glickoBefore.rating, before) << name << " game " << it->game;
            before = it->glickoAfter.rating;
        }
        EXPECT_EQ(rating->glicko.rating, before) << name;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace quorbit::e2e
