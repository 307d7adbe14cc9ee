#pragma once
// Colours and their text form.
//
// A colour is a 32-bit value laid out as 00BBGGRR (red in the lowest byte), the form
// in which colours travel in chat messages and in the settings file. As text a colour
// is one of sixteen names ("clBlack" ... "clWhite") or "$" with eight upper-case
// hexadecimal digits; reading also takes decimal numbers, any letter case of the
// names, and the names of the usual desktop system colours.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorbit::social {

struct Colour {
    std::uint32_t value = 0;  // 00BBGGRR

    static constexpr Colour fromRgb(int r, int g, int b) {
        return Colour{static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16))};
    }
    constexpr int red() const { return static_cast<int>(value & 0xFF); }
    constexpr int green() const { return static_cast<int>((value >> 8) & 0xFF); }
    constexpr int blue() const { return static_cast<int>((value >> 16) & 0xFF); }
    // 0xRRGGBB, the order most drawing libraries take.
    constexpr std::uint32_t rgb() const {
        return static_cast<std::uint32_t>((red() << 16) | (green() << 8) | blue());
    }
    friend constexpr bool operator==(Colour a, Colour b) { return a.value == b.value; }
};

inline constexpr Colour kBlack{0x000000};
inline constexpr Colour kRed{0x0000FF};
inline constexpr Colour kBlue{0xFF0000};
// The colour of every notice the client composes itself.
inline constexpr Colour kSystemColour = kBlue;
// Whether a colour would pass for the system colour on screen: each of its channels
// within kSystemLikeDistance of the system colour's. Players' lines may not use it.
inline constexpr int kSystemLikeDistance = 64;
bool passesForSystemColour(Colour colour);
// Received lines whose colour is missing or unreadable.
inline constexpr Colour kFallbackColour = kRed;
// Zubo's greeting.
inline constexpr Colour kOrange = Colour::fromRgb(255, 128, 0);
// The text of the second team's labels in a team game.
inline constexpr Colour kLightBlue = Colour::fromRgb(186, 202, 239);

// The name of a named colour, else "$" and eight upper-case hex digits.
std::string colourToText(Colour colour);
// A name (any case), a decimal number or "$" hex; nothing for anything else.
std::optional<Colour> colourFromText(std::string_view text);

}  // namespace quorbit::social
