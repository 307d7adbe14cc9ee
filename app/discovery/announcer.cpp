#include "app/discovery/announcer.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <cstdio>

#include "app/discovery/avahipoll.h"

namespace quorbit::discovery {
namespace {

AvahiStringList* txtList(const GameAnnouncement& state) {
    AvahiStringList* list = nullptr;
    const auto records = toTxtRecords(state);
    // Prepending reverses the order; walk backwards to keep it.
    for (auto it = records.rbegin(); it != records.rend(); ++it) list = avahi_string_list_add(list, it->c_str());
    return list;
}

}  // namespace

GameAnnouncer::GameAnnouncer(LogSink log, QObject* parent)
    : QObject(parent), log_(std::move(log)), poll_(std::make_unique<QtAvahiPoll>()) {}

GameAnnouncer::~GameAnnouncer() { stop(); }

void GameAnnouncer::log(const std::string& line) {
    if (log_)
        log_(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

void GameAnnouncer::start(const std::string& name, int port, const GameAnnouncement& state) {
    stop();
    name_ = cutUtf8(name, kMaxServiceName);
    port_ = port;
    state_ = state;
    if (!language_.empty()) state_.language = language_;
    running_ = true;
    toldNoDaemon_ = false;
    connectClient();
}

void GameAnnouncer::connectClient() {
    int error = 0;
    // Without a daemon the client waits for one instead of failing.
    client_ = avahi_client_new(poll_->poll(), AVAHI_CLIENT_NO_FAIL,
                               reinterpret_cast<AvahiClientCallback>(&GameAnnouncer::clientCallback), this, &error);
    if (!client_) log(std::string("The game is not announced on the local network: ") + avahi_strerror(error));
}

void GameAnnouncer::stop() {
    running_ = false;
    // Freeing the client withdraws everything it published.
    if (client_) avahi_client_free(client_);
    client_ = nullptr;
    group_ = nullptr;
    setPublished(false);
}

void GameAnnouncer::setLanguage(std::string_view code) {
    language_ = code;
    GameAnnouncement state = state_;
    update(state);
}

void GameAnnouncer::update(const GameAnnouncement& given) {
    GameAnnouncement state = given;
    if (!language_.empty()) state.language = language_;
    if (state == state_) return;
    state_ = state;
    if (!group_ || avahi_entry_group_is_empty(group_)) return;
    AvahiStringList* txt = txtList(state_);
    const int rc = avahi_entry_group_update_service_txt_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                               static_cast<AvahiPublishFlags>(0), name_.c_str(),
                                                               kServiceType.data(), nullptr, txt);
    avahi_string_list_free(txt);
    if (rc < 0) log(std::string("Could not update the game's announcement: ") + avahi_strerror(rc));
}

void GameAnnouncer::clientCallback(AvahiClient* c, int state, void* self) {
    static_cast<GameAnnouncer*>(self)->onClientState(c, state);
}

void GameAnnouncer::groupCallback(AvahiEntryGroup*, int state, void* self) {
    static_cast<GameAnnouncer*>(self)->onGroupState(state);
}

void GameAnnouncer::onClientState(AvahiClient* c, int state) {
    client_ = c;  // the first call may come before avahi_client_new returns
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        publish();
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The host name changes: publish again once the daemon runs.
        if (group_) avahi_entry_group_reset(group_);
        setPublished(false);
        break;
    case AVAHI_CLIENT_CONNECTING:
        if (!toldNoDaemon_) log("No Avahi daemon: the game is not announced on the local network.");
        toldNoDaemon_ = true;
        break;
    case AVAHI_CLIENT_FAILURE:
        setPublished(false);
        if (avahi_client_errno(c) == AVAHI_ERR_DISCONNECTED && running_) {
            // The daemon went away: wait for it to come back.
            avahi_client_free(c);
            client_ = nullptr;
            group_ = nullptr;
            log("The Avahi daemon went away: the game is not announced until it is back.");
            toldNoDaemon_ = true;
            connectClient();
        } else {
            log(std::string("The game is not announced on the local network: ") +
                avahi_strerror(avahi_client_errno(c)));
        }
        break;
    default:
        break;
    }
}

void GameAnnouncer::publish() {
    if (!running_ || !client_) return;
    if (!group_) {
        group_ = avahi_entry_group_new(client_, reinterpret_cast<AvahiEntryGroupCallback>(&GameAnnouncer::groupCallback),
                                       this);
        if (!group_) {
            log(std::string("Could not announce the game: ") + avahi_strerror(avahi_client_errno(client_)));
            return;
        }
    }
    if (!avahi_entry_group_is_empty(group_)) return;
    AvahiStringList* txt = txtList(state_);
    int rc = avahi_entry_group_add_service_strlst(group_, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                  static_cast<AvahiPublishFlags>(0), name_.c_str(), kServiceType.data(),
                                                  nullptr, nullptr, static_cast<uint16_t>(port_), txt);
    avahi_string_list_free(txt);
    if (rc == AVAHI_ERR_COLLISION) {
        rename();
        return;
    }
    if (rc >= 0) rc = avahi_entry_group_commit(group_);
    if (rc < 0) log(std::string("Could not announce the game: ") + avahi_strerror(rc));
}

void GameAnnouncer::rename() {
    char* other = avahi_alternative_service_name(name_.c_str());
    log("The name \"" + name_ + "\" is taken on the local network; announcing the game as \"" + other + "\".");
    name_ = other;
    avahi_free(other);
    if (group_) avahi_entry_group_reset(group_);
    publish();
}

void GameAnnouncer::onGroupState(int state) {
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        log("The game is announced on the local network as \"" + name_ + "\".");
        setPublished(true);
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        setPublished(false);
        rename();
        break;
    case AVAHI_ENTRY_GROUP_FAILURE:
        setPublished(false);
        log(std::string("The game's announcement failed: ") + avahi_strerror(avahi_client_errno(client_)));
        break;
    default:
        break;
    }
}

void GameAnnouncer::setPublished(bool on) {
    if (published_ == on) return;
    published_ = on;
    emit publishedChanged(on);
}

}  // namespace quorbit::discovery
