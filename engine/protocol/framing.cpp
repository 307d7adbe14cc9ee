#include "protocol/framing.h"

#include "common/unicode_text.h"

#include <array>

namespace quorbit::protocol {

std::string frame(std::string_view message) {
    std::string out;
    out.reserve(message.size() + 1);
    out.append(message);
    out.push_back(kTerminator);
    return out;
}

template <typename Take>
bool LineCutter::cut(std::string_view bytes, Take&& take) {
    bool whole = true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find(kTerminator, start);
        const std::string_view piece =
            end == std::string_view::npos ? bytes.substr(start) : bytes.substr(start, end - start);
        if (skipping_) {
            // The rest of an overflowing line: dropped through its terminator.
        } else if (tail_.size() + piece.size() > kMaxTail) {
            tail_.clear();
            tail_.shrink_to_fit();
            skipping_ = true;
            whole = false;
        } else if (end == std::string_view::npos) {
            tail_.append(piece);
        } else if (tail_.empty()) {
            take(piece);
        } else {
            tail_.append(piece);
            take(std::string_view(tail_));
            tail_.clear();
        }
        if (end == std::string_view::npos) break;
        skipping_ = false;  // the terminator ends the line, whole or skipped
        start = end + 1;
    }
    return whole;
}

bool LineCutter::feed(std::string_view bytes, std::vector<std::string>& out) {
    return cut(bytes, [&out](std::string_view line) { out.push_back(decodeWireText(line)); });
}

bool LineCutter::feedRaw(std::string_view bytes, std::vector<std::string>& out) {
    return cut(bytes, [&out](std::string_view line) { out.emplace_back(line); });
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) { ++i; continue; }
        std::size_t len;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
        else return false;
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)) return false;
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

namespace {
// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to their C1 control points.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::string decodeWireText(std::string_view raw) {
    if (isValidUtf8(raw)) return std::string(raw);
    std::string out;
    out.reserve(raw.size() * 2);
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0) unicode::appendUtf8(out, kCp1252High[c - 0x80]);
        else unicode::appendUtf8(out, c);
    }
    return out;
}

std::optional<SplitLine> splitLine(std::string_view line) {
    const std::size_t plus = line.find('+');
    if (plus == std::string_view::npos || plus == 0) return std::nullopt;
    return SplitLine{line.substr(0, plus), line.substr(plus + 1)};
}

}  // namespace quorbit::protocol
