// The table directory on PostgreSQL (a durable server of the benchmark's own, on a Unix
// socket) and on SQLite: one table's row written with the notification that follows it,
// as a table server does on its event loop, and the read of 1,000 rows, as a server does
// every 30 seconds. Argument 0 is SQLite, 1 PostgreSQL.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "app/store/store.h"
#include "testkit/postgres_server.h"

namespace {
using quorbit::store::Store;
using quorbit::store::TableEntry;

constexpr int kRows = 1000;

struct Backend {
    QTemporaryDir folder;
    std::unique_ptr<quorbit::testsupport::PostgresServer> postgres;
    Store store;
    bool ready = false;
};

TableEntry row(int server, int table, int players) {
    return {"server" + std::to_string(server) + ".example:7772", "Table " + std::to_string(table), players, 0, false,
            300, "classic", 60, false, 1, "en"};
}

Backend* backend(int which) {
    static int argc = 1;
    static char arg0[] = "bench_app_directory";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    static std::unique_ptr<Backend> made[2];
    if (!made[which]) {
        auto b = std::make_unique<Backend>();
        QString target = b->folder.filePath("store.sqlite");
        if (which == 1) {
            b->postgres = std::make_unique<quorbit::testsupport::PostgresServer>(true);
            target = QString::fromStdString(b->postgres->createDatabase("bench"));
        }
        b->ready = !target.isEmpty() && b->store.open(quorbit::store::parseDatabaseTarget(target));
        // 1,000 tables over 10 servers.
        for (int i = 0; b->ready && i < kRows; ++i) b->ready = b->store.putTable(row(i % 10, i, i % 4), 100);
        made[which] = std::move(b);
    }
    return made[which]->ready ? made[which].get() : nullptr;
}

#define STORE_OR_SKIP(state)                                        \
    Backend* b = backend(static_cast<int>((state).range(0)));       \
    if (!b) {                                                       \
        (state).SkipWithError("this database could not be set up"); \
        return;                                                     \
    }                                                               \
    (state).SetLabel((state).range(0) == 0 ? "sqlite" : "postgresql")

void BM_OneTableWrittenAndNotified(benchmark::State& state) {
    STORE_OR_SKIP(state);
    int i = 0;
    for (auto _ : state) {
        ++i;
        if (!b->store.putTable(row(3, 3 + 10 * (i % 100), i % 5), 200 + i) ||
            !b->store.notifyTables("server3.example:7772"))
            state.SkipWithError("not written");
    }
}
BENCHMARK(BM_OneTableWrittenAndNotified)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ThousandRowsRead(benchmark::State& state) {
    STORE_OR_SKIP(state);
    for (auto _ : state) {
        const auto rows = b->store.tables(0);
        if (rows.size() != static_cast<std::size_t>(kRows)) state.SkipWithError("rows missing");
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_ThousandRowsRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One server's 100 rows, as read when it notifies.
void BM_OneServersRowsRead(benchmark::State& state) {
    STORE_OR_SKIP(state);
    for (auto _ : state) {
        const auto rows = b->store.tables(0, "server7.example:7772");
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_OneServersRowsRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
