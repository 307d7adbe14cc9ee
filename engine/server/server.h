#pragma once
// Table: one table of the game server. Its connections and seats, who controls each
// seat, login and names, chat and action relay, kicks and the host's powers, the limits
// on what a connection may send, the pump that serves received lines one at a time, and
// the Game played at it (server/game.h).
//
// It has no sockets or clocks of its own. The host reports connections and bytes, and
// calls the timer handlers; everything the table wants done leaves through ServerOutput.
// All calls come from one thread, one at a time. Tables share nothing mutable: a process
// may hold many side by side, each with its own output, generator and game.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
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
#include "rules/seats.h"
#include "rules/turn.h"
#include "rules/zubolevel.h"
#include "server/game.h"
#include "server/server_output.h"

namespace quorbit::server {

using rules::kBoardSize;
using rules::kPlayingSeats;
using rules::kSeats;
using rules::Phase;
using rules::ZuboLevel;
using protocol::kMaxQueuedLines;
// A connection not logged in within this many milliseconds is closed.
inline constexpr std::int64_t kLoginMs = protocol::kLoginSeconds * std::int64_t{1000};

// `name`, or it cut short with " (2)", " (3)"... appended, so that it is neither the
// computer player's name nor `taken` (names compared as sameName does), and is still no
// longer than a name may be.
std::string madeUnique(const std::string& name, const std::function<bool(std::string_view)>& taken);
// A received chat or action text ("line|colour") as it is passed on: capped, and without
// the colour kept for the system's own notices.
std::string cleanChatText(std::string_view lineAndColour);

// One seat of the table.
struct tplayer {
    std::string name;         // empty until login and after disconnection
    bool connected = false;   // holds a live connection (from accept, before login)
    bool loggedin = false;    // has sent its login since it connected
    std::string lastname;     // the name of the seat's last player, kept after he leaves
    ConnectionId sock = -1;   // that connection
    // Who plays its turns: its holder, or the computer while he just watches; the
    // computer's seat while nobody holds it; nobody for another empty seat.
    SeatControl control = SeatControl::Nobody;
};

class Table final : private GameTable {
public:
    // `out` is the host; `spell` the dictionary; `random` the injected generator;
    // `computerWords` the computer player's list (lower-case, newline-separated).
    Table(ServerOutput& out, const dictionary::TDictn& spell, Random& random,
          std::string_view computerWords = dictionary::builtinComputerWords());
    // The same with the computer's list already split, shared with other tables.
    Table(ServerOutput& out, const dictionary::TDictn& spell, Random& random,
          std::shared_ptr<const std::vector<std::string>> computerWords);
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // A connection was accepted at `nowMs` (milliseconds on any steady clock of the host).
    void opened(ConnectionId id, std::int64_t nowMs = 0);
    // The same for a connection that comes to watch: it takes the lowest free seat from 5
    // to 9, or, when they are all held, the seat of the one among them that has waited
    // longest without logging in.
    void openedWatching(ConnectionId id, std::int64_t nowMs = 0);
    void received(ConnectionId id, std::string_view bytes);  // bytes read from it (raw, any split)
    void closed(ConnectionId id);                            // it closed or failed (ignored if unknown)
    void socktimerTimer();     // the 10 ms pump: serves at most one queued line
    // True while some connection has lines the pump has not served yet: the host runs
    // the pump only then.
    bool hasUnservedLines() const;
    void Timer1Timer() { game_.Timer1Timer(); }                // the 1 s turn clock tick (while enabled)
    void computertimerTimer() { game_.computertimerTimer(); }  // the 1 s computer-player tick (while enabled)
    // Closes every connection that has not logged in within kLoginMs of its opening.
    void loginTimer(std::int64_t nowMs);
    // When loginTimer next has something to do; nothing while every connection is
    // logged in. The host runs a single-shot timer for it.
    std::optional<std::int64_t> nextLoginDeadline() const;

    // The game played at this table.
    Game& game() { return game_; }
    const Game& game() const { return game_; }

    // The game's controls and state, as the host and the tests use them.
    using Submission = Game::Submission;
    void computerplay() { game_.computerplay(); }
    Submission submitPath(int seat, std::span<const rules::PathStep> path) { return game_.submitPath(seat, path); }
    void setZubolevel(ZuboLevel level) { game_.setZubolevel(level); }
    void setZubolevel(int seat, ZuboLevel level) { game_.setZubolevel(seat, level); }
    ZuboLevel zubolevel(int seat = rules::kComputerSeat) const { return game_.zubolevel(seat); }
    // The language of the next game (null: English); clients hear of it when that game starts.
    void setLanguage(std::shared_ptr<const language::LoadedLanguage> language) { game_.setLanguage(std::move(language)); }
    std::string_view languageCode() const { return game_.languageCode(); }
    bool gamerunning() const { return game_.running(); }
    int currentplayer() const { return game_.currentplayer(); }
    int lastplayer() const { return game_.lastplayer(); }
    Phase phase() const { return game_.phase(); }
    int countdown() const { return game_.countdown(); }
    int shiftdirection() const { return game_.shiftdirection(); }
    int teamascore() const { return game_.teamascore(); }
    int teambscore() const { return game_.teambscore(); }
    bool teamgame() const { return game_.teamgame(); }
    int playtoscore() const { return game_.playtoscore(); }
    int timeperturn() const { return game_.timeperturn(); }
    int score(int seat) const { return game_.score(seat); }
    int shufflesleft(int seat) const { return game_.shufflesleft(seat); }
    bool timer1Enabled() const { return game_.timer1Enabled(); }
    bool computertimerEnabled() const { return game_.computertimerEnabled(); }
    const protocol::BoardCodes& board() const { return game_.board(); }

    // Read-only views of the table, for the host's log and for tests.
    const tplayer& seat(int n) const { return players_[static_cast<std::size_t>(clampSeat(n))]; }
    SeatControl control(int seat) const override { return this->seat(seat).control; }
    int seatOf(ConnectionId id) const;  // 0 when the connection holds no seat
    int playercount() const { return playercount_; }
    std::size_t queuedLines(ConnectionId id) const;
    const std::vector<std::string>& computerWords() const { return *words_; }

    // The seat that holds the host's powers (starting and restarting games, kicking,
    // switching any seat to just watching): the first seat to log in, then, when the host
    // leaves, the seat logged in longest. 0 while nobody is logged in.
    int host() const { return host_; }
    // Tells every seat who the host is (protocol::tables::Host) whenever that changes, and
    // each newcomer at its login. Off for the single table of a window's host mode, whose
    // seats learn nothing new on the wire.
    void tellHost(bool on) { tellsHost_ = on; }
    // A message the host hears after its own "host" message: at the end of its login when
    // it logs in as host, and when the powers pass to it. Empty: none.
    void setHostNote(std::string message) { hostNote_ = std::move(message); }
    // The shuffles each player had at the start of the last game (0 before the first).
    int shufflespergame() const { return game_.shufflespergame(); }

private:
    struct Connection {
        int seat = 0;
        protocol::LineCutter cutter;
        std::deque<std::string> lines;
        std::size_t queuedBytes = 0;  // the size of `lines`
        std::int64_t openedAt = 0;
    };

    int freeSeat(int first);
    void seatNewcomer(ConnectionId id, std::int64_t nowMs, int first);
    static int clampSeat(int n) { return (n >= 0 && n <= kSeats) ? n : 0; }
    tplayer& player(int n) { return players_[static_cast<std::size_t>(clampSeat(n))]; }
    // Who controls a seat nobody holds.
    static SeatControl unheld(int seat) {
        return seat == rules::kComputerSeat ? SeatControl::Computer : SeatControl::Nobody;
    }

    // What the game asks of its table.
    void sendTo(int seat, std::string_view message) override;
    void sendAll(std::string_view message) override;
    void sendAllBut(int seat, std::string_view message) override;
    std::string playerName(int seat) const override;
    void clockChanged(ServerTimer timer, bool enabled) override { out_.timerChanged(timer, enabled); }
    void log(const std::string& line) override { logSender(line); }

    // Connections and relay.
    void buildDispatch();
    void dropConnection(ConnectionId id, bool closeIt);
    void seatGone(int seat);
    void relay(std::string_view message);  // sendAll for a text a player wrote
    std::string uniqueName(int seat, const std::string& name) const;
    bool fromSender(int seat) const { return senderSeat_ != 0 && seat == senderSeat_; }
    // A log line about the line being handled, tied to its connection when there is one.
    void logSender(const std::string& line);
    void receivedlogininfo(const protocol::toserver::Logininfo& m);
    void kickhim(const protocol::toserver::Kickhim& m);
    void chat(const protocol::toserver::Chat& m);
    void action(const protocol::toserver::Action& m);
    void justwatch(const protocol::toserver::Justwatch& m);
    void startgame(const protocol::toserver::Startgame& m);
    // The turn messages go to the game with the sender's seat.
    void selectletter(const protocol::toserver::Selectletter& m) { game_.selectletter(senderSeat_, m); }
    void selectclear(const protocol::toserver::Selectclear& m) { game_.selectclear(senderSeat_, m); }
    void clearletter(const protocol::toserver::Clearletter& m) { game_.clearletter(senderSeat_, m); }
    void direction(const protocol::toserver::Direction& m) { game_.direction(senderSeat_, m); }
    void shuffle(const protocol::toserver::Shuffle& m) { game_.shuffle(senderSeat_, m); }
    void playerdone(const protocol::toserver::Playerdone& m) { game_.playerdone(senderSeat_, m); }

    void setHost(int seat);
    void sendHost(int seat);

    ServerOutput& out_;
    std::shared_ptr<const std::vector<std::string>> words_;
    protocol::Dispatcher dispatch_;

    std::map<ConnectionId, Connection> connections_;
    ConnectionId lastServed_ = -1;
    bool anyServed_ = false;
    int senderSeat_ = 0;  // seat of the connection whose line is being handled
    ConnectionId senderId_ = -1;  // that connection

    std::array<tplayer, kSeats + 1> players_{};  // seats 1..9; index 0 unused
    int playercount_ = 0;
    int host_ = 0;
    bool tellsHost_ = false;
    std::string hostNote_;
    std::uint64_t logins_ = 0;                       // logins so far
    std::array<std::uint64_t, kSeats + 1> loginOrder_{};  // by seat: its login's number
    Game game_;  // last: it is built on the members above
};

// The name the host and the tests know the server by: a table with its game.
using TServer = Table;

}  // namespace quorbit::server
