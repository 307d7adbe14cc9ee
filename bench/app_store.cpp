// The server's store with 100,000 accounts, in SQLite and in PostgreSQL (a durable server
// of the benchmark's own, on a Unix socket): a won game written with its rating changes,
// the top 100, one player's history, and a login without the password hash's own cost
// (the accounts' hashes are made at libsodium's least cost; the interactive hash is
// measured on its own). Argument 0 is SQLite, 1 PostgreSQL.
#include <benchmark/benchmark.h>

#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <memory>
#include <string>

#include "app/store/passwords.h"
#include "app/store/store.h"
#include "support/store_backend.h"

namespace {
using quorbit::store::Store;

constexpr int kAccounts = 100000;

// Accounts p1..pN with ratings, and one game of two players for each account.
bool seed(Store& st, const std::string& hash) {
    QSqlQuery q(st.database());
    const QString n = QString::number(kAccounts);
    const QString series = "WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < " + n + ") ";
    const QStringList statements = {
        series + "INSERT INTO accounts (name_key, shown_name, password_hash, created) SELECT 'p' || i, 'p' || i, '" +
            QString::fromStdString(hash) + "', 0 FROM s",
        series + "INSERT INTO ratings SELECT 'p' || i, 1000 + (CAST(i AS BIGINT) * 7919) % 1000, 80, 0.06, 1 + i % 20, 25, 5,"
                 " 10 + (CAST(i AS BIGINT) * 104729) % 100 / 10.0, 1 + i % 7, 2 + i % 20 FROM s",
        series + "INSERT INTO games (finished, table_name, team_game, team_a, team_b, play_to, winner, language,"
                 " model, record) SELECT i, 't', 0, 0, 0, 100, 'p' || i, 'en', 'glicko2', 'CMD_winner' FROM s",
        "INSERT INTO game_players SELECT id, 1, 'p' || id, 'p' || id, 'person', 'classic', 0, 100 FROM games",
        "INSERT INTO rating_history SELECT 'p' || id, id, 'glicko2', 1500, 1510, 80, 79, 0.06, 0.06, 25, 25, 5, 5"
        " FROM games",
    };
    for (const QString& s : statements)
        if (!q.exec(s)) {
            std::fprintf(stderr, "seeding failed: %s\n", q.lastError().text().toStdString().c_str());
            return false;
        }
    if (st.postgres()) q.exec("ANALYZE");
    return true;
}

// The accounts' hashes are made at libsodium's least cost.
bool seedAccounts(Store& st) {
    const auto hash = quorbit::store::hashPassword("pw", quorbit::store::PasswordCost::Least);
    return hash && seed(st, *hash);
}


void BM_RatedGameWritten(benchmark::State& state) {
    STORE_OR_SKIP(state, seedAccounts);
    quorbit::server::GameFinished g;
    g.seats = {{1, "", 30, 0, quorbit::server::SeatResult::Player::Person, {}},
               {2, "", 10, 0, quorbit::server::SeatResult::Player::Person, {}}};
    int i = 0;
    for (auto _ : state) {
        g.seats[0].name = "p" + std::to_string(1 + (i * 7) % kAccounts);
        g.seats[1].name = "p" + std::to_string(1 + (i * 13 + 5) % kAccounts);
        ++i;
        if (!b->store.recordGame("t", g, "CMD_winner+x+", i)) state.SkipWithError("not written");
    }
}

void BM_Top100(benchmark::State& state) {
    STORE_OR_SKIP(state, seedAccounts);
    for (auto _ : state) {
        const auto top = b->store.top(quorbit::rating::Model::Glicko2, 100);
        if (top.size() != 100) state.SkipWithError("short list");
        benchmark::DoNotOptimize(top);
    }
}

void BM_PlayerHistory(benchmark::State& state) {
    STORE_OR_SKIP(state, seedAccounts);
    int i = 0;
    for (auto _ : state) {
        const auto h = b->store.history("p" + std::to_string(1 + (i++ * 7919) % kAccounts), 50);
        benchmark::DoNotOptimize(h);
    }
}

void BM_LoginWithoutHashCost(benchmark::State& state) {
    STORE_OR_SKIP(state, seedAccounts);
    int i = 0;
    for (auto _ : state) {
        ++i;
        const auto r = b->store.login("p" + std::to_string(1 + (i * 104729) % kAccounts), "pw", "127.0.0.1", i);
        if (r != Store::Login::Ok) state.SkipWithError("refused");
    }
}

void BM_PasswordHashInteractive(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(quorbit::store::hashPassword("correct horse"));
}

}  // namespace

BENCHMARK(BM_RatedGameWritten)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Top100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerHistory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoginWithoutHashCost)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasswordHashInteractive)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
