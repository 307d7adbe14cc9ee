#include "social/colour.h"

#include <array>
#include <cstdio>

#include "common/ascii.h"
#include "common/numbers.h"

namespace quorbit::social {
namespace {

struct NamedColour {
    std::string_view name;
    std::uint32_t value;
};

// The sixteen colours written by name.
constexpr std::array<NamedColour, 16> kNamed = {{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
}};

// Desktop system colours, read only, at the classic desktop scheme's values.
constexpr std::array<NamedColour, 25> kSystem = {{
    {"clScrollBar", 0xC8C8C8}, {"clBackground", 0x808000}, {"clActiveCaption", 0x800000},
    {"clInactiveCaption", 0x808080}, {"clMenu", 0xC0C0C0}, {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x000000}, {"clMenuText", 0x000000}, {"clWindowText", 0x000000},
    {"clCaptionText", 0xFFFFFF}, {"clActiveBorder", 0xC0C0C0}, {"clInactiveBorder", 0xC0C0C0},
    {"clAppWorkSpace", 0x808080}, {"clHighlight", 0x800000}, {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xC0C0C0}, {"clBtnShadow", 0x808080}, {"clGrayText", 0x808080},
    {"clBtnText", 0x000000}, {"clInactiveCaptionText", 0xC0C0C0}, {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x000000}, {"cl3DLight", 0xE0E0E0}, {"clInfoText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
}};

std::optional<std::uint32_t> hexValue(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

}  // namespace

bool passesForSystemColour(Colour colour) {
    auto near = [](int a, int b) { return a - b < kSystemLikeDistance && b - a < kSystemLikeDistance; };
    return near(colour.red(), kSystemColour.red()) && near(colour.green(), kSystemColour.green()) &&
           near(colour.blue(), kSystemColour.blue());
}

std::string colourToText(Colour colour) {
    for (const auto& named : kNamed)
        if (named.value == colour.value) return std::string(named.name);
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour.value));
    return text;
}

std::optional<Colour> colourFromText(std::string_view text) {
    for (const auto& named : kNamed)
        if (equalsIgnoringAsciiCase(named.name, text)) return Colour{named.value};
    for (const auto& named : kSystem)
        if (equalsIgnoringAsciiCase(named.name, text)) return Colour{named.value};
    if (!text.empty() && text[0] == '$') {
        if (const auto v = hexValue(text.substr(1))) return Colour{*v};
        return std::nullopt;
    }
    // Decimal, as the 32-bit pattern of a signed number.
    if (const auto v = toInt(text)) return Colour{static_cast<std::uint32_t>(*v)};
    return std::nullopt;
}

}  // namespace quorbit::social
