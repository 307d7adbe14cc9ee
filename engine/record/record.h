#pragma once
// A game record: the lines a client received from the server during one game, each
// with the milliseconds since the game's first line, and a header saying when, with
// which program, who sat where and with which options the game was played.
//
// The file form is text, one entry a line, versioned by its first line (docs/records.md
// describes it). Every byte of a received line except the terminator 0xFF survives
// writing and reading unchanged.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/seats.h"

namespace quorbit::record {

inline constexpr int kFormatVersion = 1;
inline constexpr std::string_view kMagic = "quorbit-record";
// Files larger than this are refused before reading (a long game is far below it).
inline constexpr std::size_t kMaxRecordBytes = 64u * 1024 * 1024;
// A record holds at most this many game lines: a long game has a few thousand. A file
// with more is refused, and a recording ends (as closed) when it reaches them.
inline constexpr std::size_t kMaxRecordEntries = 100000;
// Header texts are cut when read: a seat's name as the server cuts names, the date and
// the program's version text at this many characters.
inline constexpr std::size_t kMaxHeaderTextChars = 64;
// The language of a record made before records named theirs, and of every English game.
inline constexpr std::string_view kRecordDefaultLanguage = "en";
// A record names the playing seats.
inline constexpr int kSeats = rules::kPlayingSeats;

// How a recorded game ended.
enum class Ending {
    Winner,  // the winner was announced
    Closed,  // the connection (or the server) ended first
};

struct Entry {
    std::int64_t ms = 0;  // since the record's first line; never decreasing
    std::string line;     // as received, without the terminator
};

struct Header {
    std::string date;     // UTC, "YYYY-MM-DDTHH:MM:SSZ"
    std::string program;  // the program's version text
    int ownSeat = 0;      // 1..4 a player, 5..9 a spectator, 0 an onlooker (a recording server)
    std::array<std::string, kSeats> seats{};  // names of seats 1..4; empty for a free seat
    // The game's options as far as they are known (a late joiner never hears the
    // number of shuffles): -1 when unknown.
    int playTo = -1;
    int seconds = -1;
    int shuffles = -1;
    bool team = false;
    // The game's language, an ISO 639-1 code. Written only for a game not played in
    // English, so an English record reads as it always has; a record without it is English.
    std::string language{kRecordDefaultLanguage};
};

struct Record {
    Header header;
    std::vector<Entry> entries;
    Ending ending = Ending::Closed;
    std::int64_t endMs = 0;  // when the game ended, not before the last entry
};

// The file text of a record.
std::string writeRecord(const Record& record);

// Reading a file's text. A text that is not a record, of another version, or damaged
// gives an error that says what and where, never a partial record.
struct ReadResult {
    std::optional<Record> record;
    std::string error;  // empty when record holds a value
};
ReadResult readRecord(std::string_view text);

// One field of the file form: backslash, control bytes and, in a text that is not
// UTF-8, every byte from 0x80 are written as escapes, so the file is UTF-8 text with one
// entry a line. unescapeField gives nothing for a malformed escape.
std::string escapeField(std::string_view raw);
std::optional<std::string> unescapeField(std::string_view text);

}  // namespace quorbit::record
