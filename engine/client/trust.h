#pragma once
// Whether the program trusts the server at the other end of a connection it opened, from
// what it knows of that server: the certificate fingerprint kept for its HOST:PORT from
// an earlier connection, if any, and what this connection showed.
//
// A certificate that the system's store vouches for (and that names the host) is
// trusted. Otherwise the first certificate seen at a HOST:PORT is trusted and kept, and
// a later one must be that same one. A server with a kept fingerprint that now answers
// in plain text is treated as a changed certificate.
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::client {

enum class TrustVerdict {
    Trusted,    // go on
    FirstSeen,  // go on, and keep the fingerprint for this HOST:PORT
    Changed,    // refuse: not the certificate kept for this HOST:PORT
};

// `kept`: the fingerprint kept for the server, if any; `seen`: this connection's
// certificate's; `systemVouches`: the system's store verified it for the host.
TrustVerdict judgeCertificate(const std::optional<std::string>& kept, std::string_view seen, bool systemVouches);

// Whether a plain connection may stand in for TLS with this server.
bool plainAllowed(const std::optional<std::string>& kept);

// The key a fingerprint is kept under: "HOST:PORT", the host in lower case (an IPv6
// address without brackets).
std::string trustKey(std::string_view host, int port);

// What the program says when it refuses a server; `settingsPath` is the settings file
// that holds the kept fingerprints.
std::string certificateChangedText(std::string_view hostPort, std::string_view settingsPath);

}  // namespace quorbit::client
