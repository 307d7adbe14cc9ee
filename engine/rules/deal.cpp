#include "rules/deal.h"

#include <array>

namespace quorbit::rules {
namespace {

// Upper end of each letter's range of draws, in the order of the ranges.
struct Range {
    int last;
    char letter;
};
constexpr std::array<Range, 26> kRanges = {{
    {9, 'A'},  {21, 'E'}, {30, 'I'}, {38, 'O'}, {41, 'U'}, {46, 'D'}, {49, 'G'},
    {51, 'H'}, {55, 'L'}, {57, 'M'}, {63, 'N'}, {65, 'P'}, {71, 'R'}, {75, 'S'},
    {81, 'T'}, {83, 'Y'}, {85, 'B'}, {87, 'C'}, {89, 'F'}, {90, 'J'}, {91, 'K'},
    {93, 'W'}, {94, 'Q'}, {96, 'V'}, {97, 'X'}, {98, 'Z'},
}};

}  // namespace

int drawcode(int v) {
    for (const auto& r : kRanges)
        if (v <= r.last) return (v >= 1) ? r.letter - 'A' + 1 : 1;
    return 1;
}

int drawcode(int v, const std::array<int, 26>& weights) {
    int first = 0;
    int last = 0;
    for (int l = 0; l < 26; ++l) {
        const int w = weights[static_cast<std::size_t>(l)];
        if (w <= 0) continue;
        if (first == 0) first = l + 1;
        last += w;
        if (v >= 1 && v <= last && v <= 98) return l + 1;
    }
    return first == 0 ? 1 : first;
}

}  // namespace quorbit::rules
