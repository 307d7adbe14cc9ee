// Chat lines from the network: any bytes go through the link finder and the marking of
// format characters without a crash, and a line that holds a link comes back with no
// format character left in it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "social/links.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::string shown = quorbit::social::showFormatCharactersNearLinks(line);
    if (shown != line) {
        // Marked: a second pass finds nothing more to mark.
        if (quorbit::social::showFormatCharactersNearLinks(shown) != shown) __builtin_trap();
    }
    for (std::size_t i = 0; i < shown.size(); i += 7) (void)quorbit::social::linkAt(shown, i);
    return 0;
}
