#pragma once
// "quorbit --tables HOST[:PORT]": asks the game server at HOST for its tables and prints
// them, one a line: the name, then "players=N watchers=N running=yes|no playto=N
// seconds=N teams=yes|no zubo=LEVEL", separated from the name by a tab. The default
// table's name is empty. No display needed.
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::shell {

// Returns the process exit code: 0 with the list printed; 1 when the server cannot be
// reached, does not answer in time, or holds one table only (the reason on standard error).
int printTables(int argc, char** argv, const std::string& hostPort);

}  // namespace quorbit::shell
