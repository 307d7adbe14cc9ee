#pragma once
// The games the Join window lists, out of the services that the local network announces.
// Anyone on the network can announce any number of services, pointing anywhere, so the
// list is bounded: at most kMaxListedGames games, at most kMaxGamesPerHost of them from
// one announcing host (counted by host name and by address), none at an address of this
// machine's own loopback, and at most kMaxFollowedServices services followed at once.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "discovery/announcement.h"

namespace quorbit::discovery {

inline constexpr std::size_t kMaxListedGames = 50;
inline constexpr std::size_t kMaxGamesPerHost = 4;
// Services being resolved or followed at one time; further ones are not looked at until
// some go away.
inline constexpr std::size_t kMaxFollowedServices = 128;

struct FoundGame {
    std::string name;     // the service name, "Ann's game"
    std::string host;     // the host's own name, "annspc.local"
    std::string address;  // IPv4 or IPv6 text (a link-local IPv6 address with "%interface")
    int port = 0;
    FoundAnnouncement txt;
    friend bool operator==(const FoundGame&, const FoundGame&) = default;
};

// True for an address of this machine's loopback (127.0.0.0/8, ::1, and 127.x.x.x
// written as an IPv4-mapped IPv6 address) and for the unspecified addresses 0.0.0.0 and
// "::", which reach this machine too. An announcement from the network that points there
// would have the player join a program on his own machine.
bool isLoopbackAddress(std::string_view address);

class GameListing {
public:
    // One sighting of a service: interface, protocol, name, domain (as the browser sees it).
    using Key = std::tuple<int, int, std::string, std::string>;
    struct Outcome {
        bool refused = false;  // at a loopback address, or its host already shows its share
        bool changed = false;  // the list changed
    };

    // A sighting resolved, or resolved again with new values. `preferred` marks an IPv4
    // sighting, which any host can reach: it is listed before an IPv6 sighting of the same
    // name. A refused sighting is not kept; the browser should stop following it.
    Outcome resolved(const Key& key, bool preferred, FoundGame game);
    // A sighting gone or no longer resolvable; true when the list changed.
    bool lost(const Key& key);
    // The listed games: one per name, sorted by name; the first seen are listed when more
    // than kMaxListedGames are kept.
    const std::vector<FoundGame>& games() const { return games_; }
    std::size_t sightings() const { return sightings_.size(); }

private:
    struct Sighting {
        FoundGame game;
        bool preferred = false;
        unsigned long long order = 0;  // when it was first resolved
    };
    bool hostIsFull(const Key& key, const FoundGame& game) const;
    bool rebuild();  // true when the list changed

    std::map<Key, Sighting> sightings_;
    std::vector<FoundGame> games_;
    unsigned long long next_ = 0;
};

}  // namespace quorbit::discovery
