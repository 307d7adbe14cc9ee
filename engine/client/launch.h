#pragma once
// The launch mode, read once from the command line's positional parameters: no parameter
// plays a solo game on this machine as "You"; three or more (name, host address, "true"
// to host) host or join; one or two enter no mode at all. Everything that depends on the
// mode (the window's connection, whether a server runs, what the announced game is
// called) asks this one answer.
#include <string>
#include <vector>

namespace quorbit::client {

enum class LaunchMode { Solo, Host, Join, None };

struct LaunchPlan {
    LaunchMode mode = LaunchMode::None;
    std::string playername;   // "You" in a solo game
    std::string hostaddress;  // where the client connects when joining
    // Whether this process runs the game's server (solo and host).
    bool hosts() const { return mode == LaunchMode::Solo || mode == LaunchMode::Host; }
    // The silent link to a lobby: opened after hosting or joining from the command line.
    bool lobbyLink() const { return mode == LaunchMode::Host || mode == LaunchMode::Join; }
};

LaunchPlan launchPlan(const std::vector<std::string>& params);

}  // namespace quorbit::client
