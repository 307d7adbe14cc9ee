#pragma once
// The program's command line: the three launch parameters of the lobby contract
// (player name, host address, "true" to host) and the options beside them.
//
//   --server      run the game server alone, without a window or a client of its own
//   --port N      use TCP port N (1 to 65535) instead of 7772; also "--port=N"
//   --            everything after it is a launch parameter
//
// Any other argument that starts with "--" is an error, as is a bad or missing N.
#include <string>
#include <vector>

namespace quorbit::shell {

struct CommandLine {
    bool server = false;
    int port = 7772;
    bool portGiven = false;
    std::vector<std::string> positional;  // launch parameters, in order
    std::string error;                    // empty when the line is good
};

// `args` are the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);
// True when the raw arguments ask for the headless server (before any Qt object exists).
bool wantsServer(int argc, char** argv);

}  // namespace quorbit::shell
