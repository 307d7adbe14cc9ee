#pragma once
// The client's mirror of the game: plain values of what the server has said about the
// table and the game it plays (who holds each seat and its score, the spectators, the
// board, the chain, whose turn it is, the clock, the team scores and the running game's
// options). It knows no display text: the presenter (presenter.h) words it for the
// window, the spoken texts read it, and the recorder runs one of its own to learn who
// sits where without the client's window model.
//
// Each `hear` member takes one message, read (protocol/messages.h), updates the values and
// answers what a caller needs to tell about it; `hear(line)` reads a whole received line
// and hands it to them.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/messages.h"
#include "rules/board.h"
#include "rules/scoring.h"
#include "rules/seats.h"

namespace quorbit::client {

namespace tc = protocol::toclient;

// Who holds a playing seat, as far as this client has heard.
enum class SeatHolder {
    Nobody,    // waiting for a player
    Person,    // a player has logged in to it
    Computer,  // the computer plays it (seat 2 while nobody holds it)
};

struct SeatValues {
    SeatHolder holder = SeatHolder::Nobody;
    std::string name;     // as announced; the computer's name while it plays; empty while nobody holds it
    int score = 0;
    bool scored = true;   // false from a game's start until the seat's first word: no score is known
    bool watching = false;
    int shuffles = 0;     // shuffles left, as last heard
};

struct Spectator {
    int seat = 0;  // 5..9
    std::string name;
    bool operator==(const Spectator&) const = default;
};

// A seat that was left (playerdisconnected).
struct Departure {
    int seat = 0;
    std::string name;        // the name the message carried
    std::string nameBefore;  // a playing seat's name before it was left
    SeatHolder holderBefore = SeatHolder::Nobody;
    bool spectatorKnown = false;  // a spectator of this seat and name was in the list
};

// A word made (madeword).
struct WordMade {
    int seat = 0;
    std::string word;
    int points = 0;
    // The letters that left the board, chain slot n at index n - 1; 0 past the word.
    std::array<int, rules::kMaxWord> letters{};
};

// A game's start (startgame).
struct GameStart {
    std::string starter;
    bool computerJoined = false;  // the computer took the free seat 2 for this game
};

struct Mirror {
    int myseat = 0;  // this client's own seat, 0 before login

    // Seats 1..4 at index seat - 1; spectators in arrival order.
    std::array<SeatValues, rules::kPlayingSeats> seating{};
    std::vector<Spectator> spectators;
    int teamA = 0;
    int teamB = 0;

    // The board: 0 empty, 1..26 letters, indexed [x][y].
    rules::Grid boardletters{};
    // The chain being built (or echoed): slot n at index n - 1.
    std::array<rules::Square, rules::kMaxWord> selected{};
    int selectedcount = 0;
    rules::Square lastselected{};

    // Turn and clock.
    int whoseturn = 0;
    int turnlength = 0;  // seconds per turn of the running game
    int timeleft = 0;
    bool timer2 = false;  // the turn clock runs

    // The running game (or the last one).
    int playTo = 0;
    bool teamgame = false;
    int shufflesPerGame = 0;
    // A game runs: from its start (or, for a late arrival, its state) to its winner.
    bool gamerunning = false;
    // This client arrived while the game ran: the words made before are not known here.
    bool joinedLate = false;
    // The table's language, an ISO 639-1 code: English until the server says otherwise.
    std::string language = "en";

    const SeatValues& seat(int n) const { return seating[static_cast<std::size_t>(n - 1)]; }
    SeatValues& seat(int n) { return seating[static_cast<std::size_t>(n - 1)]; }
    bool myturn() const { return whoseturn != 0 && whoseturn == myseat; }
    // A team's score: rules::kTeamA or rules::kTeamB.
    int teamScore(int team) const { return team == rules::kTeamA ? teamA : teamB; }

    // ---- Messages ------------------------------------------------------------------
    // A whole received line, decoded as wire text: the messages below are read and
    // followed, others are left alone, and a line a message cannot read changes nothing.
    void hear(std::string_view line);

    int hear(const tc::Sendlogininfo& m);                       // the own seat, 0 if none
    std::optional<Spectator> hear(const tc::Newplayerinfo& m);  // seat and name as kept (any seat)
    std::optional<Spectator> hear(const tc::Existingplayers& m);
    std::optional<Departure> hear(const tc::Playerdisconnected& m);
    int hear(const tc::Justwatching& m);                        // the seat, 0 if none
    GameStart hear(const tc::Startgame& m);
    void hear(const tc::Theboard& m);
    int hear(const tc::Nextplayer& m);                          // the seat, 0 if none
    bool hear(const tc::Gamestats& m);                          // false for a seat out of range
    std::optional<WordMade> hear(const tc::Madeword& m);
    int hear(const tc::Useshuffle& m);                          // the seat, 0 if none
    void hear(const tc::Shufflesl& m);
    void hear(const tc::Moving& m);
    std::string hear(const tc::Winner& m);                      // the winner's name as kept
    void hear(const tc::Timeup&) { whoseturn = 0; }
    bool hear(const tc::Language& m);                           // false for a void code
    // One second of the turn clock; true while it still runs.
    bool tick();
};

}  // namespace quorbit::client
