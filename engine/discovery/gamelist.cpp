#include "discovery/gamelist.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "common/ascii.h"

namespace quorbit::discovery {
namespace {

std::string withoutZone(std::string_view address) { return std::string(address.substr(0, address.find('%'))); }

bool loopbackOrUnspecifiedV4(const unsigned char* b) { return b[0] == 127 || (b[0] | b[1] | b[2] | b[3]) == 0; }

}  // namespace

bool isLoopbackAddress(std::string_view address) {
    const std::string text = withoutZone(address);
    unsigned char bytes[16] = {};
    if (::inet_pton(AF_INET, text.c_str(), bytes) == 1) return loopbackOrUnspecifiedV4(bytes);
    if (::inet_pton(AF_INET6, text.c_str(), bytes) != 1) return false;
    static constexpr unsigned char kZero[10] = {};
    if (std::memcmp(bytes, kZero, sizeof kZero) != 0) return false;
    if (bytes[10] == 0 && bytes[11] == 0) {  // "::" or "::1"
        static constexpr unsigned char kZeroTail[3] = {};
        return std::memcmp(bytes + 12, kZeroTail, 3) == 0 && bytes[15] <= 1;
    }
    return bytes[10] == 0xff && bytes[11] == 0xff && loopbackOrUnspecifiedV4(bytes + 12);  // ::ffff:a.b.c.d
}

bool GameListing::hostIsFull(const Key& key, const FoundGame& game) const {
    const std::string address = withoutZone(game.address);
    std::set<std::string> names;
    for (const auto& [k, s] : sightings_) {
        if (k == key) continue;
        const bool sameHost = !game.host.empty() && equalsIgnoringAsciiCase(s.game.host, game.host);
        if (!sameHost && withoutZone(s.game.address) != address) continue;
        if (s.game.name == game.name) return false;  // a game already shown, seen once more
        names.insert(s.game.name);
    }
    return names.size() >= kMaxGamesPerHost;
}

GameListing::Outcome GameListing::resolved(const Key& key, bool preferred, FoundGame game) {
    if (isLoopbackAddress(game.address) || hostIsFull(key, game)) return {true, lost(key)};
    auto [it, added] = sightings_.try_emplace(key);
    if (added) it->second.order = next_++;
    // A new game while the list is full is the last seen: it cannot enter the list.
    const bool cannotShow = added && games_.size() == kMaxListedGames &&
                            std::none_of(games_.begin(), games_.end(), [&](const FoundGame& g) { return g.name == game.name; });
    it->second.game = std::move(game);
    it->second.preferred = preferred;
    return {false, !cannotShow && rebuild()};
}

bool GameListing::lost(const Key& key) { return sightings_.erase(key) != 0 && rebuild(); }

bool GameListing::rebuild() {
    // One sighting per name: IPv4 first, else the first seen.
    std::map<std::string, const Sighting*> best;
    for (const auto& [key, s] : sightings_) {
        const Sighting*& b = best[s.game.name];
        if (!b || (s.preferred && !b->preferred) || (s.preferred == b->preferred && s.order < b->order)) b = &s;
    }
    std::vector<const Sighting*> chosen;
    chosen.reserve(best.size());
    for (const auto& [name, s] : best) chosen.push_back(s);
    if (chosen.size() > kMaxListedGames) {
        std::nth_element(chosen.begin(), chosen.begin() + kMaxListedGames, chosen.end(),
                         [](const Sighting* a, const Sighting* b) { return a->order < b->order; });
        chosen.resize(kMaxListedGames);
        std::sort(chosen.begin(), chosen.end(),
                  [](const Sighting* a, const Sighting* b) { return a->game.name < b->game.name; });
    }
    std::vector<FoundGame> games;
    games.reserve(chosen.size());
    for (const Sighting* s : chosen) games.push_back(s->game);
    if (games == games_) return false;
    games_ = std::move(games);
    return true;
}

}  // namespace quorbit::discovery
