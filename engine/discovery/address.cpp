#include "discovery/address.h"

#include <algorithm>
#include <cstddef>

namespace quorbit::discovery {
namespace {

constexpr std::size_t kMaxNameLength = 253;  // a DNS name's longest text form
constexpr std::size_t kMaxLabelLength = 63;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isAlnum(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Decimal 1 to 65535; -1 otherwise.
int readPort(std::string_view text) {
    if (text.empty() || text.size() > 5) return -1;
    int value = 0;
    for (const char c : text) {
        if (!isDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535 ? value : -1;
}

bool isHostName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) return false;
    if (name.back() == '.') name.remove_suffix(1);  // a fully qualified name
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t dot = std::min(name.find('.', start), name.size());
        const std::string_view label = name.substr(start, dot - start);
        if (label.empty() || label.size() > kMaxLabelLength) return false;
        if (label.front() == '-' || label.back() == '-') return false;
        for (const char c : label)
            if (!isAlnum(c) && c != '-' && c != '_') return false;
        start = dot + 1;
    }
    return true;
}

bool isZone(std::string_view zone) {
    if (zone.empty() || zone.size() > 64) return false;
    return std::all_of(zone.begin(), zone.end(), [](char c) { return isAlnum(c) || c == '-' || c == '_' || c == '.'; });
}

JoinAddress failed(std::string message) {
    JoinAddress a;
    a.error = std::move(message);
    return a;
}

}  // namespace

bool isIPv4Text(std::string_view text) {
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = std::min(text.find('.', start), text.size());
        const std::string_view part = text.substr(start, dot - start);
        if (part.empty() || part.size() > 3) return false;
        int value = 0;
        for (const char c : part) {
            if (!isDigit(c)) return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255) return false;
        ++parts;
        if (dot == text.size()) break;
        start = dot + 1;
    }
    return parts == 4;
}

bool isIPv6Text(std::string_view text) {
    const std::size_t percent = text.find('%');
    if (percent != std::string_view::npos) {
        if (!isZone(text.substr(percent + 1))) return false;
        text = text.substr(0, percent);
    }
    if (text.size() < 2) return false;
    const std::size_t gap = text.find("::");
    if (gap != std::string_view::npos && text.find("::", gap + 1) != std::string_view::npos) return false;
    // Count the 16-bit groups on both sides of the gap; a dotted tail counts as two.
    int groups = 0;
    auto countSide = [&groups](std::string_view side, bool last) {
        if (side.empty()) return true;
        std::size_t start = 0;
        while (true) {
            const std::size_t colon = std::min(side.find(':', start), side.size());
            const std::string_view group = side.substr(start, colon - start);
            const bool final = colon == side.size();
            if (final && last && group.find('.') != std::string_view::npos) {
                if (!isIPv4Text(group)) return false;
                groups += 2;
                return true;
            }
            if (group.empty() || group.size() > 4) return false;
            if (!std::all_of(group.begin(), group.end(), isHex)) return false;
            ++groups;
            if (final) return true;
            start = colon + 1;
        }
    };
    if (gap == std::string_view::npos) return countSide(text, true) && groups == 8;
    return countSide(text.substr(0, gap), false) && countSide(text.substr(gap + 2), true) && groups <= 7;
}

JoinAddress parseJoinAddress(std::string_view text, int defaultPort) {
    text = trim(text);
    if (text.empty()) return failed("Type the address of the game's host.");
    std::string_view host = text;
    std::string_view portText;
    bool portGiven = false;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return failed("The \"[\" before the IPv6 address has no \"]\".");
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return failed("Only \":\" and a port may follow the \"]\".");
            portText = rest.substr(1);
            portGiven = true;
        }
        if (!isIPv6Text(host)) return failed("\"" + std::string(host) + "\" in brackets is not an IPv6 address.");
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos && text.find(':', colon + 1) != std::string_view::npos) {
            // Two or more colons: a bare IPv6 address, which leaves no room for a port.
            if (!isIPv6Text(text))
                return failed("\"" + std::string(text) +
                              "\" is not an IPv6 address (write it in brackets to add a port: [address]:port).");
        } else if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            portText = text.substr(colon + 1);
            portGiven = true;
        }
    }
    JoinAddress a;
    if (portGiven) {
        a.port = readPort(portText);
        if (a.port < 0) return failed("The port must be a number from 1 to 65535, not \"" + std::string(portText) + "\".");
    } else {
        a.port = defaultPort;
    }
    if (host.empty()) return failed("The address has no host before the port.");
    if (host.find(':') != std::string_view::npos) {
        a.kind = AddressKind::IPv6;
    } else if (std::all_of(host.begin(), host.end(), [](char c) { return isDigit(c) || c == '.'; })) {
        if (!isIPv4Text(host))
            return failed("\"" + std::string(host) + "\" is not an IPv4 address (four numbers 0 to 255 with dots).");
        a.kind = AddressKind::IPv4;
    } else {
        if (isDigit(host.front()))
            return failed("\"" + std::string(host) +
                          "\" begins with a digit but is no IPv4 address; type the host's address instead.");
        if (!isHostName(host))
            return failed("\"" + std::string(host) +
                          "\" is not a host name (letters, digits, \"-\" and \".\" only).");
        a.kind = AddressKind::Name;
    }
    a.host = std::string(host);
    return a;
}

std::string formatJoinAddress(std::string_view host, int port, int defaultPort) {
    const bool v6 = host.find(':') != std::string_view::npos;
    if (port == defaultPort) return std::string(host);
    const std::string h = v6 ? "[" + std::string(host) + "]" : std::string(host);
    return h + ":" + std::to_string(port);
}

}  // namespace quorbit::discovery
