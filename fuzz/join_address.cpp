// Typed join addresses and TXT records found on the network: any bytes read without a
// crash, and what reads as an address formats back to the same reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/address.h"
#include "discovery/announcement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto a = quorbit::discovery::parseJoinAddress(text, 7772);
    if (a.ok()) {
        const auto again =
            quorbit::discovery::parseJoinAddress(quorbit::discovery::formatJoinAddress(a.host, a.port, 7772), 7772);
        if (!again.ok() || again.host != a.host || again.port != a.port) __builtin_trap();
    }
    std::vector<std::string> records;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        records.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    (void)quorbit::discovery::readTxtRecords(records);
    (void)quorbit::discovery::gameServiceName(text);
    return 0;
}
