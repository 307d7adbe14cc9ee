// A whole seeded evening at one table, recorded byte for byte: four connections, the
// computer taking over a seat that was left, a spectator, chat and actions, a shuffle,
// a turn that runs out, the direction of a slide, a kick, a game played to its end and
// then a team game. Every line the server sends (and every close) is compared with the
// stored transcript, so a change to the server's shape that changes anything on the wire
// shows here. QUORBIT_UPDATE_GOLDEN=1 rewrites the file after a deliberate change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "server/server.h"
#include "solver/solver.h"

namespace quorbit::server {
namespace {

namespace proto = quorbit::protocol;
namespace ts = proto::toserver;

const char* const kGolden = QUORBIT_SOURCE_DIR "/tests/engine/server/golden_transcript.txt";

// Writes every wire event as one text line: "send ID LINE" or "close ID".
class Transcript : public ServerOutput {
public:
    void send(ConnectionId id, std::string_view bytes) override {
        text << "send " << id << ' ';
        for (const char c : bytes) {
            const auto u = static_cast<unsigned char>(c);
            if (u == static_cast<unsigned char>(proto::kTerminator)) text << "<END>";
            else if (u == '\\') text << "\\\\";
            else if (u < 0x20) text << "\\x" << "0123456789abcdef"[u >> 4] << "0123456789abcdef"[u & 15];
            else text << c;
        }
        text << '\n';
    }
    void close(ConnectionId id) override { text << "close " << id << '\n'; }
    void timerChanged(ServerTimer timer, bool enabled) override {
        (timer == ServerTimer::Timer1 ? timer1 : computer) = enabled;
    }
    void log(std::string_view) override {}

    std::ostringstream text;
    bool timer1 = false;
    bool computer = false;
};

class Evening {
public:
    Evening()
        : dir_(std::filesystem::temp_directory_path() / ("golden-" + std::to_string(::getpid()))),
          dict_(makeDir(dir_), dictionary::builtinWordFile()),
          server_(out_, dict_, random_) {}
    ~Evening() { std::filesystem::remove_all(dir_); }

    std::string run() {
        join(1, "Ann");
        join(2, "Bob");
        join(3, "Cid");
        join(4, "Dee");
        join(5, "Eve");  // the fifth seat only watches
        say(5, ts::chat(5, "hello all", "8421504"));
        say(1, ts::action(1, "waves", "255"));

        start(600, 30, false, 1);
        say(3, ts::chat(3, "good luck", "0"));
        playTurn(/*shuffle=*/true);  // Ann shuffles, then plays and picks the slide
        letRunOut();                 // Bob lets his turn run out
        server_.closed(2);           // and leaves: the computer takes his seat
        for (int turn = 0; turn < 60 && server_.gamerunning(); ++turn) playTurn(false);

        say(1, ts::kickhim(1, 4));  // the host sends Dee away; a newcomer takes the seat
        join(6, "Fay");
        start(500, 20, true, 2);
        for (int turn = 0; turn < 60 && server_.gamerunning(); ++turn) playTurn(turn == 1);
        say(5, ts::chat(5, "well played", "8421504"));
        return out_.text.str();
    }

private:
    static std::filesystem::path makeDir(const std::filesystem::path& p) {
        std::filesystem::create_directories(p);
        return p;
    }
    void pump() {
        while (true) {
            bool any = false;
            for (ConnectionId id = 1; id <= 6; ++id) any = any || server_.queuedLines(id) > 0;
            if (!any) return;
            server_.socktimerTimer();
        }
    }
    void say(ConnectionId id, const std::string& line) {
        server_.received(id, proto::frame(line));
        pump();
    }
    void join(ConnectionId id, const std::string& name) {
        server_.opened(id);
        const int seat = server_.seatOf(id);
        if (seat != 0) say(id, ts::logininfo(seat, proto::kVersion, name));
    }
    void start(int playTo, int seconds, bool team, int shuffles) {
        proto::GameSettings s;
        s.starter = "Ann";
        s.playTo = playTo;
        s.seconds = seconds;
        s.team = team;
        s.shuffles = shuffles;
        say(1, ts::startgame(s));
    }
    // One second of the host's clocks: the computer's delay, then the turn clock.
    void second() {
        if (out_.computer) server_.computertimerTimer();
        if (out_.timer1) server_.Timer1Timer();
        pump();
    }
    // Runs the clocks until a turn starts (or the game ends).
    void untilTurn() {
        for (int i = 0; i < 200 && server_.gamerunning(); ++i) {
            if (server_.currentplayer() != 0 && server_.phase() == rules::Phase::Turn) return;
            second();
        }
    }
    ConnectionId connectionOf(int seat) const {
        const tplayer& p = server_.seat(seat);
        return p.connected ? p.sock : -1;
    }
    // The current seat's turn: a person traces the best word on the board (after a
    // shuffle when asked), shows its letters one by one and picks a slide; the computer's
    // turn is left to its clock.
    void playTurn(bool shuffle) {
        untilTurn();
        if (!server_.gamerunning()) return;
        const int seat = server_.currentplayer();
        const ConnectionId id = connectionOf(seat);
        if (id >= 0 && server_.control(seat) == SeatControl::Person) {
            if (shuffle) say(id, ts::shuffle(seat));
            const auto best = solver_.best(server_.board(), solver::Vocabulary::Dictionary);
            if (best) {
                const auto path = best->path();
                for (const auto& step : path) say(id, ts::selectletter(seat, step.position, step.x, step.y));
                say(id, ts::playerdone(seat, path));
                say(id, ts::direction(seat, 1 + (best->score % 4)));
            }
        }
        second();
        while (server_.gamerunning() && !(server_.currentplayer() != 0 && server_.phase() == rules::Phase::Turn))
            second();
    }
    void letRunOut() {
        untilTurn();
        const int seat = server_.currentplayer();
        while (server_.gamerunning() && server_.currentplayer() == seat) second();
    }

    std::filesystem::path dir_;
    Transcript out_;
    SeededRandom random_{20261210};
    dictionary::TDictn dict_;
    TServer server_;
    solver::Solver solver_;
};

TEST(GoldenTranscript, AWholeEveningAtOneTableSendsTheRecordedBytes) {
    const std::string got = Evening().run();
    if (std::getenv("QUORBIT_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(kGolden, std::ios::binary) << got;
        GTEST_SKIP() << "rewrote " << kGolden;
    }
    std::ifstream in(kGolden, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << kGolden;
    const std::string want((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Compare line by line so that a difference names its place.
    std::istringstream a(got), b(want);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha && !hb) break;
        ASSERT_EQ(ha, hb) << "transcript length differs at line " << n;
        ASSERT_EQ(la, lb) << "transcript differs at line " << n;
    }
}

}  // namespace
}  // namespace quorbit::server
