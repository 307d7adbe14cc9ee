// Typed join addresses, TXT records and resolved services found on the network: any bytes
// read without a crash, what reads as an address formats back to the same reading, and the
// list of games never holds more than its caps or a loopback address.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/address.h"
#include "discovery/announcement.h"
#include "discovery/gamelist.h"
#include "protocol/address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto a = quorbit::discovery::parseJoinAddress(text, 7772);
    if (a.ok()) {
        const auto again =
            quorbit::discovery::parseJoinAddress(quorbit::discovery::formatJoinAddress(a.host, a.port, 7772), 7772);
        if (!again.ok() || again.host != a.host || again.port != a.port) __builtin_trap();
    }
    // The same text as a launch parameter's HOST[:PORT][/TABLE].
    if (const auto where = quorbit::protocol::splitServerAddress(text, 7772)) {
        if (where->host.empty() || where->port < 1 || where->port > 65535) __builtin_trap();
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
    // Each record as a sighting "name host address" (split at the first two blanks).
    quorbit::discovery::GameListing listing;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string& r = records[i];
        const std::size_t a = std::min(r.find(' '), r.size()), b = std::min(r.find(' ', a + 1), r.size());
        quorbit::discovery::FoundGame g;
        g.name = r.substr(0, a);
        g.host = a < r.size() ? r.substr(a + 1, b - a - 1) : "";
        g.address = b < r.size() ? r.substr(b + 1) : "";
        const int iface = static_cast<int>(i % 3);
        if (i % 5 == 4) listing.lost({iface, 0, g.name, "local"});
        else listing.resolved({iface, static_cast<int>(i % 2), g.name, "local"}, i % 2 == 0, g);
    }
    if (listing.games().size() > quorbit::discovery::kMaxListedGames) __builtin_trap();
    for (const auto& g : listing.games())
        if (quorbit::discovery::isLoopbackAddress(g.address)) __builtin_trap();
    return 0;
}
