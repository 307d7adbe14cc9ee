#pragma once
// Game: one game at a table. The deal, the turn order, the phases and the turn clock,
// turn actions, submission and scoring, the win and the computer player's turns.
//
// It knows no connections: it reaches the players through its table (GameTable), which
// sends to every seat or to one and says who controls each seat. All calls come from the
// table's thread, one at a time.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/random.h"
#include "computer/computer_player.h"
#include "dictionary/dictn.h"
#include "language/loaded.h"
#include "protocol/messages.h"
#include "rules/board.h"
#include "rules/path.h"
#include "rules/seats.h"
#include "rules/turn.h"
#include "rules/zubolevel.h"
#include "server/server_output.h"
#include "solver/solver.h"

namespace quorbit::server {

// Who plays a seat's turns.
enum class SeatControl {
    Nobody,    // an empty seat: it has no turns (unless the game fills it, as a team partner)
    Person,    // the person on the connection that holds it
    Computer,  // the computer: the computer's own seat while nobody holds it, or a holder
               // who just watches
};

// What a game needs of its table.
class GameTable {
public:
    virtual ~GameTable() = default;
    virtual void sendTo(int seat, std::string_view message) = 0;  // nothing if nobody holds the seat
    virtual void sendAll(std::string_view message) = 0;
    virtual void sendAllBut(int seat, std::string_view message) = 0;
    virtual SeatControl control(int seat) const = 0;
    // The name a seat plays under: its holder's, the computer's on the computer's seat, or
    // else the name of its last holder.
    virtual std::string playerName(int seat) const = 0;
    virtual void clockChanged(ServerTimer timer, bool enabled) = 0;
    // A log line about the message being handled.
    virtual void log(const std::string& line) = 0;
};

// A game's options as the host asked for them, already clamped into range.
struct GameOptions {
    std::string starter;
    int playTo = 0;
    int seconds = 0;
    bool team = false;
    int shuffles = 0;
};

class Game {
public:
    // `spell` and `words` English's dictionary and computer's list (they must outlive the
    // game); `random` the table's generator. The game plays English until setLanguage.
    Game(GameTable& table, const dictionary::TDictn& spell, Random& random, const std::vector<std::string>& words);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Starts (or restarts) a game and deals its first round.
    void start(const GameOptions& options);
    // A seat's holder left the table.
    void seatLeft(int seat);
    // A seat's holder now just watches: the computer takes over a turn that is running.
    void nowWatching(int seat);
    // Brings a newcomer to a running game up to date: the board and the game's numbers.
    void tellNewcomer(int seat);

    // The turn messages, with `from` the seat of the connection that sent them (0: none).
    void selectletter(int from, const protocol::toserver::Selectletter& m);
    void selectclear(int from, const protocol::toserver::Selectclear& m);
    void clearletter(int from, const protocol::toserver::Clearletter& m);
    void direction(int from, const protocol::toserver::Direction& m);
    void shuffle(int from, const protocol::toserver::Shuffle& m);
    void playerdone(int from, const protocol::toserver::Playerdone& m);

    void Timer1Timer();         // the 1 s turn clock tick
    void computertimerTimer();  // the 1 s computer-player tick
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
    Submission submitPath(int seat, std::span<const rules::PathStep> path);

    // How well the computer plays: for every seat, or for one seat (0..9; others are
    // ignored). Classic until set.
    void setZubolevel(rules::ZuboLevel level);
    void setZubolevel(int seat, rules::ZuboLevel level);
    rules::ZuboLevel zubolevel(int seat = rules::kComputerSeat) const;

    // The language of the next game (null: English). It takes effect when a game starts,
    // which then tells every client if it differs from the language played before.
    void setLanguage(std::shared_ptr<const language::LoadedLanguage> language);
    // The language in play (the last game's, or English before the first): its ISO code.
    std::string_view languageCode() const { return language_ ? language_->code() : std::string_view("en"); }
    const std::shared_ptr<const language::LoadedLanguage>& language() const { return language_; }

    bool running() const { return running_; }
    int currentplayer() const { return currentplayer_; }
    int lastplayer() const { return lastplayer_; }
    rules::Phase phase() const { return phase_; }
    int countdown() const { return countdown_; }
    int shiftdirection() const { return shiftdirection_; }
    int teamascore() const { return teamascore_; }
    int teambscore() const { return teambscore_; }
    bool teamgame() const { return teamgame_; }
    int playtoscore() const { return playtoscore_; }
    int timeperturn() const { return timeperturn_; }
    int shufflespergame() const { return shufflespergame_; }
    int score(int seat) const { return rules::isPlayingSeat(seat) ? scores_[static_cast<std::size_t>(seat)] : 0; }
    int shufflesleft(int seat) const {
        return rules::isPlayingSeat(seat) ? shufflesleft_[static_cast<std::size_t>(seat)] : 0;
    }
    bool timer1Enabled() const { return timer1Enabled_; }
    bool computertimerEnabled() const { return computertimerEnabled_; }
    const protocol::BoardCodes& board() const { return board_; }

private:
    void startnextround();
    void createmaze();
    void findplayer();
    bool eligible(int seat) const;
    int nextEligible(int after) const;
    bool playedByComputer(int seat) const;
    bool turnMessageFrom(int from, int seat, rules::TurnAction action) const;
    bool checkforwin(int seat);
    void setTimer1(bool on);
    void setComputertimer(bool on);
    void startComputer();

    // Makes the dictionary, the values, the solver and the computer players of language_.
    void takeLanguage();
    // The letter code dealt for a draw of 1..98 in the language in play.
    int drawLetter(int v) const;

    GameTable& table_;
    const dictionary::TDictn& englishSpell_;
    const std::vector<std::string>& englishWords_;
    Random& random_;
    std::shared_ptr<const language::LoadedLanguage> language_;  // in play; null: English
    std::shared_ptr<const language::LoadedLanguage> next_;      // for the next game
    const dictionary::TDictn* spell_ = nullptr;
    const rules::LetterValues* values_ = &rules::kEnglishValues;
    std::vector<std::string> words_;  // the computer's list of a language other than English
    std::unique_ptr<solver::Solver> solver_;
    std::unique_ptr<computer::ComputerPlayers> computers_;

    bool running_ = false;
    int currentplayer_ = 0;
    int lastplayer_ = 0;
    bool teamgame_ = false;
    int playtoscore_ = 0;
    int timeperturn_ = 0;
    int shufflespergame_ = 0;
    int countdown_ = 0;
    rules::Phase phase_ = rules::Phase::None;
    int computerdelay_ = 0;
    int shiftdirection_ = 1;
    int teamascore_ = 0;
    int teambscore_ = 0;
    std::array<int, rules::kPlayingSeats + 1> scores_{};        // by seat; index 0 unused
    std::array<int, rules::kPlayingSeats + 1> shufflesleft_{};  // by seat
    protocol::BoardCodes board_{};
    std::array<rules::ZuboLevel, rules::kSeats + 1> zubolevels_{};  // by seat
    bool timer1Enabled_ = false;
    bool computertimerEnabled_ = false;
};

}  // namespace quorbit::server
