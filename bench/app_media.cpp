// What the sound cues and tile sets cost the window: dispatching a cue by name, loading a
// tile set from its bitmap (read, transparent colour, 36 pictures) and building the
// Tiles menu from the tile folder.
#include <QApplication>
#include <QMenu>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "app/media/soundplayer.h"
#include "app/media/tilesets.h"
#include "app/media/tilesmenu.h"

namespace {

struct Silent : quorbit::media::SoundOutput {
    int played = 0;
    void play(const QString&) override { ++played; }
    void beep() override { ++played; }
};

const QString kTiles = QString(QUORBIT_SOURCE_DIR) + "/assets/tiles";

void BM_PlaysoundsByName(benchmark::State& state) {
    auto output = std::make_unique<Silent>();
    Silent* silent = output.get();
    quorbit::media::SoundPlayer player(std::move(output));
    const QString names[] = {"place", "clear", "timer", "goodword", "winner", "TurnNew"};
    std::size_t i = 0;
    for (auto _ : state) player.playsounds(names[i++ % 6]);
    benchmark::DoNotOptimize(silent->played);
}
BENCHMARK(BM_PlaysoundsByName);

void BM_LoadTileSet(benchmark::State& state) {
    quorbit::media::TileSets sets({kTiles});
    for (auto _ : state) {
        const bool ok = sets.load("blue");
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_LoadTileSet)->Unit(benchmark::kMillisecond);

void BM_BuildTilesMenu(benchmark::State& state) {
    for (auto _ : state) {
        QMenu menu;
        quorbit::media::TilesMenu tiles(&menu, quorbit::media::TileSets({kTiles}));
        tiles.grouptilesmenu();
        benchmark::DoNotOptimize(menu.actions().size());
    }
}
BENCHMARK(BM_BuildTilesMenu)->Unit(benchmark::kMicrosecond);

}  // namespace

// main: bench/support/widgets_main.cpp
