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
    static constexpr std::string_view kName = names::logininfo;
    int seat = 0;
    std::string version;
    std::string name;  // the rest of the line, "+" and all
    std::string format() const;
    static Logininfo parse(std::string_view payload);
    friend bool operator==(const Logininfo&, const Logininfo&) = default;
};

struct Kickhim {
    static constexpr std::string_view kName = names::kickhim;
    int requester = 0;
    int target = 0;
    std::string format() const;
    static Kickhim parse(std::string_view payload);
    friend bool operator==(const Kickhim&, const Kickhim&) = default;
};

struct Chat {
    static constexpr std::string_view kName = names::chat;
    int seat = 0;
    std::string lineAndColour;  // "line|colour", the rest of the line
    std::string format() const;
    static Chat parse(std::string_view payload);
    friend bool operator==(const Chat&, const Chat&) = default;
};

struct Action {
    static constexpr std::string_view kName = names::action;
    int seat = 0;
    std::string textAndColour;  // "text|colour", the rest of the line
    std::string format() const;
    static Action parse(std::string_view payload);
    friend bool operator==(const Action&, const Action&) = default;
};

// Every field is a number but the starter and the team flag.
struct Startgame {
    static constexpr std::string_view kName = names::startgame;
    GameSettings settings;
    std::string format() const;
    static Startgame parse(std::string_view payload);
    friend bool operator==(const Startgame&, const Startgame&) = default;
};

// mode: 1 just watch, 2 play again; the number is the rest of the line.
struct Justwatch {
    static constexpr std::string_view kName = names::justwatch;
    int seat = 0;
    int mode = 0;
    std::string format() const;
    static Justwatch parse(std::string_view payload);
    friend bool operator==(const Justwatch&, const Justwatch&) = default;
};

// The path is read as readPath reads it: nothing after the seat's "+" is an empty path,
// and at most eight groups are read. An empty path formats as the seat alone, which reads
// back as abandoned (the seat is then not followed by "+"); no client sends one.
struct Playerdone {
    static constexpr std::string_view kName = names::playerdone;
    int seat = 0;
    std::vector<PathStep> path;
    std::string format() const;
    static Playerdone parse(std::string_view payload);
    friend bool operator==(const Playerdone&, const Playerdone&) = default;
};

struct Direction {
    static constexpr std::string_view kName = names::direction;
    int seat = 0;
    int direction = 0;
    std::string format() const;
    static Direction parse(std::string_view payload);
    friend bool operator==(const Direction&, const Direction&) = default;
};

// Also sent by the server to the other seats, unchanged.
struct Selectletter {
    static constexpr std::string_view kName = names::selectletter;
    int seat = 0;
    int position = 0;
    int x = 0;
    int y = 0;
    std::string format() const;
    static Selectletter parse(std::string_view payload);
    friend bool operator==(const Selectletter&, const Selectletter&) = default;
};

// Also sent by the server to the other seats, unchanged.
struct Selectclear {
    static constexpr std::string_view kName = names::selectclear;
    int seat = 0;
    std::string format() const;
    static Selectclear parse(std::string_view payload);
    friend bool operator==(const Selectclear&, const Selectclear&) = default;
};

// Also sent by the server to the other seats, unchanged.
struct Clearletter {
    static constexpr std::string_view kName = names::clearletter;
    int seat = 0;
    int position = 0;
    std::string format() const;
    static Clearletter parse(std::string_view payload);
    friend bool operator==(const Clearletter&, const Clearletter&) = default;
};

struct Shuffle {
    static constexpr std::string_view kName = names::shuffle;
    int seat = 0;
    std::string format() const;
    static Shuffle parse(std::string_view payload);
    friend bool operator==(const Shuffle&, const Shuffle&) = default;
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
    static constexpr std::string_view kName = names::sendlogininfo;
    int seat = 0;
    std::string format() const;
    static Sendlogininfo parse(std::string_view payload);
    friend bool operator==(const Sendlogininfo&, const Sendlogininfo&) = default;
};

// "Name chats: line|colour" as one free text, the rest of the line.
struct Chat {
    static constexpr std::string_view kName = names::chat;
    std::string text;
    std::string format() const;
    static Chat parse(std::string_view payload);
    friend bool operator==(const Chat&, const Chat&) = default;
};

// "Name text|colour" as one free text, the rest of the line.
struct Action {
    static constexpr std::string_view kName = names::action;
    std::string text;
    std::string format() const;
    static Action parse(std::string_view payload);
    friend bool operator==(const Action&, const Action&) = default;
};

// A seat that logged in; the name is the rest of the line.
struct Newplayerinfo {
    static constexpr std::string_view kName = names::newplayerinfo;
    int seat = 0;
    std::string name;
    std::string format() const;
    static Newplayerinfo parse(std::string_view payload);
    friend bool operator==(const Newplayerinfo&, const Newplayerinfo&) = default;
};

// The name is the rest of the line.
struct Havewrongversion {
    static constexpr std::string_view kName = names::havewrongversion;
    std::string name;
    std::string format() const;
    static Havewrongversion parse(std::string_view payload);
    friend bool operator==(const Havewrongversion&, const Havewrongversion&) = default;
};

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
    static constexpr std::string_view kName = names::wrongversion;
    std::string format() const;
    static Wrongversion parse(std::string_view payload);
    friend bool operator==(const Wrongversion&, const Wrongversion&) = default;
};

// A seat already logged in, told to a newcomer; the name is the rest of the line.
struct Existingplayers {
    static constexpr std::string_view kName = names::existingplayers;
    int seat = 0;
    std::string name;
    std::string format() const;
    static Existingplayers parse(std::string_view payload);
    friend bool operator==(const Existingplayers&, const Existingplayers&) = default;
};

// The name is the rest of the line.
struct Playerdisconnected {
    static constexpr std::string_view kName = names::playerdisconnected;
    int seat = 0;
    std::string name;
    std::string format() const;
    static Playerdisconnected parse(std::string_view payload);
    friend bool operator==(const Playerdisconnected&, const Playerdisconnected&) = default;
};

// As the server's, but a number of shuffles that is not a number counts as 0.
struct Startgame {
    static constexpr std::string_view kName = names::startgame;
    GameSettings settings;
    std::string format() const;
    static Startgame parse(std::string_view payload);
    friend bool operator==(const Startgame&, const Startgame&) = default;
};

// A number of shuffles left that is not a number counts as 0.
struct Nextplayer {
    static constexpr std::string_view kName = names::nextplayer;
    int seat = 0;
    int shufflesLeft = 0;
    std::string format() const;
    static Nextplayer parse(std::string_view payload);
    friend bool operator==(const Nextplayer&, const Nextplayer&) = default;
};

// The name is everything up to the line's closing "+", so a name holding a "+" arrives
// whole.
struct Winner {
    static constexpr std::string_view kName = names::winner;
    std::string name;
    std::string format() const;
    static Winner parse(std::string_view payload);
    friend bool operator==(const Winner&, const Winner&) = default;
};

struct Full {
    static constexpr std::string_view kName = names::full;
    std::string format() const;
    static Full parse(std::string_view payload);
    friend bool operator==(const Full&, const Full&) = default;
};

// Travels as mode 1 (just watching) or 2 (playing again); a mode field other than "1"
// reads as playing again.
struct Justwatching {
    static constexpr std::string_view kName = names::justwatching;
    int seat = 0;
    bool watching = false;
    std::string format() const;
    static Justwatching parse(std::string_view payload);
    friend bool operator==(const Justwatching&, const Justwatching&) = default;
};

// Groups of x, y and letter code to the end of the line, as many as there are (the
// server sends all 49 squares x-major; a receiver checks each group).
struct Theboard {
    static constexpr std::string_view kName = names::theboard;
    struct SquareCode {
        int x = 0;
        int y = 0;
        int code = 0;
        friend bool operator==(const SquareCode&, const SquareCode&) = default;
    };
    std::vector<SquareCode> squares;
    static Theboard of(const BoardCodes& codes);  // every square, x-major
    std::string format() const;
    static Theboard parse(std::string_view payload);
    friend bool operator==(const Theboard&, const Theboard&) = default;
};

struct Notvalid {
    static constexpr std::string_view kName = names::notvalid;
    int seat = 0;
    std::string word;
    std::string format() const;
    static Notvalid parse(std::string_view payload);
    friend bool operator==(const Notvalid&, const Notvalid&) = default;
};

// The word's squares, x and y each, run to the end of the line.
struct Madeword {
    static constexpr std::string_view kName = names::madeword;
    int seat = 0;
    std::string word;
    int points = 0;
    int total = 0;
    int teamA = 0;
    int teamB = 0;
    std::vector<Square> squares;
    std::string format() const;
    static Madeword parse(std::string_view payload);
    friend bool operator==(const Madeword&, const Madeword&) = default;
};

struct Timeup {
    static constexpr std::string_view kName = names::timeup;
    std::string format() const;
    static Timeup parse(std::string_view payload);
    friend bool operator==(const Timeup&, const Timeup&) = default;
};

// The game's state for a client that arrives while it runs.
struct Gamestats {
    static constexpr std::string_view kName = names::gamestats;
    int turnSeat = 0;
    int playTo = 0;
    int seconds = 0;
    int secondsLeft = 0;
    bool team = false;
    std::array<int, 4> scores{};
    int teamA = 0;
    int teamB = 0;
    std::string format() const;
    static Gamestats parse(std::string_view payload);
    friend bool operator==(const Gamestats&, const Gamestats&) = default;
};
using GameStats = Gamestats;

struct Moving {
    static constexpr std::string_view kName = names::moving;
    int direction = 0;
    std::string format() const;
    static Moving parse(std::string_view payload);
    friend bool operator==(const Moving&, const Moving&) = default;
};

// The countdown is empty when its field is not a number; the client then keeps its clock.
struct Useshuffle {
    static constexpr std::string_view kName = names::useshuffle;
    int seat = 0;
    int shufflesLeft = 0;
    std::optional<int> countdown;
    std::string format() const;
    static Useshuffle parse(std::string_view payload);
    friend bool operator==(const Useshuffle&, const Useshuffle&) = default;
};

// Shuffles left of seats 1 to 4.
struct Shufflesl {
    static constexpr std::string_view kName = names::shufflesl;
    std::array<int, 4> left{};
    std::string format() const;
    static Shufflesl parse(std::string_view payload);
    friend bool operator==(const Shufflesl&, const Shufflesl&) = default;
};

// A seven-letter word's bonus. The client shows it whatever the fields hold: fields that
// are not numbers count as 0.
struct Bonus {
    static constexpr std::string_view kName = names::bonus;
    int seat = 0;
    int points = 0;
    std::string format() const;
    static Bonus parse(std::string_view payload);
    friend bool operator==(const Bonus&, const Bonus&) = default;
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
