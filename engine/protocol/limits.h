#pragma once
// What the game accepts from the wire: sizes of names, texts, queues and lines, the
// login deadline, and the ranges of the game options. Every rule about how much a peer
// may send or hold lives here.
#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/names.h"

namespace quorbit::protocol {

// Text sizes, counted in characters of the decoded text.
inline constexpr std::size_t kMaxNameChars = 24;
inline constexpr std::size_t kMaxTextChars = 1000;     // a chat line or an action text
inline constexpr std::size_t kMaxColourChars = 32;     // the colour text after a chat line
// No line the server relays is longer than this, in bytes with its terminator.
inline constexpr std::size_t kMaxRelayedLine = 16 * 1024;

// The server's queue per connection: lines not yet handled.
inline constexpr std::size_t kMaxQueuedLines = 1000;
inline constexpr std::size_t kMaxQueuedBytes = 256 * 1024;
// The client's queue of received lines.
inline constexpr std::size_t kMaxClientQueuedLines = 10000;

// A connection that has not logged in within this many seconds is closed.
inline constexpr int kLoginSeconds = 15;

// Game options the server accepts, each clamped into its range.
inline constexpr int kMinPlayTo = 1;
inline constexpr int kMaxPlayTo = 1000000;
inline constexpr int kMinSeconds = 1;
inline constexpr int kMaxSeconds = 3600;
inline constexpr int kMinShuffles = 0;
inline constexpr int kMaxShuffles = 99;

// The one message a connection may send before it has logged in.
inline constexpr std::string_view kLoginMessage = names::logininfo;
// Whether a received line is handled from a connection that has not logged in.
bool allowedBeforeLogin(std::string_view line);

// The form in which names are told apart: NFKC with case folding (so "ZUBO", "zubo",
// fullwidth "Ｚｕｂｏ" and "Zubo" with a zero-width space are one name), runs of spaces
// as one, and the Cyrillic and Greek letters that look like Latin ones read as those
// Latin letters ("Zubо" with a Cyrillic o is "zubo"). Empty for a name with nothing
// visible in it.
std::string nameKey(std::string_view name);
// Whether two names are the same for telling seats apart: their keys are equal.
bool sameName(std::string_view a, std::string_view b);

// The first `maxChars` characters of UTF-8 text.
std::string cutChars(std::string_view text, std::size_t maxChars);
// A player's name as the server keeps and shows it: controls, format characters (the
// bidirectional controls, the zero-width characters) and line separators removed, spaces
// of every width trimmed from both ends, cut at kMaxNameChars; bytes that are not UTF-8
// are dropped. Otherwise the name stays as the player typed it.
std::string cleanName(std::string_view name);
// Whether a cleaned name can be taken: it has something visible in it.
bool usableName(std::string_view name);
// A received "line|colour" payload with the line cut at kMaxTextChars and the colour
// text at kMaxColourChars.
std::string capChatText(std::string_view lineAndColour);

}  // namespace quorbit::protocol
