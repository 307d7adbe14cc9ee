#include "discovery/announcement.h"

namespace quorbit::discovery {
namespace {

constexpr int kMaxPlayers = 4;
constexpr int kMaxPlayTo = 1000000;
constexpr int kMaxTables = 1000000;

std::string yesNo(bool b) { return b ? "yes" : "no"; }

std::optional<bool> readYesNo(std::string_view v) {
    if (v == "yes") return true;
    if (v == "no") return false;
    return std::nullopt;
}

std::optional<int> readNumber(std::string_view v, int max) {
    if (v.empty() || v.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : v) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max) return std::nullopt;
    return value;
}

}  // namespace

std::vector<std::string> toTxtRecords(const GameAnnouncement& a) {
    std::vector<std::string> records{"version=" + cutUtf8(a.version, kMaxVersionText),
                                     "players=" + std::to_string(a.players), "running=" + yesNo(a.running),
                                     "playto=" + std::to_string(a.playTo), "teams=" + yesNo(a.teamGame)};
    if (isLanguageCode(a.language) && a.language != "en") records.push_back("lang=" + a.language);
    if (a.tables) records.push_back("tables=" + std::to_string(*a.tables));
    return records;
}

bool isLanguageCode(std::string_view v) {
    return v.size() == 2 && v[0] >= 'a' && v[0] <= 'z' && v[1] >= 'a' && v[1] <= 'z';
}

FoundAnnouncement readTxtRecords(const std::vector<std::string>& records) {
    FoundAnnouncement found;
    for (const std::string& r : records) {
        const std::size_t eq = r.find('=');
        if (eq == std::string::npos) continue;
        const std::string_view key(r.data(), eq);
        const std::string_view value = std::string_view(r).substr(eq + 1);
        if (key == "version")
            found.version = cutUtf8(value, kMaxVersionText);
        else if (key == "players")
            found.players = readNumber(value, kMaxPlayers);
        else if (key == "running")
            found.running = readYesNo(value);
        else if (key == "playto")
            found.playTo = readNumber(value, kMaxPlayTo);
        else if (key == "teams")
            found.teamGame = readYesNo(value);
        else if (key == "lang")
            found.language = isLanguageCode(value) ? std::string(value) : std::string();
        else if (key == "tables")
            found.tables = readNumber(value, kMaxTables);
    }
    return found;
}

std::string cutUtf8(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    std::size_t end = bytes;
    // Step back over continuation bytes to the start of the character that would be cut.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

std::string gameServiceName(std::string_view hostName) {
    constexpr std::string_view suffix = "'s game";
    return cutUtf8(hostName, kMaxServiceName - suffix.size()) + std::string(suffix);
}

}  // namespace quorbit::discovery
