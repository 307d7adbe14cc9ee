#pragma once
// GameAnnouncer: publishes a hosted game on the local network as a DNS-SD service of
// type _quorbit._tcp through the system's Avahi daemon, keeps its TXT records up to
// date, and withdraws it when stopped or destroyed.
//
// A missing daemon is no error: the game goes on, the log says that it is not
// announced, and the service is published if a daemon turns up later. A name taken by
// another service on the network gives way to Avahi's alternative ("Ann's game #2").
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "discovery/announcement.h"

struct AvahiClient;
struct AvahiEntryGroup;

namespace quorbit::discovery {

class QtAvahiPoll;

class GameAnnouncer : public QObject {
    Q_OBJECT
public:
    using LogSink = std::function<void(std::string_view)>;

    explicit GameAnnouncer(LogSink log, QObject* parent = nullptr);
    ~GameAnnouncer() override;

    // Announces the game under `name` on TCP `port`.
    void start(const std::string& name, int port, const GameAnnouncement& state);
    // New TXT records for a running announcement (nothing when they are the same).
    void update(const GameAnnouncement& state);
    void stop();
    // The game's language (ISO 639-1) from now on, in every announcement whatever `state`
    // says; "lang=CODE" is announced only for a language other than English.
    void setLanguage(std::string_view code);

    bool published() const { return published_; }
    // The name in use (after any rename for a collision).
    const std::string& name() const { return name_; }

signals:
    void publishedChanged(bool published);

private:
    static void clientCallback(AvahiClient* c, int state, void* self);
    static void groupCallback(AvahiEntryGroup* g, int state, void* self);
    void connectClient();
    void onClientState(AvahiClient* c, int state);
    void onGroupState(int state);
    void publish();
    void rename();
    void setPublished(bool on);
    void log(const std::string& line);

    LogSink log_;
    std::unique_ptr<QtAvahiPoll> poll_;
    AvahiClient* client_ = nullptr;
    AvahiEntryGroup* group_ = nullptr;
    std::string name_;
    int port_ = 0;
    GameAnnouncement state_;
    std::string language_;  // set by setLanguage; empty: as the states say
    bool running_ = false;
    bool published_ = false;
    bool toldNoDaemon_ = false;
};

}  // namespace quorbit::discovery
