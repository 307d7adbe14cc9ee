// Plays the computer player's levels against each other through the real game server,
// engine only, with the clocks fast-forwarded, and prints a table of win rates and
// average points per word.
//   quorbit_zubostrength [GAMES (200)] [PLAY-TO (300)]
// Each pairing plays GAMES seeded games; the two levels swap seats every other game, so
// neither always moves first.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "server/server.h"
#include "rules/zubolevel.h"

using namespace quorbit;
using rules::ZuboLevel;

namespace {

class Quiet : public server::ServerOutput {
public:
    void send(server::ConnectionId, std::string_view) override {}
    void close(server::ConnectionId) override {}
    void timerChanged(server::ServerTimer, bool) override {}
    void log(std::string_view) override {}
};

struct Side {
    int wins = 0;
    long points = 0;
    long words = 0;
};

struct Outcome {
    int winner = 0;  // seat 1 or 2; 0 when the game did not end
    std::array<int, 3> points{};
    std::array<int, 3> words{};
};

// One game: seat 1 logs in, starts and hands its turns to the computer; seat 2 is free.
Outcome play(const dictionary::TDictn& spell, std::uint64_t seed, ZuboLevel one, ZuboLevel two, int playTo) {
    Quiet out;
    SeededRandom random(seed);
    server::TServer s(out, spell, random);
    s.opened(1);
    s.received(1, protocol::frame(protocol::toserver::logininfo(1, protocol::kVersion, "Host")));
    s.socktimerTimer();
    s.setZubolevel(1, one);
    s.setZubolevel(2, two);
    protocol::GameSettings settings;
    settings.starter = "Host";
    settings.playTo = playTo;
    s.received(1, protocol::frame(protocol::toserver::startgame(settings)));
    s.received(1, protocol::frame(protocol::toserver::justwatch(1, 1)));
    for (int i = 0; i < 4; ++i) s.socktimerTimer();
    Outcome o;
    for (long tick = 0; tick < 1000000 && s.gamerunning(); ++tick) {
        const int before[3] = {0, s.score(1), s.score(2)};
        if (s.computertimerEnabled())
            s.computertimerTimer();
        else if (s.timer1Enabled())
            s.Timer1Timer();
        else
            break;
        for (int seat = 1; seat <= 2; ++seat)
            if (s.score(seat) != before[seat]) ++o.words[static_cast<std::size_t>(seat)];
    }
    for (int seat = 1; seat <= 2; ++seat) o.points[static_cast<std::size_t>(seat)] = s.score(seat);
    if (!s.gamerunning()) o.winner = s.score(1) > s.score(2) ? 1 : 2;
    return o;
}

void pairing(const dictionary::TDictn& spell, ZuboLevel a, ZuboLevel b, int games, int playTo) {
    Side sa, sb;
    int unfinished = 0;
    for (int g = 0; g < games; ++g) {
        const bool swap = g % 2 == 1;
        const Outcome o = play(spell, 1000 + static_cast<std::uint64_t>(g / 2), swap ? b : a, swap ? a : b, playTo);
        const int seatA = swap ? 2 : 1;
        const int seatB = 3 - seatA;
        if (o.winner == 0) ++unfinished;
        if (o.winner == seatA) ++sa.wins;
        if (o.winner == seatB) ++sb.wins;
        sa.points += o.points[static_cast<std::size_t>(seatA)];
        sa.words += o.words[static_cast<std::size_t>(seatA)];
        sb.points += o.points[static_cast<std::size_t>(seatB)];
        sb.words += o.words[static_cast<std::size_t>(seatB)];
    }
    auto perWord = [](const Side& s) { return s.words ? static_cast<double>(s.points) / static_cast<double>(s.words) : 0.0; };
    std::printf("%-8s vs %-8s %5d games  %-8s wins %5.1f%%  %-8s wins %5.1f%%  points/word %6.2f : %6.2f%s\n",
                std::string(rules::zuboLevelName(a)).c_str(), std::string(rules::zuboLevelName(b)).c_str(), games,
                std::string(rules::zuboLevelName(a)).c_str(), 100.0 * sa.wins / games,
                std::string(rules::zuboLevelName(b)).c_str(), 100.0 * sb.wins / games, perWord(sa), perWord(sb),
                unfinished ? ("  (" + std::to_string(unfinished) + " unfinished)").c_str() : "");
}

}  // namespace

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 200;
    const int playTo = argc > 2 ? std::atoi(argv[2]) : 300;
    if (games < 1 || playTo < 1) {
        std::fprintf(stderr, "usage: quorbit_zubostrength [GAMES] [PLAY-TO]\n");
        return 2;
    }
    const auto dir = std::filesystem::temp_directory_path() / ("zubostrength-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        const dictionary::TDictn spell(dir, dictionary::builtinWordFile());
        std::printf("play-to %d, %d games per pairing, levels swap seats every game\n", playTo, games);
        pairing(spell, ZuboLevel::Expert, ZuboLevel::Classic, games, playTo);
        pairing(spell, ZuboLevel::Strong, ZuboLevel::Classic, games, playTo);
        pairing(spell, ZuboLevel::Expert, ZuboLevel::Strong, games, playTo);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
