#include "social/chat_rules.h"

namespace quorbit::social {

TypedLine readTypedLine(std::string_view text) {
    if (text.empty()) return {};
    if (text[0] != '/') return {TypedLine::Kind::chat, std::string(text)};
    // Only the exact, case-sensitive "/me" is a command; its blank goes with it.
    if (text.substr(0, 3) != "/me") return {};
    const std::size_t cut = text.size() < 4 ? text.size() : 4;
    return {TypedLine::Kind::action, std::string(text.substr(cut))};
}

std::string phraseActionText(std::string_view phrase) {
    if (phrase.substr(0, 4) == "/me ") return std::string(phrase.substr(4));
    return "says: " + std::string(phrase);
}

ReceivedLine readReceivedLine(std::string_view payload) {
    const std::size_t bar = payload.find('|');
    if (bar == std::string_view::npos) return {std::string(payload), kFallbackColour};
    const auto colour = colourFromText(payload.substr(bar + 1));
    return {std::string(payload.substr(0, bar)), colour ? *colour : kFallbackColour};
}

std::string withoutSystemColour(std::string_view lineAndColour) {
    const ReceivedLine read = readReceivedLine(lineAndColour);
    if (!passesForSystemColour(read.colour)) return std::string(lineAndColour);
    return read.text + "|" + colourToText(kPlayerColourInstead);
}

std::size_t headLength(std::string_view line) {
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? 0 : colon + 1;
}

}  // namespace quorbit::social
