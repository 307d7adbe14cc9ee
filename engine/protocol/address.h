#pragma once
// Where a game's server is, as a player or a lobby writes it: HOST, HOST:PORT,
// [IPV6]:PORT or a bare IPv6 address, and for a table server a table after a "/":
// HOST[:PORT]/TABLE. The host is taken as written (a name or an address, looked up
// when the connection opens); only its port and table are split off here.
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::protocol {

// A port number as typed: decimal digits only, 1 to 65535.
bool readPort(std::string_view text, int& port);

struct HostAndPort {
    std::string host;
    int port = 0;
};
// "host", "host:7772", "[::1]:7772", "[::1]" or a bare IPv6 address ("::1", which leaves
// no room for a port); nothing when the port is bad, the brackets do not close, or no
// host is left.
std::optional<HostAndPort> splitHostPort(std::string_view text, int defaultPort);

struct ServerAddress {
    std::string host;
    int port = 0;
    std::string table;  // the text after the first "/", empty when none
};
// HOST[:PORT][/TABLE]: the table is everything after the first "/" (a host never holds
// one); nothing when HOST[:PORT] does not read as splitHostPort says.
std::optional<ServerAddress> splitServerAddress(std::string_view text, int defaultPort);

}  // namespace quorbit::protocol
