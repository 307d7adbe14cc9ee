#pragma once
// The launch mode, read once from the command line's positional parameters: no parameter
// plays a solo game on this machine as "You"; three or more (name, host address, "true"
// to host) host or join; one or two enter no mode at all. Everything that depends on the
// mode (the window's connection, whether a server runs, what the announced game is
// called) asks this one answer.
//
// When joining, the host address may carry a port and a table: HOST[:PORT][/TABLE]
// (an IPv6 address in brackets when a port follows). A table may also be named apart
// (the program's --table option), which wins over one in the address. A hosted or solo
// game holds one table only: a table named there is not used, and `notice` says so.
#include <string>
#include <vector>

namespace quorbit::client {

// The environment variable that carries the lobby's session token to the game it starts
// (never the command line, which everybody on the machine may read).
inline constexpr char kSessionVariable[] = "QUORBIT_SESSION";
// The environment variable that carries the password typed in the Join window to the game
// started anew to join: the game reads it once and removes it from its environment at once.
inline constexpr char kPasswordVariable[] = "QUORBIT_PASSWORD";

enum class LaunchMode { Solo, Host, Join, None };

// How a named table is sat at: in its first free seat, watching (seats 5 to 9), or, for a
// private table, by its invite code (the "table" is then the code).
enum class TableSeat { Play, Watch, Invite };

inline constexpr const char* kTableNotUsedNotice = "A game hosted here has one table only: the table named is not used.";

struct LaunchPlan {
    LaunchMode mode = LaunchMode::None;
    std::string playername;   // "You" in a solo game
    std::string hostaddress;  // where the client connects when joining; empty when the address did not read
    int port = 0;             // the port the address names; 0 for the program's game port
    std::string table;        // the table to sit at when joining (or its invite code); empty for none
    TableSeat seat = TableSeat::Play;
    std::string notice;       // a line for the chat box about the parameters, or empty
    // Whether this process runs the game's server (solo and host).
    bool hosts() const { return mode == LaunchMode::Solo || mode == LaunchMode::Host; }
    // The silent link to a lobby: opened after hosting or joining from the command line.
    bool lobbyLink() const { return mode == LaunchMode::Host || mode == LaunchMode::Join; }
};

// `table` is a table named apart from the address (empty: none), sat at as `seat` says;
// an invite code stands for a table, in the address too.
LaunchPlan launchPlan(const std::vector<std::string>& params, const std::string& table = {},
                      TableSeat seat = TableSeat::Play);

}  // namespace quorbit::client
