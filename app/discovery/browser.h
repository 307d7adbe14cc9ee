#pragma once
// GameBrowser: the games announced on the local network, as the system's Avahi daemon
// finds them. Each found service is resolved to an address, a port and its TXT
// records, followed while it changes, and dropped when it goes away. A game seen over
// several interfaces or both IP families is listed once, by its name. The list is
// bounded as GameListing says; a service it refuses is no longer followed.
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "discovery/gamelist.h"

struct AvahiClient;
struct AvahiServiceBrowser;
struct AvahiServiceResolver;

namespace quorbit::discovery {

class QtAvahiPoll;

class GameBrowser : public QObject {
    Q_OBJECT
public:
    using LogSink = std::function<void(std::string_view)>;

    explicit GameBrowser(LogSink log = {}, QObject* parent = nullptr);
    ~GameBrowser() override;

    // The games found so far, one per name, sorted by name; at most kMaxListedGames.
    const std::vector<FoundGame>& games() const { return listing_.games(); }
    // False while no daemon answers (the list then stays empty).
    bool daemonRunning() const { return running_; }
    // Why games cannot be looked for, for the player; empty while the daemon answers.
    const std::string& unavailable() const { return unavailable_; }

signals:
    void changed();

private:
    using Key = std::tuple<int, int, std::string, std::string>;  // interface, protocol, name, domain
    struct Entry {
        AvahiServiceResolver* resolver = nullptr;
    };
    // Services refused once (loopback, or their host's share full) are remembered so that
    // they are not resolved again while they stay announced; this many at most.
    static constexpr std::size_t kMaxRefused = 4096;

    static void clientCallback(AvahiClient* c, int state, void* self);
    static void browseCallback(AvahiServiceBrowser* b, int iface, int protocol, int event, const char* name,
                               const char* type, const char* domain, int flags, void* self);
    static void resolveCallback(AvahiServiceResolver* r, int iface, int protocol, int event, const char* name,
                                const char* type, const char* domain, const char* host, const void* address,
                                uint16_t port, void* txt, int flags, void* self);
    void connectClient();
    void onClientState(AvahiClient* c, int state);
    void dropAll();
    void log(const std::string& line);
    void setUnavailable(std::string why);

    LogSink log_;
    std::unique_ptr<QtAvahiPoll> poll_;
    AvahiClient* client_ = nullptr;
    AvahiServiceBrowser* browser_ = nullptr;
    std::map<Key, Entry> entries_;  // followed services, each with its resolver
    std::set<Key> refused_;
    GameListing listing_;
    bool running_ = false;
    std::string unavailable_;
};

}  // namespace quorbit::discovery
