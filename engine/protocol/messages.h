#pragma once
// Builders for every message of the protocol, under the names of protocol/names.h.
// Each returns the message without its terminator; frame() adds the 0xFF.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/version.h"
#include "protocol/fields.h"
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

// Team flag as it travels: "t" for a team game, "f" otherwise.
inline std::string_view teamFlag(bool team) { return team ? "t" : "f"; }

struct GameSettings {
    std::string starter;   // name of the player who starts the game
    int playTo = 500;
    int seconds = 60;
    bool team = false;
    int shuffles = 1;
};


// Client to server.
namespace toserver {
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

// Server to client.
namespace toclient {
std::string sendlogininfo(int seat);
std::string full();
std::string newplayerinfo(int seat, std::string_view name);
std::string existingplayers(int seat, std::string_view name);
std::string havewrongversion(std::string_view name);
std::string wrongversion();
std::string theboard(const BoardCodes& codes);
struct GameStats {
    int turnSeat = 0;
    int playTo = 0;
    int seconds = 0;
    int secondsLeft = 0;
    bool team = false;
    std::array<int, 4> scores{};
    int teamA = 0;
    int teamB = 0;
};
std::string gamestats(const GameStats& stats);
std::string shufflesl(const std::array<int, 4>& left);
std::string playerdisconnected(int seat, std::string_view name);
// `lineAndColour` is the received "line|colour" text, relayed unchanged.
std::string chat(std::string_view name, std::string_view lineAndColour);
std::string action(std::string_view name, std::string_view textAndColour);
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

}  // namespace quorbit::protocol
