// Feeds arbitrary bytes to the game record reader. What it accepts must keep within the
// caps, name its language by a code of two letters, write back to a text that reads to
// the same record, summarise to printable UTF-8 text, and replay to its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/escape.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "record/record.h"
#include "record/replay.h"
#include "record/summary.h"

using namespace quorbit::record;
namespace protocol = quorbit::protocol;

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
    if (r.record->entries.size() > kMaxRecordEntries) std::abort();
    if (!protocol::toclient::isLanguageCode(r.record->header.language)) std::abort();
    for (const std::string& name : r.record->header.seats)
        if (protocol::cutChars(name, protocol::kMaxNameChars) != name) std::abort();
    const std::string summary = summaryText(summarise(*r.record));
    if (!protocol::isValidUtf8(summary)) std::abort();
    for (const char c : summary)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F) std::abort();
    if (!protocol::isValidUtf8(quorbit::printableText(text))) std::abort();
    Replay replay(*r.record);
    replay.stepWord();
    replay.advanceTo(replay.length());
    if (!replay.atEnd()) std::abort();
    return 0;
}
