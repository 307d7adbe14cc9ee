#pragma once
// The store a store benchmark measures: SQLite in a temporary folder (argument 0) or a
// durable PostgreSQL of the benchmark's own on a Unix socket (argument 1), each made once
// per program and filled by the benchmark's own function.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "app/store/store.h"
#include "testkit/postgres_server.h"

namespace quorbit::benchsupport {

struct StoreBackend {
    QTemporaryDir folder;
    std::unique_ptr<testsupport::PostgresServer> postgres;
    store::Store store;
    bool ready = false;
};

// The backend of argument `which`, made and filled on first use; null when it could not be.
inline StoreBackend* storeBackend(int which, const std::function<bool(store::Store&)>& fill) {
    static int argc = 1;
    static char arg0[] = "bench_store";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    static std::unique_ptr<StoreBackend> made[2];
    if (!made[which]) {
        auto b = std::make_unique<StoreBackend>();
        QString target = b->folder.filePath("store.sqlite");
        if (which == 1) {
            b->postgres = std::make_unique<testsupport::PostgresServer>(true);
            target = QString::fromStdString(b->postgres->createDatabase("bench"));
        }
        b->ready = !target.isEmpty() && b->store.open(store::parseDatabaseTarget(target)) && fill(b->store);
        made[which] = std::move(b);
    }
    return made[which]->ready ? made[which].get() : nullptr;
}

}  // namespace quorbit::benchsupport

// Declares `b`, the backend of the benchmark's argument, or skips the benchmark.
#define STORE_OR_SKIP(state, fill)                                                           \
    quorbit::benchsupport::StoreBackend* b =                                                \
        quorbit::benchsupport::storeBackend(static_cast<int>((state).range(0)), fill);     \
    if (!b) {                                                                                \
        (state).SkipWithError("this database could not be set up");                          \
        return;                                                                              \
    }                                                                                        \
    (state).SetLabel((state).range(0) == 0 ? "sqlite" : "postgresql")
