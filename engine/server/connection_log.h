#pragma once
// How many lines one connection may cause in the server's log. Each connection has a
// token bucket: kLogBurst lines at once, then one more every kLogRefillMs (ten a
// minute). Lines beyond that are dropped and counted; the next line written for the
// connection, or its end, is preceded by a note of how many were dropped.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/server_output.h"

namespace quorbit::server {

inline constexpr int kLogBurst = 10;
inline constexpr std::int64_t kLogRefillMs = 6000;

class ConnectionLog {
public:
    // What to write for `line` about connection `id` at `nowMs` (milliseconds on a steady
    // clock): nothing when it is dropped, else the line, after a note of the lines
    // dropped before it if there were any.
    std::vector<std::string> admit(ConnectionId id, std::string_view line, std::int64_t nowMs);
    // The connection has ended: the note of lines dropped since the last one written, if
    // any. Its bucket is forgotten.
    std::optional<std::string> end(ConnectionId id);
    std::size_t tracked() const { return buckets_.size(); }

private:
    struct Bucket {
        int tokens = kLogBurst;
        std::int64_t refilledAt = 0;
        long long dropped = 0;
    };
    static std::string droppedNote(ConnectionId id, long long dropped);
    std::map<ConnectionId, Bucket> buckets_;
};

}  // namespace quorbit::server
