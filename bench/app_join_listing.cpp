// What 1,006 announced services cost the Join window: each resolution goes through the
// bounded listing, and every change of the list updates the window's rows in place.
// One host announcing them all, and as many hosts as services.
#include <QApplication>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "discovery/gamelist.h"
#include "app/social/joinform.h"

namespace {

namespace discovery = quorbit::discovery;

void feed(benchmark::State& state, bool oneHost) {
    Tjoin join;
    auto* list = join.findChild<QTreeWidget*>("list_games");
    std::vector<discovery::FoundGame> services(1006);
    for (int i = 0; i < 1006; ++i) {
        discovery::FoundGame& g = services[static_cast<std::size_t>(i)];
        g.name = "Game " + std::to_string(1000 + i);
        g.host = oneHost ? "flood.local" : "h" + std::to_string(i) + ".local";
        g.address = oneHost ? "10.6.6.6" : "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        g.port = 7772;
        g.txt.players = 1;
    }
    int updates = 0;
    for (auto _ : state) {
        discovery::GameListing listing;
        join.setGames({});
        for (const discovery::FoundGame& g : services) {
            if (!listing.resolved({2, 0, g.name, "local"}, true, g).changed) continue;
            join.setGames(listing.games());
            ++updates;
        }
        benchmark::DoNotOptimize(list->topLevelItemCount());
    }
    state.counters["rows"] = list->topLevelItemCount();
    state.counters["updates"] = benchmark::Counter(updates, benchmark::Counter::kAvgIterations);
}

void BM_Join1006ServicesOneHost(benchmark::State& state) { feed(state, true); }
BENCHMARK(BM_Join1006ServicesOneHost)->Unit(benchmark::kMillisecond);

void BM_Join1006ServicesManyHosts(benchmark::State& state) { feed(state, false); }
BENCHMARK(BM_Join1006ServicesManyHosts)->Unit(benchmark::kMillisecond);

}  // namespace

// main: bench/support/widgets_main.cpp
