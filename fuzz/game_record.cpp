// Feeds arbitrary bytes to the game record reader. What it accepts must write back to
// a text that reads to the same record, summarise without harm, and replay to its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "record/record.h"
#include "record/replay.h"
#include "record/summary.h"

using namespace quorbit::record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ReadResult r = readRecord(text);
    if (!r.record) {
        if (r.error.empty()) std::abort();
        return 0;
    }
    const std::string again = writeRecord(*r.record);
    const ReadResult back = readRecord(again);
    if (!back.record || writeRecord(*back.record) != again) std::abort();
    summaryText(summarise(*r.record));
    Replay replay(*r.record);
    replay.stepWord();
    replay.advanceTo(replay.length());
    if (!replay.atEnd()) std::abort();
    return 0;
}
