#pragma once
// Every message of the protocol as a value, under the names of protocol/names.h.
//
// Each message type has one format() (the value as the line that travels, without its
// terminator; frame() adds the 0xFF) and one parse() (a payload, the text after the
// name's "+", back to a value). parse() reads the fields as the receiving side always has:
// fields end at "+", numbers are the strict numbers of common/numbers, a free-text field
// takes the rest of the line, and a field that must be a number but is not throws
// ConversionError, which abandons the line. parse() throws nothing else, whatever the
// bytes.
//
// A message that travels both ways has one type when both sides read it alike
// (selectletter, selectclear, clearletter) and one per direction when they do not
// (chat, action, startgame).
//
// The lower-case functions below build a line from loose arguments; each makes the value
// and calls its format().
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "common/version.h"
#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "rules/board.h"
#include "rules/path.h"

namespace quorbit::protocol {

// The version text that clients send at login and the server compares against.
inline constexpr std::string_view kVersion = kGameVersion;
inline constexpr int kPort = 7772;

using rules::PathStep;
using rules::Square;
// Board codes indexed [x][y].
using BoardCodes = rules::Grid;

// Team flag as it travels: "t" for a team game, "f" otherwise. Read back, only "t" is a
// team game.
inline std::string_view teamFlag(bool team) { return team ? "t" : "f"; }

struct GameSettings {
    std::string starter;   // name of the player who starts the game
    int playTo = 500;
    int seconds = 60;
    bool team = false;
    int shuffles = 1;
    friend bool operator==(const GameSettings&, const GameSettings&) = default;
};

// ---- Client to server -----------------------------------------------------------------
namespace toserver {

struct Logininfo {
    QUORBIT_WIRE_MESSAGE(Logininfo, logininfo);
    int seat = 0;
    std::string version;
    std::string name;  // the rest of the line, "+" and all
};

struct Kickhim {
    QUORBIT_WIRE_MESSAGE(Kickhim, kickhim);
    int requester = 0;
    int target = 0;
};

struct Chat {
    QUORBIT_WIRE_MESSAGE(Chat, chat);
    int seat = 0;
    std::string lineAndColour;  // "line|colour", the rest of the line
};

struct Action {
    QUORBIT_WIRE_MESSAGE(Action, action);
    int seat = 0;
    std::string textAndColour;  // "text|colour", the rest of the line
};

// Every field is a number but the starter and the team flag.
struct Startgame {
    QUORBIT_WIRE_MESSAGE(Startgame, startgame);
    GameSettings settings;
};

// mode: 1 just watch, 2 play again; the number is the rest of the line.
struct Justwatch {
    QUORBIT_WIRE_MESSAGE(Justwatch, justwatch);
    int seat = 0;
    int mode = 0;
};

// The path is read as readPath reads it: nothing after the seat's "+" is an empty path,
// and at most eight groups are read. An empty path formats as the seat alone, which reads
// back as abandoned (the seat is then not followed by "+"); no client sends one.
struct Playerdone {
    QUORBIT_WIRE_MESSAGE(Playerdone, playerdone);
    int seat = 0;
    std::vector<PathStep> path;
};

struct Direction {
    QUORBIT_WIRE_MESSAGE(Direction, direction);
    int seat = 0;
    int direction = 0;
};

// Also sent by the server to the other seats, unchanged.
struct Selectletter {
    QUORBIT_WIRE_MESSAGE(Selectletter, selectletter);
    int seat = 0;
    int position = 0;
    int x = 0;
    int y = 0;
};

// Also sent by the server to the other seats, unchanged.
struct Selectclear {
    QUORBIT_WIRE_MESSAGE(Selectclear, selectclear);
    int seat = 0;
};

// Also sent by the server to the other seats, unchanged.
struct Clearletter {
    QUORBIT_WIRE_MESSAGE(Clearletter, clearletter);
    int seat = 0;
    int position = 0;
};

struct Shuffle {
    QUORBIT_WIRE_MESSAGE(Shuffle, shuffle);
    int seat = 0;
};

// What the server hears, in the order of names::kServerHears.
using Messages = std::tuple<Logininfo, Kickhim, Chat, Action, Startgame, Justwatch, Playerdone, Direction,
                            Selectletter, Selectclear, Clearletter, Shuffle>;

// Builders.
std::string logininfo(int seat, std::string_view version, std::string_view name);
std::string kickhim(int requester, int target);
std::string chat(int seat, std::string_view line, std::string_view colour);
std::string action(int seat, std::string_view text, std::string_view colour);
std::string startgame(const GameSettings& settings);
std::string justwatch(int seat, int mode);
std::string playerdone(int seat, const std::vector<PathStep>& path);
// Reads the groups of position, x and y that follow the seat of a "playerdone" message,
// as far as the eighth group at most (no word has more than seven letters, so the eighth
// already rejects the path). Nothing follows: an empty list. A field that is not a
// number throws ConversionError.
std::vector<PathStep> readPath(FieldReader& f);
std::string direction(int seat, int direction);
std::string selectletter(int seat, int position, int x, int y);
std::string selectclear(int seat);
std::string clearletter(int seat, int position);
std::string shuffle(int seat);
}  // namespace toserver

// ---- Server to client -----------------------------------------------------------------
namespace toclient {

// The seat is the last field: up to a "+" if one follows, else the rest of the line.
struct Sendlogininfo {
    QUORBIT_WIRE_MESSAGE(Sendlogininfo, sendlogininfo);
    int seat = 0;
};

// "Name chats: line|colour" as one free text, the rest of the line.
struct Chat {
    QUORBIT_WIRE_MESSAGE(Chat, chat);
    std::string text;
};

// "Name text|colour" as one free text, the rest of the line.
struct Action {
    QUORBIT_WIRE_MESSAGE(Action, action);
    std::string text;
};

// A seat that logged in; the name is the rest of the line.
struct Newplayerinfo {
    QUORBIT_WIRE_MESSAGE(Newplayerinfo, newplayerinfo);
    int seat = 0;
    std::string name;
};

// The name is the rest of the line.
struct Havewrongversion {
    QUORBIT_WIRE_MESSAGE(Havewrongversion, havewrongversion);
    std::string name;
};

// True for a language's code as it travels: two letters a..z.
constexpr bool isLanguageCode(std::string_view code) {
    return code.size() == 2 && code[0] >= 'a' && code[0] <= 'z' && code[1] >= 'a' && code[1] <= 'z';
}

// The table's language: an ISO 639-1 code of two letters a..z. Any other field reads as
// an empty code, which the client ignores.
struct Language {
    static constexpr std::string_view kName = names::language;
    std::string code;
    std::string format() const;
    static Language parse(std::string_view payload);
    friend bool operator==(const Language&, const Language&) = default;
};

struct Wrongversion {
    QUORBIT_WIRE_MESSAGE(Wrongversion, wrongversion);
};

// A seat already logged in, told to a newcomer; the name is the rest of the line.
struct Existingplayers {
    QUORBIT_WIRE_MESSAGE(Existingplayers, existingplayers);
    int seat = 0;
    std::string name;
};

// The name is the rest of the line.
struct Playerdisconnected {
    QUORBIT_WIRE_MESSAGE(Playerdisconnected, playerdisconnected);
    int seat = 0;
    std::string name;
};

// As the server's, but a number of shuffles that is not a number counts as 0.
struct Startgame {
    QUORBIT_WIRE_MESSAGE(Startgame, startgame);
    GameSettings settings;
};

// A number of shuffles left that is not a number counts as 0.
struct Nextplayer {
    QUORBIT_WIRE_MESSAGE(Nextplayer, nextplayer);
    int seat = 0;
    int shufflesLeft = 0;
};

// The name is everything up to the line's closing "+", so a name holding a "+" arrives
// whole.
struct Winner {
    QUORBIT_WIRE_MESSAGE(Winner, winner);
    std::string name;
};

struct Full {
    QUORBIT_WIRE_MESSAGE(Full, full);
};

// Travels as mode 1 (just watching) or 2 (playing again); a mode field other than "1"
// reads as playing again.
struct Justwatching {
    QUORBIT_WIRE_MESSAGE(Justwatching, justwatching);
    int seat = 0;
    bool watching = false;
};

// Groups of x, y and letter code to the end of the line, as many as there are (the
// server sends all 49 squares x-major; a receiver checks each group).
struct Theboard {
    QUORBIT_WIRE_MESSAGE(Theboard, theboard);
    struct SquareCode {
        int x = 0;
        int y = 0;
        int code = 0;
        friend bool operator==(const SquareCode&, const SquareCode&) = default;
    };
    std::vector<SquareCode> squares;
    static Theboard of(const BoardCodes& codes);  // every square, x-major
};

struct Notvalid {
    QUORBIT_WIRE_MESSAGE(Notvalid, notvalid);
    int seat = 0;
    std::string word;
};

// The word's squares, x and y each, run to the end of the line.
struct Madeword {
    QUORBIT_WIRE_MESSAGE(Madeword, madeword);
    int seat = 0;
    std::string word;
    int points = 0;
    int total = 0;
    int teamA = 0;
    int teamB = 0;
    std::vector<Square> squares;
};

struct Timeup {
    QUORBIT_WIRE_MESSAGE(Timeup, timeup);
};

// The game's state for a client that arrives while it runs.
struct Gamestats {
    QUORBIT_WIRE_MESSAGE(Gamestats, gamestats);
    int turnSeat = 0;
    int playTo = 0;
    int seconds = 0;
    int secondsLeft = 0;
    bool team = false;
    std::array<int, 4> scores{};
    int teamA = 0;
    int teamB = 0;
};
using GameStats = Gamestats;

struct Moving {
    QUORBIT_WIRE_MESSAGE(Moving, moving);
    int direction = 0;
};

// The countdown is empty when its field is not a number; the client then keeps its clock.
struct Useshuffle {
    QUORBIT_WIRE_MESSAGE(Useshuffle, useshuffle);
    int seat = 0;
    int shufflesLeft = 0;
    std::optional<int> countdown;
};

// Shuffles left of seats 1 to 4.
struct Shufflesl {
    QUORBIT_WIRE_MESSAGE(Shufflesl, shufflesl);
    std::array<int, 4> left{};
};

// A seven-letter word's bonus. The client shows it whatever the fields hold: fields that
// are not numbers count as 0.
struct Bonus {
    QUORBIT_WIRE_MESSAGE(Bonus, bonus);
    int seat = 0;
    int points = 0;
};

using toserver::Clearletter;
using toserver::Selectclear;
using toserver::Selectletter;

// What the client hears, in the order of names::kClientHears.
using Messages = std::tuple<Sendlogininfo, Chat, Action, Newplayerinfo, Havewrongversion, Wrongversion,
                            Existingplayers, Playerdisconnected, Startgame, Nextplayer, Winner, Full,
                            Justwatching, Theboard, Notvalid, Madeword, Timeup, Gamestats, Selectletter,
                            Selectclear, Moving, Clearletter, Useshuffle, Shufflesl, Bonus, Language>;

// Builders.
std::string sendlogininfo(int seat);
std::string full();
std::string newplayerinfo(int seat, std::string_view name);
std::string existingplayers(int seat, std::string_view name);
std::string havewrongversion(std::string_view name);
std::string wrongversion();
std::string language(std::string_view code);
std::string theboard(const BoardCodes& codes);
std::string gamestats(const GameStats& stats);
std::string shufflesl(const std::array<int, 4>& left);
std::string playerdisconnected(int seat, std::string_view name);
// `lineAndColour` is the received "line|colour" text, relayed unchanged.
std::string chat(std::string_view name, std::string_view lineAndColour);
std::string action(std::string_view name, std::string_view textAndColour);
// mode 1: just watching; any other: playing again (sent as 2).
std::string justwatching(int seat, int mode);
std::string startgame(const GameSettings& settings);
std::string nextplayer(int seat, int shufflesLeft);
std::string selectletter(int seat, int position, int x, int y);
std::string selectclear(int seat);
std::string clearletter(int seat, int position);
std::string useshuffle(int seat, int shufflesLeft, int countdown);
std::string notvalid(int seat, std::string_view word);
std::string madeword(int seat, std::string_view word, int points, int total, int teamA, int teamB,
                     const std::vector<Square>& squares);
std::string bonus(int seat, int points);
std::string timeup();
std::string moving(int direction);
std::string winner(std::string_view name);
}  // namespace toclient

// A whole line (name and payload, no terminator) read as message M: nothing when the line
// has another name, no name, or a field that is not a number where M needs one.
template <typename M>
std::optional<M> read(std::string_view line) {
    const auto split = splitLine(line);
    if (!split || split->name != M::kName) return std::nullopt;
    try {
        return M::parse(split->payload);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

}  // namespace quorbit::protocol
