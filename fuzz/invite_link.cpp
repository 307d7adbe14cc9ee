// Invite links from browsers, chat lines and the command line: any bytes read without a
// crash, and a link that reads is written back as a text that reads as the same link and
// holds no blank (so that a chat line keeps it whole).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "discovery/invite_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = quorbit::discovery::parseInviteLink(text);
    if (!read.ok()) {
        if (read.error.empty()) __builtin_trap();
        return 0;
    }
    const std::string written = quorbit::discovery::formatInviteLink(read.link);
    if (written.find_first_of(" \r\n") != std::string::npos) __builtin_trap();
    const auto again = quorbit::discovery::parseInviteLink(written);
    if (!again.ok() || !(again.link == read.link)) __builtin_trap();
    return 0;
}
