#pragma once
// The inside of TableServer, shared by its source files: a table's entry (its table, its
// generator, its bookkeeping) and the host each table reports to.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/tables.h"

namespace quorbit::server {

// Spreads the server's seed over its tables (splitmix64).
inline std::uint64_t tableSeed(std::uint64_t seed, TableId table) {
    if (table == 1) return seed;  // the first table draws as a lone server always has
    std::uint64_t z = seed + table * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// What one table asks of its host, passed on with the table's name and number.
class TableServer::TableHost final : public ServerOutput {
public:
    TableHost(TableServer& server, TableId id) : server_(server), id_(id) {}
    void bind(Entry* e) { entry_ = e; }
    void send(ConnectionId id, std::string_view bytes) override { server_.out_.send(id, bytes); }
    void close(ConnectionId id) override { server_.tableClosedConnection(*entry_, id); }
    void timerChanged(ServerTimer timer, bool enabled) override { server_.clockChanged(*entry_, timer, enabled); }
    void log(std::string_view line) override { server_.out_.log(prefixed(line)); }
    void logAbout(ConnectionId id, std::string_view line) override { server_.out_.logAbout(id, prefixed(line)); }
    void heardByAll(std::string_view message) override;
    void gameFinished(const GameFinished& game) override;
    bool nameTaken(ConnectionId id, int seat, std::string_view name) override {
        return server_.nameTaken(*entry_, id, seat, name);
    }
    void seatLoggedIn(int seat, const std::string& name) override {
        server_.lobby_.seated(id_, seat, name);
        server_.touched(id_);
    }
    void seatLoggedOut(int seat) override {
        server_.lobby_.unseated(id_, seat);
        server_.touched(id_);
    }

private:
    std::string prefixed(std::string_view line) const;

    TableServer& server_;
    TableId id_;
    Entry* entry_ = nullptr;
};

struct TableServer::Entry {
    Entry(TableServer& server, TableId id, std::string name, std::string key)
        : id(id), name(std::move(name)), key(std::move(key)), random(tableSeed(server.options_.seed, id)),
          host(server, id), table(host, server.spell_, random, server.words_) {
        host.bind(this);
    }
    TableId id;
    std::string name;
    std::string key;
    SeededRandom random;
    TableHost host;
    Table table;
    std::size_t connections = 0;
    std::array<std::int64_t, 2> due{};  // each clock's next tick; 0 while it is off
    std::optional<std::int64_t> served;  // when it last served a line
    bool listed = true;                  // public: reached by its name and listed
    std::string code;                    // a private table's invite code
    std::optional<protocol::lobby::TableOptions> made;  // the options it was made with in the lobby
    std::string language;                // the code of its next game's language
    std::optional<std::int64_t> waitsUntil;  // made and not sat at yet: kept until then
    std::string madeBy;                  // the address of the connection that made it
};

inline std::string TableServer::TableHost::prefixed(std::string_view line) const {
    if (entry_->name.empty()) return std::string(line);
    return "table \"" + entry_->name + "\": " + std::string(line);
}

inline void TableServer::TableHost::gameFinished(const GameFinished& game) {
    server_.out_.gameFinished(id_, entry_->name, game);
}

inline void TableServer::TableHost::heardByAll(std::string_view message) {
    server_.out_.heardByAll(id_, entry_->name, message);
}

}  // namespace quorbit::server
