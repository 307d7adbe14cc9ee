#pragma once
// TServer: the game server. Seats and connections, login, chat relay, the board and its
// deals, turn rotation, turn actions, word scoring, the turn clock and the computer
// player Zubo.
//
// It has no sockets or clocks of its own. The host reports connections and bytes, and
// calls the three timer handlers; everything the server wants done leaves through
// ServerOutput. All calls come from one thread, one at a time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "protocol/dispatch.h"
#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "rules/board.h"
#include "rules/scoring.h"
#include "rules/seats.h"
#include "rules/turn.h"
#include "server/server_output.h"
#include "rules/zubolevel.h"
#include "solver/solver.h"

namespace quorbit::server {

using rules::kBoardSize;
using rules::kPlayingSeats;
using rules::kSeats;
using rules::Phase;
using rules::ZuboLevel;
using protocol::kMaxQueuedLines;
// A connection not logged in within this many milliseconds is closed.
inline constexpr std::int64_t kLoginMs = protocol::kLoginSeconds * std::int64_t{1000};

// One seat of the table.
struct tplayer {
    std::string name;         // empty until login and after disconnection
    bool connected = false;   // holds a live connection (from accept, before login)
    bool loggedin = false;    // has sent its login since it connected
    std::string lastname;     // the name of the seat's last player, kept after he leaves
    ConnectionId sock = -1;   // that connection
    int score = 0;
    bool watching = false;    // the computer plays this seat's turns
    int shufflesleft = 0;
};

class TServer {
public:
    // `out` is the host; `spell` the dictionary; `random` the injected generator;
    // `computerWords` the computer player's list (lower-case, newline-separated).
    TServer(ServerOutput& out, const dictionary::TDictn& spell, Random& random,
            std::string_view computerWords = dictionary::builtinComputerWords());
    TServer(const TServer&) = delete;
    TServer& operator=(const TServer&) = delete;

    // A connection was accepted at `nowMs` (milliseconds on any steady clock of the host).
    void opened(ConnectionId id, std::int64_t nowMs = 0);
    void received(ConnectionId id, std::string_view bytes);  // bytes read from it (raw, any split)
    void closed(ConnectionId id);                            // it closed or failed (ignored if unknown)
    void socktimerTimer();     // the 10 ms pump: serves at most one queued line
    // True while some connection has lines the pump has not served yet: the host runs
    // the pump only then.
    bool hasUnservedLines() const;
    void Timer1Timer();        // the 1 s turn clock tick (host calls it only while enabled)
    void computertimerTimer(); // the 1 s computer-player tick (host calls it only while enabled)
    // Closes every connection that has not logged in within kLoginMs of its opening.
    void loginTimer(std::int64_t nowMs);
    // When loginTimer next has something to do; nothing while every connection is
    // logged in. The host runs a single-shot timer for it.
    std::optional<std::int64_t> nextLoginDeadline() const;

    // Lets the computer choose a word for the current seat and play it.
    void computerplay();

    // What became of a submitted path.
    enum class Submission {
        Ignored,      // not the current player's turn (or its time is up), or an empty path
        Malformed,    // positions out of order or a square off the board
        Repeated,     // a square used twice
        NotTouching,  // two squares in a row that are not neighbours
        NotAWord,     // the letters spell no word of the dictionary
        Scored,       // the word was scored and the turn ended
    };
    // The one way a word is played, by a person's message or by the computer: checks the
    // path (positions 1, 2, 3... on the board, no square twice, each square a neighbour
    // of the one before), builds the word from the board and looks it up; a word is
    // scored, its squares emptied and the turn ended.
    Submission submitPath(int seat, std::span<const protocol::PathStep> path);
    // How well the computer plays: for every seat, or for one seat (0..9; others are
    // ignored). Classic until set.
    void setZubolevel(ZuboLevel level);
    void setZubolevel(int seat, ZuboLevel level);
    ZuboLevel zubolevel(int seat = 2) const { return zubolevels_[static_cast<std::size_t>(clampSeat(seat))]; }

    // Read-only views of the state, for the host's log and for tests.
    const tplayer& seat(int n) const { return players_[static_cast<std::size_t>(clampSeat(n))]; }
    int seatOf(ConnectionId id) const;  // 0 when the connection holds no seat
    int playercount() const { return playercount_; }
    bool gamerunning() const { return gamerunning_; }
    int currentplayer() const { return currentplayer_; }
    int lastplayer() const { return lastplayer_; }
    Phase phase() const { return phase_; }
    int countdown() const { return countdown_; }
    int shiftdirection() const { return shiftdirection_; }
    int teamascore() const { return teamascore_; }
    int teambscore() const { return teambscore_; }
    bool teamgame() const { return teamgame_; }
    int playtoscore() const { return playtoscore_; }
    int timeperturn() const { return timeperturn_; }
    bool timer1Enabled() const { return timer1Enabled_; }
    bool computertimerEnabled() const { return computertimerEnabled_; }
    const protocol::BoardCodes& board() const { return board_; }
    std::size_t queuedLines(ConnectionId id) const;
    const std::vector<std::string>& computerWords() const { return words_; }

private:
    struct Connection {
        int seat = 0;
        protocol::LineCutter cutter;
        std::deque<std::string> lines;
        std::size_t queuedBytes = 0;  // the size of `lines`
        std::int64_t openedAt = 0;
    };

    static int clampSeat(int n) { return (n >= 0 && n <= kSeats) ? n : 0; }
    tplayer& player(int n) { return players_[static_cast<std::size_t>(clampSeat(n))]; }

    // Connections and relay.
    void buildDispatch();
    void dropConnection(ConnectionId id, bool closeIt);
    void seatGone(int seat);
    void sendTo(int seat, std::string_view message);
    void sendAll(std::string_view message);
    void sendAllBut(int seat, std::string_view message);
    void relay(std::string_view message);  // sendAll for a text a player wrote
    std::string uniqueName(int seat, const std::string& name) const;
    bool fromSender(int seat) const { return senderSeat_ != 0 && seat == senderSeat_; }
    // A log line about the line being handled, tied to its connection when there is one.
    void logSender(const std::string& line);
    void receivedlogininfo(protocol::FieldReader& f);
    void kickhim(protocol::FieldReader& f);
    void chat(protocol::FieldReader& f);
    void action(protocol::FieldReader& f);
    void justwatch(protocol::FieldReader& f);

    // Board and rotation.
    void startgame(protocol::FieldReader& f);
    void startnextround();
    void createmaze();
    void findplayer();
    int nextEligible(int after) const;
    bool eligible(int seat) const;

    // Turn actions.
    bool turnMessageFrom(int seat, rules::TurnAction action) const;
    void selectletter(protocol::FieldReader& f);
    void selectclear(protocol::FieldReader& f);
    void clearletter(protocol::FieldReader& f);
    void direction(protocol::FieldReader& f);
    void shuffle(protocol::FieldReader& f);

    // Submission and scoring.
    void playerdone(protocol::FieldReader& f);
    bool checkforwin(int seat);
    bool playedByComputer(int seat) const;

    // Clocks.
    void setTimer1(bool on);
    void setComputertimer(bool on);
    void startComputer();

    ServerOutput& out_;
    const dictionary::TDictn& spell_;
    Random& random_;
    std::vector<std::string> words_;
    protocol::Dispatcher dispatch_;

    std::map<ConnectionId, Connection> connections_;
    ConnectionId lastServed_ = -1;
    bool anyServed_ = false;
    int senderSeat_ = 0;  // seat of the connection whose line is being handled
    ConnectionId senderId_ = -1;  // that connection

    std::array<tplayer, kSeats + 1> players_{};  // seats 1..9; index 0 unused
    int playercount_ = 0;
    bool gamerunning_ = false;
    int currentplayer_ = 0;
    int lastplayer_ = 0;
    bool teamgame_ = false;
    int playtoscore_ = 0;
    int timeperturn_ = 0;
    int shufflespergame_ = 0;
    int countdown_ = 0;
    Phase phase_ = Phase::None;
    int computerdelay_ = 0;
    int shiftdirection_ = 1;
    int teamascore_ = 0;
    int teambscore_ = 0;
    protocol::BoardCodes board_{};
    std::array<ZuboLevel, kSeats + 1> zubolevels_{};  // by seat
    solver::Solver solver_;
    bool timer1Enabled_ = false;
    bool computertimerEnabled_ = false;
};

}  // namespace quorbit::server
