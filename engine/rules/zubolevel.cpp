#include "rules/zubolevel.h"

#include <array>

#include "common/ascii.h"

namespace quorbit::rules {
namespace {

constexpr std::array<std::string_view, 3> kNames = {"classic", "strong", "expert"};

}  // namespace

std::string_view zuboLevelName(ZuboLevel level) {
    const auto i = static_cast<std::size_t>(level);
    return i < kNames.size() ? kNames[i] : kNames[0];
}

std::optional<ZuboLevel> parseZuboLevel(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (equalsIgnoringAsciiCase(name, kNames[i])) return static_cast<ZuboLevel>(i);
    return std::nullopt;
}

}  // namespace quorbit::rules
