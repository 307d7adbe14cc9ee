#include "rules/zubolevel.h"

#include <array>
#include <cctype>

namespace quorbit::rules {
namespace {

constexpr std::array<std::string_view, 3> kNames = {"classic", "strong", "expert"};

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

}  // namespace

std::string_view zuboLevelName(ZuboLevel level) {
    const auto i = static_cast<std::size_t>(level);
    return i < kNames.size() ? kNames[i] : kNames[0];
}

std::optional<ZuboLevel> parseZuboLevel(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (sameText(name, kNames[i])) return static_cast<ZuboLevel>(i);
    return std::nullopt;
}

}  // namespace quorbit::rules
