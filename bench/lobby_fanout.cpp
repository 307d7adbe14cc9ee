// The table server's cost of keeping its lobby up to date: 200 lobby members and 1,000
// public tables, each with a player. One change is a watcher sitting down at a table (or
// leaving it again), which changes that table's line and that person's place; the pump
// ticks once per change, as at 100 changes a second with a 10 ms tick.
//
// Reports the server's time per change (everything from the connection's arrival to the
// lines sent to every member), the bytes each member receives per change, and the CPU
// share that 100 changes a second would cost. A second benchmark measures a member
// entering a lobby of that size: the first listing.
//
// Run with --benchmark_filter=Lobby.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/framing.h"
#include "protocol/lobby_messages.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "server/tables.h"

using namespace quorbit;
using namespace quorbit::server;

namespace {

constexpr int kMembers = 200;
constexpr int kTables = 1000;
constexpr ConnectionId kFirstMember = 1;
constexpr ConnectionId kFirstPlayer = 1000;
constexpr ConnectionId kFirstWatcher = 10000;

// Counts what is sent to the lobby's members.
class CountingOutput : public TablesOutput {
public:
    void send(ConnectionId id, std::string_view bytes) override {
        if (id >= kFirstMember && id < kFirstMember + kMembers) toMembers += bytes.size();
        total += bytes.size();
    }
    void close(ConnectionId) override {}
    void log(std::string_view) override {}
    std::uint64_t toMembers = 0;
    std::uint64_t total = 0;
};

std::string address(int n) { return "10." + std::to_string(n / 65536) + "." + std::to_string(n / 256 % 256) + "." + std::to_string(n % 256); }

struct Lobby1000 {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("bench-lobby-" + std::to_string(::getpid()));
    std::unique_ptr<dictionary::TDictn> spell;
    CountingOutput out;
    std::unique_ptr<TableServer> server;
    std::int64_t now = 1000;

    Lobby1000() {
        std::filesystem::create_directories(dir);
        spell = std::make_unique<dictionary::TDictn>(dir, dictionary::builtinWordFile());
        TableServer::Options o;
        o.limits.tables = 4 * kTables;
        o.limits.connections = 100000;
        server = std::make_unique<TableServer>(out, *spell, o);
        for (int t = 0; t < kTables; ++t) {
            const ConnectionId id = kFirstPlayer + t;
            sit(id, "Table " + std::to_string(t), "Player " + std::to_string(t), address(t));
        }
        for (int m = 0; m < kMembers; ++m) enter(kFirstMember + m, "Member " + std::to_string(m), address(100000 + m));
    }
    ~Lobby1000() {
        server.reset();
        std::filesystem::remove_all(dir);
    }
    void pump() {
        while (server->hasUnservedLines()) {
            now += kPumpMs;
            server->pumpTick(now);
        }
    }
    void sit(ConnectionId id, const std::string& table, const std::string& name, const std::string& from) {
        server->opened(id, from, now);
        server->received(id, protocol::frame(protocol::tables::Table{table}.format()), now);
        const int seat = server->tableOf(id)->seatOf(id);
        server->received(id, protocol::frame(protocol::toserver::logininfo(seat, protocol::kVersion, name)), now);
        pump();
    }
    void enter(ConnectionId id, const std::string& name, const std::string& from) {
        server->opened(id, from, now);
        server->received(id, protocol::frame(protocol::lobby::Lobby{name}.format()), now);
        pump();
    }
};

void BM_LobbyFanOut(benchmark::State& state) {
    Lobby1000 lobby;
    std::vector<bool> watched(kTables, false);
    const std::uint64_t before = lobby.out.toMembers;
    std::int64_t changes = 0;
    for (auto _ : state) {
        const int t = static_cast<int>(changes % kTables);
        const ConnectionId id = kFirstWatcher + t;
        if (!watched[t]) {
            lobby.server->opened(id, address(200000 + t), lobby.now);
            lobby.server->received(id, protocol::frame(protocol::lobby::Watchtable{"Table " + std::to_string(t)}.format()), lobby.now);
            const int seat = lobby.server->tableOf(id)->seatOf(id);
            lobby.server->received(
                id, protocol::frame(protocol::toserver::logininfo(seat, protocol::kVersion, "Watcher " + std::to_string(t))),
                lobby.now);
        } else {
            lobby.server->closed(id, lobby.now);
        }
        watched[t] = !watched[t];
        lobby.now += kPumpMs;
        lobby.server->pumpTick(lobby.now);
        ++changes;
    }
    const double perMember = static_cast<double>(lobby.out.toMembers - before) / kMembers / static_cast<double>(changes);
    state.counters["bytes_per_member_per_change"] = perMember;
    state.counters["changes"] = static_cast<double>(changes);
    // 100 changes a second: the CPU time they take each second (per change x 100).
    state.counters["cpu_time_per_s_at_100_changes"] =
        benchmark::Counter(static_cast<double>(changes) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LobbyFanOut)->Unit(benchmark::kMicrosecond);

void BM_LobbyEnter(benchmark::State& state) {
    Lobby1000 lobby;
    ConnectionId id = 50000;
    std::uint64_t bytes = 0;
    std::uint64_t listing = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::uint64_t before = lobby.out.toMembers;
        const std::uint64_t beforeAll = lobby.out.total;
        state.ResumeTiming();
        lobby.server->opened(id, address(300000), lobby.now);
        lobby.server->received(id, protocol::frame(protocol::lobby::Lobby{"Newcomer"}.format()), lobby.now);
        lobby.server->closed(id, lobby.now);
        lobby.now += kPumpMs;
        lobby.server->pumpTick(lobby.now);
        state.PauseTiming();
        bytes = lobby.out.toMembers - before;  // what the members heard of it: its coming and going
        listing = lobby.out.total - beforeAll - bytes;
        ++id;
        state.ResumeTiming();
    }
    state.counters["member_bytes_per_visit"] = static_cast<double>(bytes) / kMembers;
    state.counters["first_listing_bytes"] = static_cast<double>(listing);
}
BENCHMARK(BM_LobbyEnter)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
