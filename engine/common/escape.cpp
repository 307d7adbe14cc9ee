#include "common/escape.h"

#include "common/unicode_text.h"

namespace quorbit {

std::string escapeForLog(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    auto escapeBytes = [&out](std::string_view bytes) {
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            out += "\\x";
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0xF]);
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        const unicode::Decoded d = unicode::decodeAt(text, i);
        const std::size_t length = d.length == 0 ? 1 : d.length;
        const std::string_view bytes = text.substr(i, length);
        if (d.length == 0 || unicode::isInvisibleControl(d.cp))
            escapeBytes(bytes);
        else if (d.cp == '\\')
            out += "\\\\";
        else
            out += bytes;
        i += length;
    }
    return out;
}

}  // namespace quorbit
