#pragma once
// What a hosted game tells the local network about itself: its service name and the
// TXT records of its DNS-SD service, and how a found service's records are read back.
// Records from the network may be anything: unknown keys are ignored, numbers out of
// range or unreadable leave the field unknown, and texts are cut to a fixed length.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorbit::discovery {

inline constexpr std::string_view kServiceType = "_quorbit._tcp";
inline constexpr std::size_t kMaxServiceName = 63;  // bytes in one DNS label
inline constexpr std::size_t kMaxVersionText = 32;

// The state of a hosted game as it is announced.
struct GameAnnouncement {
    std::string version;       // the game version of the host
    int players = 0;           // playing seats (1 to 4) held by logged-in players
    bool running = false;      // a game is in progress
    int playTo = 0;            // the play-to score of the game (0 before the first)
    bool teamGame = false;
    std::string language = "en";  // ISO 639-1; announced only when not English
    std::optional<int> tables;  // a table server: how many tables it holds (the rest: its default table)
    friend bool operator==(const GameAnnouncement&, const GameAnnouncement&) = default;
};

// "version=1.0.10", "players=2", "running=yes", "playto=500", "teams=no", then "lang=fr"
// for a game not played in English (an English game's records are as they always were),
// and for a table server "tables=12".
std::vector<std::string> toTxtRecords(const GameAnnouncement& a);

// What a found service says; fields it does not say (or says badly) stay empty.
struct FoundAnnouncement {
    std::string version;
    std::optional<int> players;
    std::optional<bool> running;
    std::optional<int> playTo;
    std::optional<bool> teamGame;
    std::string language;  // "lang": two letters a..z, else empty (English, or not said)
    std::optional<int> tables;
    friend bool operator==(const FoundAnnouncement&, const FoundAnnouncement&) = default;
};
FoundAnnouncement readTxtRecords(const std::vector<std::string>& records);

// Two letters a..z: the shape of an ISO 639-1 code (whether this program knows it or not).
bool isLanguageCode(std::string_view text);

// "Ann's game" for the host "Ann"; cut (on a character boundary) to fit one DNS label.
std::string gameServiceName(std::string_view hostName);

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string cutUtf8(std::string_view text, std::size_t bytes);

}  // namespace quorbit::discovery
