#include "server/connection_log.h"

#include <utility>

namespace quorbit::server {

std::string ConnectionLog::droppedNote(ConnectionId id, long long dropped) {
    return "connection " + std::to_string(id) + ": " + std::to_string(dropped) +
           (dropped == 1 ? " log line" : " log lines") + " dropped (too many)";
}

std::vector<std::string> ConnectionLog::admit(ConnectionId id, std::string_view line, std::int64_t nowMs) {
    auto [it, fresh] = buckets_.try_emplace(id);
    Bucket& b = it->second;
    if (fresh) b.refilledAt = nowMs;
    if (nowMs > b.refilledAt) {
        const std::int64_t earned = (nowMs - b.refilledAt) / kLogRefillMs;
        if (b.tokens + earned >= kLogBurst) {
            b.tokens = kLogBurst;
            b.refilledAt = nowMs;
        } else {
            b.tokens += static_cast<int>(earned);
            b.refilledAt += earned * kLogRefillMs;
        }
    }
    std::vector<std::string> out;
    if (b.tokens == 0) {
        ++b.dropped;
        return out;
    }
    --b.tokens;
    if (b.dropped != 0) out.push_back(droppedNote(id, std::exchange(b.dropped, 0)));
    out.emplace_back(line);
    return out;
}

std::optional<std::string> ConnectionLog::end(ConnectionId id) {
    const auto it = buckets_.find(id);
    if (it == buckets_.end()) return std::nullopt;
    const long long dropped = it->second.dropped;
    buckets_.erase(it);
    if (dropped == 0) return std::nullopt;
    return droppedNote(id, dropped);
}

}  // namespace quorbit::server
