// TableServer: admission, the choice of a table, the listing, the pump and the schedule.
#include "server/tables.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"

namespace quorbit::server {

namespace names = protocol::names;
using protocol::frame;

namespace {

// Spreads the server's seed over its tables (splitmix64).
std::uint64_t tableSeed(std::uint64_t seed, TableId table) {
    if (table == 1) return seed;  // the first table draws as a lone server always has
    std::uint64_t z = seed + table * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

constexpr std::size_t timerIndex(ServerTimer t) { return t == ServerTimer::Timer1 ? 0 : 1; }

}  // namespace

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
};

void TableServer::TableHost::gameFinished(const GameFinished& game) {
    server_.out_.gameFinished(id_, entry_->name, game);
}

std::string TableServer::TableHost::prefixed(std::string_view line) const {
    if (entry_->name.empty()) return std::string(line);
    return "table \"" + entry_->name + "\": " + std::string(line);
}

void TableServer::TableHost::heardByAll(std::string_view message) {
    server_.out_.heardByAll(id_, entry_->name, message);
}

// ---- making and finding tables ---------------------------------------------------------

TableServer::TableServer(TablesOutput& out, const dictionary::TDictn& spell, Options options)
    : out_(out),
      spell_(spell),
      options_(options),
      words_(std::make_shared<const std::vector<std::string>>(dictionary::wordLines(options.computerWords))) {
    if (options_.singleTable) makeTable("", "");
}

TableServer::~TableServer() = default;

std::string TableServer::tableName(std::string_view raw) {
    std::string name = protocol::cleanName(raw);
    std::erase(name, '+');
    return protocol::cleanName(name);  // trimmed again where a "+" stood at an end
}

TableServer::Entry* TableServer::makeTable(const std::string& name, const std::string& key) {
    const TableId id = nextTable_++;
    auto e = std::make_unique<Entry>(*this, id, name, key);
    e->table.setZubolevel(options_.zubo);
    if (options_.language) e->table.setLanguage(options_.language);
    e->table.tellHost(!options_.singleTable);
    Entry* raw = e.get();
    tables_.emplace(id, std::move(e));
    byKey_.emplace(key, id);
    return raw;
}

TableServer::Entry* TableServer::entry(TableId id) {
    const auto it = tables_.find(id);
    return it == tables_.end() ? nullptr : it->second.get();
}

const Table* TableServer::table(std::string_view name) const {
    const auto it = byKey_.find(protocol::nameKey(tableName(name)));
    return it == byKey_.end() ? nullptr : &tables_.at(it->second)->table;
}

Table* TableServer::table(std::string_view name) {
    return const_cast<Table*>(static_cast<const TableServer*>(this)->table(name));
}

const Table* TableServer::tableOf(ConnectionId id) const {
    const auto c = connections_.find(id);
    if (c == connections_.end() || c->second.table == 0) return nullptr;
    const auto t = tables_.find(c->second.table);
    return t == tables_.end() ? nullptr : &t->second->table;
}

void TableServer::setZubolevel(rules::ZuboLevel level) {
    options_.zubo = level;
    for (auto& [id, e] : tables_) e->table.setZubolevel(level);
}

void TableServer::setLanguage(std::shared_ptr<const language::LoadedLanguage> language) {
    options_.language = language;
    for (auto& [id, e] : tables_) e->table.setLanguage(language);
}

std::vector<protocol::tables::Tableinfo> TableServer::listing() const {
    std::vector<protocol::tables::Tableinfo> list;
    list.reserve(byKey_.size());
    for (const auto& [key, id] : byKey_) {
        const Entry& e = *tables_.at(id);
        const Table& t = e.table;
        protocol::tables::Tableinfo info;
        info.name = e.name;
        for (int s = 1; s <= kSeats; ++s) {
            if (!t.seat(s).connected || !t.seat(s).loggedin) continue;
            if (rules::isPlayingSeat(s))
                ++info.players;
            else
                ++info.watchers;
        }
        info.running = t.gamerunning();
        info.playTo = t.playtoscore();
        info.seconds = t.timeperturn();
        info.teams = t.teamgame();
        info.zubo = std::string(rules::zuboLevelName(t.zubolevel()));
        list.push_back(std::move(info));
    }
    return list;
}

// ---- connections --------------------------------------------------------------------

bool TableServer::waiting(ConnectionId id) const {
    const auto c = connections_.find(id);
    if (c == connections_.end()) return false;
    const Table* t = tableOf(id);
    if (!t) return true;
    return !t->seat(t->seatOf(id)).loggedin;
}

bool TableServer::admit(ConnectionId id, const std::string& address) {
    if (connections_.size() >= options_.limits.connections) {
        refuse(id, "the server holds as many connections as it may");
        return false;
    }
    const auto from = byAddress_.find(address);
    if (from != byAddress_.end()) {
        if (from->second.size() >= options_.limits.perAddress) {
            refuse(id, "too many connections from " + address);
            return false;
        }
        const auto idle = static_cast<std::size_t>(
            std::count_if(from->second.begin(), from->second.end(), [this](ConnectionId c) { return waiting(c); }));
        if (idle >= options_.limits.waitingPerAddress) {
            refuse(id, "too many connections not logged in from " + address);
            return false;
        }
    }
    return true;
}

void TableServer::refuse(ConnectionId id, const std::string& why) {
    out_.logAbout(id, "refusing connection " + std::to_string(id) + ": " + why);
    out_.send(id, frame(protocol::toclient::full()));
    out_.close(id);
}

void TableServer::opened(ConnectionId id, const std::string& address, std::int64_t nowMs) {
    now_ = nowMs;
    if (connections_.count(id) != 0 || !admit(id, address)) return;
    Connection& c = connections_[id];
    c.address = address;
    c.openedAt = nowMs;
    byAddress_[address].push_back(id);
    if (options_.singleTable) {
        sitDown(id, "", {});
    } else {
        choose_.emplace(nowMs + kChooseTableMs, id);
    }
    sweep();
}

void TableServer::received(ConnectionId id, std::string_view bytes, std::int64_t nowMs) {
    now_ = nowMs;
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    if (it->second.table != 0) {
        Entry* e = entry(it->second.table);
        if (!e) return;
        e->table.received(id, bytes);
        fed(*e);
    } else {
        it->second.pending.append(bytes);
        lobbyLines(id);
    }
    sweep();
}

// Reads the lines of a connection that has not sat down yet, up to the one that seats it.
void TableServer::lobbyLines(ConnectionId id) {
    for (;;) {
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.table != 0) return;
        Connection& c = it->second;
        const std::size_t end = c.pending.find(protocol::kTerminator);
        if (end == std::string::npos) {
            // A first line longer than any table message: the default table deals with it.
            if (c.pending.size() > protocol::kMaxTail) sitDown(id, "", std::move(c.pending));
            return;
        }
        const std::string_view line(c.pending.data(), end);
        if (line == names::listtables || startsWith(line, std::string(names::listtables) + "+")) {
            c.pending.erase(0, end + 1);
            if (++c.listings > kMaxListings) {
                out_.logAbout(id, "closing connection " + std::to_string(id) + ": asked for the tables too often");
                forget(id);
                out_.close(id);
                return;
            }
            // It is choosing: it waits for its choice until its login deadline.
            choose_.erase({c.openedAt + kChooseTableMs, id});
            choose_.emplace(c.openedAt + kLoginMs, id);
            sendListing(id);
            continue;
        }
        const std::string prefix = std::string(names::table) + "+";
        if (startsWith(line, prefix)) {
            const auto name = protocol::tables::Table::parse(protocol::decodeWireText(line.substr(prefix.size()))).name;
            std::string rest = c.pending.substr(end + 1);
            sitDown(id, name, std::move(rest));
            return;
        }
        sitDown(id, "", std::move(c.pending));
        return;
    }
}

void TableServer::sendListing(ConnectionId id) {
    const auto list = listing();
    for (const auto& info : list) out_.send(id, frame(info.format()));
    out_.send(id, frame(protocol::tables::Tablesend{static_cast<int>(list.size())}.format()));
}

void TableServer::sitDown(ConnectionId id, std::string_view rawName, std::string bytes) {
    Connection& c = connections_.at(id);
    choose_.erase({c.openedAt + kChooseTableMs, id});
    choose_.erase({c.openedAt + kLoginMs, id});
    c.pending.clear();
    const std::string name = tableName(rawName);
    const std::string key = protocol::nameKey(name);
    Entry* e = nullptr;
    if (const auto t = byKey_.find(key); t != byKey_.end()) {
        e = entry(t->second);
    } else if (tables_.size() >= options_.limits.tables) {
        forget(id);
        refuse(id, "no room for another table");
        return;
    } else {
        e = makeTable(name, key);
    }
    c.table = e->id;
    ++e->connections;
    logins_.emplace(c.openedAt + kLoginMs, id);
    const TableId tableId = e->id;
    e->table.opened(id, c.openedAt);
    // The table may have refused it (every seat held by a player): it is gone then.
    if (!bytes.empty() && connections_.count(id) != 0 && entry(tableId)) {
        e->table.received(id, bytes);
        fed(*e);
    }
}

void TableServer::fed(Entry& e) {
    if (options_.promptLines && busy_.count(e.id) == 0 && (!e.served || now_ - *e.served >= kPumpMs) &&
        e.table.hasUnservedLines()) {
        e.served = now_;
        const TableId id = e.id;
        e.table.socktimerTimer();
        if (Entry* still = entry(id); still && still->table.hasUnservedLines()) busy_.insert(id);
        return;
    }
    if (e.table.hasUnservedLines()) busy_.insert(e.id);
}

void TableServer::closed(ConnectionId id, std::int64_t nowMs) {
    now_ = nowMs;
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const TableId t = it->second.table;
    forget(id);
    if (Entry* e = entry(t)) e->table.closed(id);
    sweep();
}

void TableServer::forget(ConnectionId id) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const Connection& c = it->second;
    choose_.erase({c.openedAt + kChooseTableMs, id});
    choose_.erase({c.openedAt + kLoginMs, id});
    logins_.erase({c.openedAt + kLoginMs, id});
    if (const auto a = byAddress_.find(c.address); a != byAddress_.end()) {
        std::erase(a->second, id);
        if (a->second.empty()) byAddress_.erase(a);
    }
    if (Entry* e = entry(c.table)) {
        --e->connections;
        maybeEmpty_.insert(e->id);
    }
    connections_.erase(it);
}

// The table ended a connection itself (a kick, a refusal, a missed login, a flood).
void TableServer::tableClosedConnection(Entry& e, ConnectionId id) {
    const auto it = connections_.find(id);
    if (it != connections_.end() && it->second.table == e.id) forget(id);
    out_.close(id);
}

void TableServer::sweep() {
    if (options_.singleTable) {
        maybeEmpty_.clear();
        return;
    }
    for (const TableId id : maybeEmpty_) {
        const auto it = tables_.find(id);
        if (it == tables_.end() || it->second->connections != 0) continue;
        Entry& e = *it->second;
        for (std::size_t t = 0; t < e.due.size(); ++t)
            if (e.due[t] != 0) clocks_.erase({e.due[t], id, static_cast<int>(t)});
        busy_.erase(id);
        byKey_.erase(e.key);
        tables_.erase(it);
        out_.tableClosed(id);
    }
    maybeEmpty_.clear();
}

// ---- the pump and the schedule ------------------------------------------------------

void TableServer::pumpTick(std::int64_t nowMs) {
    now_ = nowMs;
    const std::vector<TableId> serving(busy_.begin(), busy_.end());
    for (const TableId id : serving) {
        Entry* e = entry(id);
        // A table that served a line within this tick waits for the next.
        if (e && options_.promptLines && e->served && nowMs - *e->served < kPumpMs) continue;
        if (e) {
            e->served = nowMs;
            e->table.socktimerTimer();
        }
        e = entry(id);
        if (!e || !e->table.hasUnservedLines()) busy_.erase(id);
    }
    sweep();
}

void TableServer::clockChanged(Entry& e, ServerTimer timer, bool enabled) {
    const std::size_t t = timerIndex(timer);
    if (e.due[t] != 0) clocks_.erase({e.due[t], e.id, static_cast<int>(t)});
    e.due[t] = enabled ? now_ + kClockMs : 0;
    if (enabled) clocks_.emplace(e.due[t], e.id, static_cast<int>(t));
}

std::optional<std::int64_t> TableServer::nextDeadline() const {
    std::optional<std::int64_t> next;
    const auto consider = [&next](std::int64_t at) {
        if (!next || at < *next) next = at;
    };
    if (!choose_.empty()) consider(choose_.begin()->first);
    if (!logins_.empty()) consider(logins_.begin()->first);
    if (!clocks_.empty()) consider(std::get<0>(*clocks_.begin()));
    return next;
}

void TableServer::deadlines(std::int64_t nowMs) {
    now_ = nowMs;
    while (!choose_.empty() && choose_.begin()->first <= nowMs) {
        const ConnectionId id = choose_.begin()->second;
        choose_.erase(choose_.begin());
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.table != 0) continue;
        if (it->second.listings > 0) {
            out_.logAbout(id, "closing connection " + std::to_string(id) + ": no table chosen in time");
            forget(id);
            out_.close(id);
        } else {
            sitDown(id, "", std::move(it->second.pending));
        }
    }
    while (!logins_.empty() && logins_.begin()->first <= nowMs) {
        const ConnectionId id = logins_.begin()->second;
        logins_.erase(logins_.begin());
        const auto it = connections_.find(id);
        if (it == connections_.end()) continue;
        if (Entry* e = entry(it->second.table)) e->table.loginTimer(nowMs);
    }
    while (!clocks_.empty() && std::get<0>(*clocks_.begin()) <= nowMs) {
        const auto [due, id, t] = *clocks_.begin();
        clocks_.erase(clocks_.begin());
        Entry* e = entry(id);
        if (!e) continue;
        e->due[static_cast<std::size_t>(t)] = 0;
        if (t == 0)
            e->table.Timer1Timer();
        else
            e->table.computertimerTimer();
        e = entry(id);
        if (!e || e->due[static_cast<std::size_t>(t)] != 0) continue;
        const bool on = t == 0 ? e->table.timer1Enabled() : e->table.computertimerEnabled();
        if (!on) continue;
        // Still running: the next tick one period on, as a repeating timer keeps it.
        std::int64_t next = due + kClockMs;
        if (next <= nowMs) next = nowMs + kClockMs;
        e->due[static_cast<std::size_t>(t)] = next;
        clocks_.emplace(next, id, t);
    }
    sweep();
}

}  // namespace quorbit::server
