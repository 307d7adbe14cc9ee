#include "app/discovery/browser.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <net/if.h>

#include <algorithm>
#include <cstdio>

#include "app/discovery/avahipoll.h"

namespace quorbit::discovery {
namespace {

std::vector<std::string> txtRecords(AvahiStringList* list) {
    std::vector<std::string> out;
    // A service may send any number of records; a game sends five.
    constexpr std::size_t kMaxRecords = 32;
    for (AvahiStringList* i = list; i && out.size() < kMaxRecords; i = avahi_string_list_get_next(i))
        out.emplace_back(reinterpret_cast<const char*>(avahi_string_list_get_text(i)), avahi_string_list_get_size(i));
    return out;
}

std::string addressText(const AvahiAddress* a, int iface) {
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    avahi_address_snprint(text, sizeof text, a);
    std::string out = text;
    // A link-local IPv6 address means something only together with its interface.
    if (a->proto == AVAHI_PROTO_INET6 && a->data.ipv6.address[0] == 0xfe && (a->data.ipv6.address[1] & 0xc0) == 0x80) {
        char name[IF_NAMESIZE] = {};
        if (iface > 0 && ::if_indextoname(static_cast<unsigned>(iface), name)) out += std::string("%") + name;
    }
    return out;
}

}  // namespace

GameBrowser::GameBrowser(LogSink log, QObject* parent)
    : QObject(parent), log_(std::move(log)), poll_(std::make_unique<QtAvahiPoll>()) {
    connectClient();
}

GameBrowser::~GameBrowser() {
    // The client frees its browser and resolvers with it.
    if (client_) avahi_client_free(client_);
}

void GameBrowser::log(const std::string& line) {
    if (log_) log_(line);
}

void GameBrowser::connectClient() {
    int error = 0;
    client_ = avahi_client_new(poll_->poll(), AVAHI_CLIENT_NO_FAIL,
                               reinterpret_cast<AvahiClientCallback>(&GameBrowser::clientCallback), this, &error);
    if (!client_) {
        log(std::string("Games on the local network cannot be found: ") + avahi_strerror(error));
        setUnavailable(std::string("the Avahi client could not start (") + avahi_strerror(error) + ")");
    }
}

void GameBrowser::setUnavailable(std::string why) {
    if (why == unavailable_) return;
    unavailable_ = std::move(why);
    emit changed();
}

void GameBrowser::clientCallback(AvahiClient* c, int state, void* self) {
    static_cast<GameBrowser*>(self)->onClientState(c, state);
}

void GameBrowser::onClientState(AvahiClient* c, int state) {
    client_ = c;
    if (state == AVAHI_CLIENT_S_RUNNING) {
        running_ = true;
        setUnavailable({});
        if (browser_) return;
        browser_ = avahi_service_browser_new(c, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, kServiceType.data(), nullptr,
                                             static_cast<AvahiLookupFlags>(0),
                                             reinterpret_cast<AvahiServiceBrowserCallback>(&GameBrowser::browseCallback),
                                             this);
        if (!browser_) {
            log(std::string("Cannot look for games: ") + avahi_strerror(avahi_client_errno(c)));
            setUnavailable(std::string("looking for games failed (") + avahi_strerror(avahi_client_errno(c)) + ")");
        }
        return;
    }
    if (state == AVAHI_CLIENT_CONNECTING) {
        running_ = false;
        log("No Avahi daemon: games on the local network are not listed.");
        setUnavailable("no Avahi daemon is running on this computer");
        return;
    }
    if (state == AVAHI_CLIENT_FAILURE) {
        running_ = false;
        const int error = avahi_client_errno(c);
        const bool gone = error == AVAHI_ERR_DISCONNECTED;
        dropAll();
        avahi_client_free(c);
        client_ = nullptr;
        setUnavailable(gone ? "the Avahi daemon stopped" : std::string("the Avahi daemon failed (") + avahi_strerror(error) + ")");
        if (gone) connectClient();  // wait for the daemon to come back
    }
}

void GameBrowser::dropAll() {
    // Resolvers and the browser belong to the client, which is freed next.
    for (const auto& [key, e] : entries_) listing_.lost(key);
    entries_.clear();
    refused_.clear();
    browser_ = nullptr;
    emit changed();
}

void GameBrowser::browseCallback(AvahiServiceBrowser*, int iface, int protocol, int event, const char* name,
                                 const char* type, const char* domain, int, void* self) {
    auto* me = static_cast<GameBrowser*>(self);
    if (!name || !domain) {
        if (event == AVAHI_BROWSER_FAILURE)
            me->log(std::string("Looking for games failed: ") + avahi_strerror(avahi_client_errno(me->client_)));
        return;
    }
    const Key key{iface, protocol, name, domain};
    if (event == AVAHI_BROWSER_NEW) {
        if (me->entries_.count(key) || me->refused_.count(key)) return;
        // A flood of announcements is not followed beyond the bound.
        if (me->entries_.size() >= kMaxFollowedServices) return;
        Entry& e = me->entries_[key];
        e.resolver = avahi_service_resolver_new(
            me->client_, iface, protocol, name, type, domain, protocol, static_cast<AvahiLookupFlags>(0),
            reinterpret_cast<AvahiServiceResolverCallback>(&GameBrowser::resolveCallback), me);
        if (!e.resolver) me->entries_.erase(key);
    } else if (event == AVAHI_BROWSER_REMOVE) {
        me->refused_.erase(key);
        const auto it = me->entries_.find(key);
        if (it == me->entries_.end()) return;
        if (it->second.resolver) avahi_service_resolver_free(it->second.resolver);
        me->entries_.erase(it);
        if (me->listing_.lost(key)) emit me->changed();
    }
}

void GameBrowser::resolveCallback(AvahiServiceResolver*, int iface, int protocol, int event, const char* name,
                                  const char*, const char* domain, const char* host, const void* address,
                                  uint16_t port, void* txt, int, void* self) {
    auto* me = static_cast<GameBrowser*>(self);
    if (!name || !domain) return;
    const auto it = me->entries_.find(Key{iface, protocol, name, domain});
    if (it == me->entries_.end()) return;
    const Key key = it->first;
    if (event != AVAHI_RESOLVER_FOUND || !address) {
        // Unresolvable for now; the resolver keeps trying while the service is listed.
        if (me->listing_.lost(key)) emit me->changed();
        return;
    }
    FoundGame game;
    game.name = name;
    game.host = host ? host : "";
    game.address = addressText(static_cast<const AvahiAddress*>(address), iface);
    game.port = port;
    game.txt = readTxtRecords(txtRecords(static_cast<AvahiStringList*>(txt)));
    const GameListing::Outcome outcome = me->listing_.resolved(key, protocol == AVAHI_PROTO_INET, std::move(game));
    if (outcome.refused) {
        // Not followed any more: its resolver goes, and it is not resolved again.
        if (it->second.resolver) avahi_service_resolver_free(it->second.resolver);
        me->entries_.erase(it);
        if (me->refused_.size() < kMaxRefused) me->refused_.insert(key);
    }
    if (outcome.changed) emit me->changed();
}

}  // namespace quorbit::discovery
