#pragma once
// The two clocks of the server host: the steady one its timers and deadlines count on, and
// the calendar's, for what is stored.
#include <chrono>
#include <cstdint>

namespace quorbit::serverhost {

inline std::int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline std::int64_t unixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace quorbit::serverhost
