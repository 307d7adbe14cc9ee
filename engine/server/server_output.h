#pragma once
// What the game server asks of its host: bytes to send, connections to close, timers
// to start and stop, and log lines. The host owns the sockets and the real timers.
#include <string>
#include <string_view>

namespace quorbit::server {

// The host's name for one accepted connection; unique for the life of the host.
using ConnectionId = int;

enum class ServerTimer {
    Timer1,         // the one-second turn clock
    Computertimer,  // the one-second delay of the computer player
};

class ServerOutput {
public:
    virtual ~ServerOutput() = default;
    // Sends framed bytes (terminator included) on a connection.
    virtual void send(ConnectionId id, std::string_view bytes) = 0;
    // Closes a connection. The server has already treated it as gone; a later
    // report of its closing is ignored.
    virtual void close(ConnectionId id) = 0;
    // A timer of the server was switched on (restarting its interval) or off.
    virtual void timerChanged(ServerTimer timer, bool enabled) = 0;
    // A line for the host's log (standard error). It may hold text from peers: the host
    // escapes it before writing.
    virtual void log(std::string_view line) = 0;
    // A line for the log about what a connection sent or did. The host may limit how many
    // such lines each connection causes.
    virtual void logAbout(ConnectionId /*id*/, std::string_view line) { log(line); }
    // A message (without its terminator) that every seat receives, or every seat but the
    // one it echoes: what an onlooker of the game hears. Hosts that record games use it.
    virtual void heardByAll(std::string_view /*message*/) {}
    // Whether `name` is taken beyond this table (somewhere else on the same server) for
    // connection `id` logging in at `seat`. A lone table has nothing beyond it.
    virtual bool nameTaken(ConnectionId /*id*/, int /*seat*/, std::string_view /*name*/) { return false; }
    // A seat logged in under `name` (its name as kept), or its logged-in holder left.
    virtual void seatLoggedIn(int /*seat*/, const std::string& /*name*/) {}
    virtual void seatLoggedOut(int /*seat*/) {}
};

}  // namespace quorbit::server
