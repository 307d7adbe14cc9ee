#pragma once
// LoginThrottle: slows password guessing. Failed logins are counted per account name and
// per remote address; after kFreeFailures failures in a row a name or an address must
// wait before its next attempt, one second at first and twice as long after each further
// failure, up to kMaxDelayMs. A successful login clears the name's count and the
// address's. Counts that have been quiet for kForgetMs are forgotten, and at most
// kMaxEntries names and as many addresses are kept (the quietest go first), so a flood
// of made-up names costs bounded memory.
//
// It has no clock: every call says what time it is (milliseconds on any steady clock).
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace quorbit::accounts {

inline constexpr int kFreeFailures = 3;
inline constexpr std::int64_t kFirstDelayMs = 1000;
inline constexpr std::int64_t kMaxDelayMs = 5 * 60 * 1000;
inline constexpr std::int64_t kForgetMs = 60 * 60 * 1000;
inline constexpr std::size_t kMaxEntries = 100000;

class LoginThrottle {
public:
    // How many milliseconds the name (as its comparison key) and the address must still
    // wait before an attempt is heard; 0 when one may be made now.
    std::int64_t waitMs(const std::string& nameKey, const std::string& address, std::int64_t nowMs) const;
    void failed(const std::string& nameKey, const std::string& address, std::int64_t nowMs);
    void succeeded(const std::string& nameKey, const std::string& address);

    std::size_t tracked() const { return names_.size() + addresses_.size(); }

private:
    struct Count {
        int failures = 0;
        std::int64_t last = 0;  // when the last failure was
    };
    using Book = std::unordered_map<std::string, Count>;

    static std::int64_t waitOf(const Book& book, const std::string& key, std::int64_t nowMs);
    static void note(Book& book, const std::string& key, std::int64_t nowMs);

    Book names_;
    Book addresses_;
};

}  // namespace quorbit::accounts
