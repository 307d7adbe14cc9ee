#include "common/escape.h"

#include "common/unicode_text.h"

namespace quorbit {

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}  // namespace

std::string escapeForLog(std::string_view text) {
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

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unicode::Decoded d = unicode::decodeAt(text, i);
        if (d.length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        if (d.cp < 0x20 || (d.cp >= 0x7F && d.cp <= 0x9F)) {
            out += "\\x";
            out.push_back(kHex[d.cp >> 4]);
            out.push_back(kHex[d.cp & 0xF]);
        } else if (unicode::isInvisibleControl(d.cp)) {
            out += "\\u";
            const int digits = d.cp > 0xFFFF ? 6 : 4;
            for (int k = digits - 1; k >= 0; --k) out.push_back(kHex[(d.cp >> (4 * k)) & 0xF]);
        } else {
            out.append(text.substr(i, d.length));
        }
        i += d.length;
    }
    return out;
}

}  // namespace quorbit
