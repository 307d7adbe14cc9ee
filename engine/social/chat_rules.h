#pragma once
// The rules of the chat box: what a typed line or a phrase button sends, how a
// received line and its colour are read, and where a line's bold head ends.
#include <string>
#include <string_view>

#include "social/colour.h"

namespace quorbit::social {

inline constexpr std::string_view kChatPlaceholder = "<Enter Chat Here>";

// What a typed line turns into.
struct TypedLine {
    enum class Kind { nothing, chat, action };
    Kind kind = Kind::nothing;
    std::string text;  // the chat text, or the action text without "/me" and its blank
};
// A line not starting with "/" is chat; one starting with "/me" is an action with the
// first four characters removed; every other "/" line sends nothing.
TypedLine readTypedLine(std::string_view text);

// The action text a phrase button sends: "/me " phrases without those four characters,
// every other phrase as "says: " and the phrase.
std::string phraseActionText(std::string_view phrase);

// A received chat or action payload "line|colour": the line before the first "|" and
// its colour; red when the "|" or a readable colour is missing.
struct ReceivedLine {
    std::string text;
    Colour colour;
};
ReceivedLine readReceivedLine(std::string_view payload);

// A player's "line|colour" payload as the server relays it: unchanged, unless its colour
// passes for the system colour, which then becomes kPlayerColourInstead, so that no
// player's line can be taken for a notice of the program's own.
inline constexpr Colour kPlayerColourInstead = kBlack;
std::string withoutSystemColour(std::string_view lineAndColour);

// The bold head of a chat-box line: up to and including the first ":" (empty without
// one). The rest of the line follows in the regular style.
std::size_t headLength(std::string_view line);

}  // namespace quorbit::social
