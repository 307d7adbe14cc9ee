// The table directory on PostgreSQL (a durable server of the benchmark's own, on a Unix
// socket) and on SQLite: one table's row written with the notification that follows it,
// as a table server does on its event loop, and the read of 1,000 rows, as a server does
// every 30 seconds. Argument 0 is SQLite, 1 PostgreSQL.
#include <benchmark/benchmark.h>


#include <memory>
#include <string>

#include "app/store/store.h"
#include "support/store_backend.h"

namespace {
using quorbit::store::Store;
using quorbit::store::TableEntry;

constexpr int kRows = 1000;

TableEntry row(int server, int table, int players) {
    return {"server" + std::to_string(server) + ".example:7772", "Table " + std::to_string(table), players, 0, false,
            300, "classic", 60, false, 1, "en"};
}

// 1,000 tables over 10 servers.
bool fillDirectory(Store& st) {
    for (int i = 0; i < kRows; ++i)
        if (!st.putTable(row(i % 10, i, i % 4), 100)) return false;
    return true;
}

void BM_OneTableWrittenAndNotified(benchmark::State& state) {
    STORE_OR_SKIP(state, fillDirectory);
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
    STORE_OR_SKIP(state, fillDirectory);
    for (auto _ : state) {
        const auto rows = b->store.tables(0);
        if (rows.size() != static_cast<std::size_t>(kRows)) state.SkipWithError("rows missing");
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_ThousandRowsRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One server's 100 rows, as read when it notifies.
void BM_OneServersRowsRead(benchmark::State& state) {
    STORE_OR_SKIP(state, fillDirectory);
    for (auto _ : state) {
        const auto rows = b->store.tables(0, "server7.example:7772");
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_OneServersRowsRead)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
