#include "client/trust.h"

#include <algorithm>
#include <cctype>

namespace quorbit::client {
namespace {

// Fingerprints compare as hex digits, whatever their case or separators.
std::string digitsOf(std::string_view fingerprint) {
    std::string out;
    for (const char c : fingerprint)
        if (std::isxdigit(static_cast<unsigned char>(c))) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

TrustVerdict judgeCertificate(const std::optional<std::string>& kept, std::string_view seen, bool systemVouches) {
    if (systemVouches) return TrustVerdict::Trusted;
    const std::string digits = digitsOf(seen);
    if (digits.empty()) return TrustVerdict::Changed;  // a server that showed no certificate proves nothing
    if (!kept || digitsOf(*kept).empty()) return TrustVerdict::FirstSeen;
    return digitsOf(*kept) == digits ? TrustVerdict::Trusted : TrustVerdict::Changed;
}

bool plainAllowed(const std::optional<std::string>& kept) { return !kept || digitsOf(*kept).empty(); }

std::string trustKey(std::string_view host, int port) {
    std::string name(host);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // An IPv6 address goes without brackets: a settings line that begins with "[" would
    // read as a section's header. The port is after the last ":" all the same.
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    return name + ":" + std::to_string(port);
}

std::string certificateChangedText(std::string_view hostPort, std::string_view settingsPath) {
    const std::string hp(hostPort);
    return "The certificate of " + hp +
           " has changed since you last connected. Somebody may be pretending to be that server, so Quorbit will "
           "not connect. If its operator has changed the certificate, remove the line for " + hp +
           " from the [tls] section of " + std::string(settingsPath) + ".";
}

}  // namespace quorbit::client
