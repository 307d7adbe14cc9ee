// The doubling delay after repeated failed logins.
#include "accounts/login_throttle.h"

#include <algorithm>

namespace quorbit::accounts {
namespace {

std::int64_t delayAfter(int failures) {
    if (failures < kFreeFailures) return 0;
    const int doublings = std::min(failures - kFreeFailures, 30);
    return std::min(kFirstDelayMs << doublings, kMaxDelayMs);
}

}  // namespace

std::int64_t LoginThrottle::waitOf(const Book& book, const std::string& key, std::int64_t nowMs) {
    const auto it = book.find(key);
    if (it == book.end() || nowMs - it->second.last >= kForgetMs) return 0;
    const std::int64_t until = it->second.last + delayAfter(it->second.failures);
    return std::max<std::int64_t>(0, until - nowMs);
}

std::int64_t LoginThrottle::waitMs(const std::string& nameKey, const std::string& address, std::int64_t nowMs) const {
    return std::max(waitOf(names_, nameKey, nowMs), waitOf(addresses_, address, nowMs));
}

void LoginThrottle::note(Book& book, const std::string& key, std::int64_t nowMs) {
    auto it = book.find(key);
    if (it == book.end()) {
        if (book.size() >= kMaxEntries) {
            // Forget what has been quiet past kForgetMs, then, if still full, the quietest.
            std::erase_if(book, [nowMs](const auto& kv) { return nowMs - kv.second.last >= kForgetMs; });
            if (book.size() >= kMaxEntries) {
                const auto oldest = std::min_element(book.begin(), book.end(), [](const auto& a, const auto& b) {
                    return a.second.last < b.second.last;
                });
                book.erase(oldest);
            }
        }
        it = book.emplace(key, Count{}).first;
    } else if (nowMs - it->second.last >= kForgetMs) {
        it->second.failures = 0;
    }
    ++it->second.failures;
    it->second.last = nowMs;
}

void LoginThrottle::failed(const std::string& nameKey, const std::string& address, std::int64_t nowMs) {
    note(names_, nameKey, nowMs);
    note(addresses_, address, nowMs);
}

void LoginThrottle::succeeded(const std::string& nameKey, const std::string& address) {
    names_.erase(nameKey);
    addresses_.erase(address);
}

}  // namespace quorbit::accounts
