#include "common/numbers.h"

namespace quorbit {

std::optional<std::int32_t> toInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && text[0] == '-') { negative = true; i = 1; }
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL || value < -2147483648LL) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t strToInt(std::string_view text) {
    const auto v = toInt(text);
    if (!v) throw ConversionError(std::string(text));
    return *v;
}

}  // namespace quorbit
