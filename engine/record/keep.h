#pragma once
// Where records are kept: one file per game in the records folder, named after the
// moment the game ended so that names sort from oldest to newest; only the newest
// kKeptRecords are kept.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::record {

inline constexpr std::size_t kKeptRecords = 200;
inline constexpr std::string_view kRecordSuffix = ".qrec";

struct Moment {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// "YYYYMMDD-HHMMSS-mmm.qrec" (UTC); `serial` above 0 adds "-N" for a name already taken.
std::string recordFileName(const Moment& utc, int serial = 0);
bool isRecordFileName(std::string_view name);
// The record files among `names`, oldest first (a name taken twice in one moment sorts
// after the first by its serial).
std::vector<std::string> recordsOldestFirst(std::vector<std::string> names);
// The record files among `names` that are beyond the newest `keep`, oldest first.
// Other names are never chosen.
std::vector<std::string> recordsBeyondCap(std::vector<std::string> names, std::size_t keep = kKeptRecords);

}  // namespace quorbit::record
