#pragma once
// Reading an address typed by hand to join a game: a host name, a dotted IPv4 address
// or an IPv6 address (bare, or in brackets so that a port can follow), each with an
// optional ":port". A bad address gets a message that says what is wrong with it.
#include <string>
#include <string_view>

namespace quorbit::discovery {

enum class AddressKind { Name, IPv4, IPv6 };

struct JoinAddress {
    std::string host;   // without brackets; empty when the text does not read
    int port = 0;
    AddressKind kind = AddressKind::Name;
    std::string error;  // empty when the text reads
    bool ok() const { return error.empty(); }
};

// `defaultPort` is used when the text names no port.
JoinAddress parseJoinAddress(std::string_view text, int defaultPort);

// The address as it is typed back: IPv6 in brackets when a port other than
// `defaultPort` follows, the port only when it differs from `defaultPort`.
std::string formatJoinAddress(std::string_view host, int port, int defaultPort);

// True for an IPv6 address text (hexadecimal groups, at most one "::", an optional
// dotted IPv4 tail and an optional "%zone").
bool isIPv6Text(std::string_view text);
// True for four decimal numbers 0 to 255 joined by dots.
bool isIPv4Text(std::string_view text);

}  // namespace quorbit::discovery
