// What a busy lobby costs its window: 1,000 public tables and 200 people online. Opening
// the list is the whole first listing taken and drawn; a change is one table's line (a
// seat taken), one table made and one gone, or a person moving, each taken and drawn (the
// events that follow, the repainting of what changed among them, are handled).
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "app/lobby/lobbylists.h"
#include "app/lobby/lobbywindow.h"
#include "protocol/framing.h"

namespace {

namespace lobby = quorbit::lobby;
using quorbit::client::LobbyTable;

constexpr int kTables = 1000;
constexpr int kPeople = 200;

std::string tableLine(int i, int players) {
    LobbyTable t;
    t.name = "Table " + std::to_string(i);
    t.players = players;
    t.watchers = i % 3;
    t.running = i % 2 == 0;
    t.playTo = 100 + 50 * (i % 20);
    t.seconds = 60;
    t.zubo = i % 3 == 0 ? "expert" : "classic";
    t.shuffles = 1;
    t.language = i % 5 == 0 ? "fr" : "en";
    return t.format();
}

std::vector<std::string> listing() {
    std::vector<std::string> lines{"CMD_lobbyname+Person 0+"};
    for (int i = 0; i < kPeople; ++i)
        lines.push_back("CMD_person+Person " + std::to_string(i) + (i % 4 == 0 ? "+lobby++" : "+playing+Table " + std::to_string(i) + "+"));
    for (int i = 0; i < kTables; ++i) lines.push_back(tableLine(i, i % 5));
    lines.push_back("CMD_lobbyready+" + std::to_string(kPeople) + "+" + std::to_string(kTables) + "+");
    return lines;
}

std::unique_ptr<lobby::LobbyWindow> openWindow(const QTemporaryDir& dir) {
    lobby::Options options;
    options.game = dir.filePath("no-game");
    options.linkPort = 0;
    options.settingsPath = dir.filePath("orvanelobby.ini");
    auto window = std::make_unique<lobby::LobbyWindow>(options);
    window->show();
    QApplication::processEvents();
    return window;
}

void BM_LobbyOpenTheList(benchmark::State& state) {
    QTemporaryDir dir;
    const std::vector<std::string> lines = listing();
    for (auto _ : state) {
        state.PauseTiming();
        auto window = openWindow(dir);
        state.ResumeTiming();
        window->receive(lines);
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LobbyOpenTheList)->Unit(benchmark::kMillisecond);

// One change of each kind per iteration, each taken and drawn on its own.
void change(benchmark::State& state, const std::function<std::vector<std::string>(int)>& lines) {
    QTemporaryDir dir;
    auto window = openWindow(dir);
    window->receive(listing());
    QApplication::processEvents();
    int n = 0;
    for (auto _ : state) {
        window->receive(lines(n++));
        QApplication::processEvents();
    }
    state.counters["tables"] = static_cast<double>(window->lists().book().tables().size());
}

void BM_LobbyOneSeatTaken(benchmark::State& state) {
    change(state, [](int n) { return std::vector<std::string>{tableLine(n % kTables, 1 + n % 4)}; });
}
BENCHMARK(BM_LobbyOneSeatTaken)->Unit(benchmark::kMillisecond);

// The first table in the list's order, always in sight.
void BM_LobbyOneSeatTakenInSight(benchmark::State& state) {
    change(state, [](int n) { return std::vector<std::string>{tableLine(0, 1 + n % 4)}; });
}
BENCHMARK(BM_LobbyOneSeatTakenInSight)->Unit(benchmark::kMillisecond);

void BM_LobbyOneTableMadeOrGone(benchmark::State& state) {
    change(state, [](int n) {
        const int t = kTables + n / 2;
        return std::vector<std::string>{n % 2 == 0 ? tableLine(t, 0) : "CMD_lobbytablegone+Table " + std::to_string(t) + "+"};
    });
}
BENCHMARK(BM_LobbyOneTableMadeOrGone)->Unit(benchmark::kMillisecond);

void BM_LobbyOnePersonMoves(benchmark::State& state) {
    change(state, [](int n) {
        return std::vector<std::string>{"CMD_person+Person " + std::to_string(n % kPeople) +
                                        (n % 2 == 0 ? "+lobby++" : "+watching+Table 7+")};
    });
}
BENCHMARK(BM_LobbyOnePersonMoves)->Unit(benchmark::kMillisecond);

}  // namespace

// main: bench/support/widgets_main.cpp
