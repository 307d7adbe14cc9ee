#pragma once
// The headless game server: "quorbit --server [--port N]". No window, no client of its
// own, no display needed. It serves until SIGINT or SIGTERM and then exits with 0. It is
// a table server (server/tables.h): each connection names its table or sits at the
// default one, and the first player to log in at a table holds its host's powers.
#include "app/shell/cmdline.h"

namespace quorbit::shell {

// Runs the whole program in this mode with the parsed, good command `line`; returns the
// process exit code (1 when the port cannot be taken).
int runHeadless(int argc, char** argv, const CommandLine& line);

// "quorbit --replay FILE --summary": prints the kept game as text on standard output,
// without a window or a display. 1 when the file is no usable record (the reason goes to
// standard error).
int printSummary(const CommandLine& line);

}  // namespace quorbit::shell
