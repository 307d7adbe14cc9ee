// The computer player's word search: on the worst board (no word of its list can be
// traced, so the whole list is scanned), on typical dealt boards, and through the server
// with the submission included. The host's window shares this thread, so each call
// should stay well under a millisecond.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/messages.h"
#include "rules/deal.h"
#include "computer/tracer.h"
#include "server/server.h"

using namespace quorbit;
using namespace quorbit::server;
using namespace quorbit::computer;
using protocol::BoardCodes;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> computerWords() { return dictionary::wordLines(dictionary::builtinComputerWords()); }

BoardCodes dealt(Random& random) {
    BoardCodes b{};
    for (auto& column : b)
        for (int& code : column) code = rules::drawcode(random.below(98) + 1);
    return b;
}

// A dealt board changed square by square until no word can be traced: every letter that
// ended a trace is replaced, so the board is full of near misses.
BoardCodes worstBoard(const std::vector<std::string>& words) {
    SeededRandom random(7);
    BoardCodes b = dealt(random);
    for (int round = 0; round < 100000; ++round) {
        bool found = false;
        for (std::size_t i = 1; i < words.size() && !found; ++i) {
            if (words[i].size() < 4 || words[i].size() > 7) continue;
            if (auto path = checkforthere(b, words[i])) {
                const auto& step = (*path)[static_cast<std::size_t>(random.below(static_cast<int>(path->size())))];
                b[step.x][step.y] = rules::drawcode(random.below(98) + 1);
                found = true;
            }
        }
        if (!found) return b;
    }
    return b;
}

class NullOutput : public ServerOutput {
public:
    void send(ConnectionId, std::string_view) override {}
    void close(ConnectionId) override {}
    void timerChanged(ServerTimer, bool) override {}
    void log(std::string_view) override {}
};

const std::vector<std::string>& words() {
    static const std::vector<std::string> w = computerWords();
    return w;
}

void BM_ChoosewordWorstBoard(benchmark::State& state) {
    const BoardCodes board = worstBoard(words());
    SeededRandom random(1);
    if (chooseword(board, words(), random)) state.SkipWithError("the worst board has a traceable word");
    for (auto _ : state) benchmark::DoNotOptimize(chooseword(board, words(), random));
}
BENCHMARK(BM_ChoosewordWorstBoard)->Unit(benchmark::kMicrosecond);

void BM_ChoosewordDealtBoards(benchmark::State& state) {
    SeededRandom deal(3);
    std::vector<BoardCodes> boards;
    for (int i = 0; i < 256; ++i) boards.push_back(dealt(deal));
    SeededRandom random(1);
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(chooseword(boards[i++ % boards.size()], words(), random));
}
BENCHMARK(BM_ChoosewordDealtBoards)->Unit(benchmark::kMicrosecond);

// The whole move through the server: search, submission, dictionary check, scoring and
// the messages, on the boards of real games in seat 2's turn.
void BM_ServerComputerplay(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / ("bench-computerplay-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        const dictionary::TDictn spell(dir, dictionary::builtinWordFile());
        NullOutput out;
        SeededRandom random(5);
        TServer server(out, spell, random);
        server.opened(1);
        server.received(1, protocol::frame(protocol::toserver::logininfo(1, protocol::kVersion, "Ann")));
        server.socktimerTimer();
        protocol::GameSettings settings;
        settings.starter = "Ann";
        for (auto _ : state) {
            state.PauseTiming();
            server.received(1, protocol::frame(protocol::toserver::startgame(settings)));
            server.socktimerTimer();
            for (int t = 0; t < 68; ++t) server.Timer1Timer();  // seat 1 passes: seat 2 to move
            state.ResumeTiming();
            server.computerplay();
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_ServerComputerplay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
