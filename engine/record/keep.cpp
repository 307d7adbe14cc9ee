#include "record/keep.h"

#include <algorithm>
#include <cstdio>

#include "common/numbers.h"

namespace quorbit::record {
namespace {
bool digits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

std::string recordFileName(const Moment& t, int serial) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d%02d-%03d", t.year, t.month, t.day, t.hour, t.minute, t.second,
                  t.millisecond);
    std::string name = buf;
    if (serial > 0) name += "-" + std::to_string(serial);
    return name + std::string(kRecordSuffix);
}

bool isRecordFileName(std::string_view name) {
    if (name.size() <= kRecordSuffix.size() || !name.ends_with(kRecordSuffix)) return false;
    name.remove_suffix(kRecordSuffix.size());
    // YYYYMMDD-HHMMSS-mmm with an optional -N
    if (name.size() < 19 || name[8] != '-' || name[15] != '-') return false;
    if (!digits(name.substr(0, 8)) || !digits(name.substr(9, 6)) || !digits(name.substr(16, 3))) return false;
    if (name.size() == 19) return true;
    return name[19] == '-' && name.size() <= 26 && digits(name.substr(20));
}

std::vector<std::string> recordsOldestFirst(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& n) { return !isRecordFileName(n); });
    // The moment, then the serial as a number ("-10" after "-9").
    auto key = [](const std::string& n) {
        const std::string_view base(n.data(), 19);
        const std::string_view rest = std::string_view(n).substr(19, n.size() - 19 - kRecordSuffix.size());
        const int serial = rest.empty() ? 0 : quorbit::toInt(rest.substr(1)).value_or(0);
        return std::make_pair(std::string(base), serial);
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
    return names;
}

std::vector<std::string> recordsBeyondCap(std::vector<std::string> names, std::size_t keep) {
    names = recordsOldestFirst(std::move(names));
    if (names.size() <= keep) return {};
    names.resize(names.size() - keep);
    return names;
}

}  // namespace quorbit::record
