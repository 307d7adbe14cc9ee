#include "protocol/address.h"

namespace quorbit::protocol {

bool readPort(std::string_view text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return false;
    port = value;
    return true;
}

std::optional<HostAndPort> splitHostPort(std::string_view text, int defaultPort) {
    HostAndPort out{std::string(text), defaultPort};
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        out.host = std::string(text.substr(1, close - 1));
        const std::string_view after = text.substr(close + 1);
        if (!after.empty() && (after.front() != ':' || !readPort(after.substr(1), out.port))) return std::nullopt;
        if (out.host.empty()) return std::nullopt;
        return out;
    }
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
        out.host = std::string(text.substr(0, colon));
        if (!readPort(text.substr(colon + 1), out.port)) return std::nullopt;
    }
    if (out.host.empty()) return std::nullopt;
    return out;
}

std::optional<ServerAddress> splitServerAddress(std::string_view text, int defaultPort) {
    const std::size_t slash = text.find('/');
    const auto where = splitHostPort(text.substr(0, slash), defaultPort);
    if (!where) return std::nullopt;
    ServerAddress out{where->host, where->port, {}};
    if (slash != std::string_view::npos) out.table = std::string(text.substr(slash + 1));
    return out;
}

}  // namespace quorbit::protocol
