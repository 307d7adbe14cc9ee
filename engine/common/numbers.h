#pragma once
// The strict text-to-integer conversion the whole program uses for numbers it reads from
// the wire, files, settings and the command line: an optional "-" and decimal digits
// within 32-bit range, nothing else.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorbit {

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text)
        : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

// The number `text` holds, or nothing.
std::optional<std::int32_t> toInt(std::string_view text);
// The same, throwing ConversionError on failure.
std::int32_t strToInt(std::string_view text);

}  // namespace quorbit
