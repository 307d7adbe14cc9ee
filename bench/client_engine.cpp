// How fast the client's engine works off received lines and a player's clicks, and the
// cost of the chat box's colour and link look-ups.
#include <benchmark/benchmark.h>

#include <string>

#include "client/client_engine.h"
#include "common/random.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "social/colour.h"
#include "social/links.h"

using namespace quorbit;
using namespace quorbit::client;
namespace tc = protocol::toclient;

namespace {

std::string boardBytes() {
    protocol::BoardCodes codes{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) codes[x][y] = 1 + (x * 7 + y) % 26;
    return protocol::frame(tc::theboard(codes));
}

void loggedIn(ClientEngine& engine, int seat) {
    engine.setLaunch(true, "Ann");
    engine.received(protocol::frame(tc::sendlogininfo(seat)) + protocol::frame(tc::newplayerinfo(seat, "Ann")) +
                    protocol::frame(tc::startgame({"Ann", 500, 60, false, 1})));
    while (engine.pump()) {}
    engine.takeOutgoing();
}

// One whole board message: cut, queued and handled.
void BM_TheBoard(benchmark::State& state) {
    SeededRandom rng(1);
    ClientEngine engine(rng);
    loggedIn(engine, 2);
    const std::string bytes = boardBytes();
    for (auto _ : state) {
        engine.received(bytes);
        engine.pump();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TheBoard);

// An onlooker's turn: the board, the turn, four echoed letters, the word and the slide.
void BM_OnlookersTurn(benchmark::State& state) {
    SeededRandom rng(1);
    ClientEngine engine(rng);
    loggedIn(engine, 2);
    std::string bytes = boardBytes() + protocol::frame(tc::nextplayer(1, 1));
    for (int i = 1; i <= 4; ++i) bytes += protocol::frame(tc::selectletter(1, i, i, i));
    bytes += protocol::frame(tc::madeword(1, "ABCD", 9, 9, 9, 0, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    bytes += protocol::frame(tc::moving(1));
    for (auto _ : state) {
        engine.received(bytes);
        while (engine.pump()) {}
        engine.takeSounds();
        engine.takeChatLines();
        engine.takeTallyCalls();
    }
    state.SetItemsProcessed(state.iterations() * 9);
}
BENCHMARK(BM_OnlookersTurn);

// The mover builds a seven-letter chain and submits it.
void BM_MoversChain(benchmark::State& state) {
    SeededRandom rng(1);
    ClientEngine engine(rng);
    loggedIn(engine, 1);
    engine.received(boardBytes() + protocol::frame(tc::nextplayer(1, 1)));
    while (engine.pump()) {}
    for (auto _ : state) {
        for (int y = 0; y < 7; ++y) engine.boardClick({0, y}, MouseButton::Left);
        engine.buttonDoneClick();
        benchmark::DoNotOptimize(engine.takeOutgoing());
        engine.takeSounds();
    }
    state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_MoversChain);

void BM_ColourFromText(benchmark::State& state) {
    const std::string texts[] = {"clBlack", "clwindowtext", "$00FF8040", "16711680", "nonsense"};
    for (auto _ : state)
        for (const auto& t : texts) benchmark::DoNotOptimize(social::colourFromText(t));
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_ColourFromText);

// A link look-up under the mouse in a long chat box.
void BM_LinkAt(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "Bo chats: see www.example" + std::to_string(i) + ".org now\r\n";
    const std::size_t at = text.find("www", text.size() / 2) + 5;
    for (auto _ : state) benchmark::DoNotOptimize(social::linkAt(text, at));
}
BENCHMARK(BM_LinkAt);

}  // namespace

BENCHMARK_MAIN();
