// Text from peers as names and log lines: a cleaned name is valid UTF-8 of at most the
// name cap with nothing invisible at its ends, the comparison key of a key is the key
// itself, and an escaped log line is valid UTF-8 without control bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/escape.h"
#include "common/unicode_text.h"
#include "protocol/limits.h"

using namespace quorbit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string name = protocol::cleanName(text);
    const std::u32string chars = unicode::decodeUtf8(name);
    if (unicode::encodeUtf8(chars) != name || chars.size() > protocol::kMaxNameChars) std::abort();
    if (!chars.empty() && (unicode::isSpace(chars.front()) || unicode::isSpace(chars.back()))) std::abort();
    for (const char32_t c : chars)
        if (unicode::isInvisibleControl(c)) std::abort();

    const std::string key = protocol::nameKey(text);
    if (protocol::nameKey(key) != key) std::abort();

    const std::string escaped = escapeForLog(text);
    if (unicode::encodeUtf8(unicode::decodeUtf8(escaped)) != escaped) std::abort();
    for (const char c : escaped)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
    return 0;
}
