// TableServer: admission, the choice of a table, the listing, the pump and the schedule.
#include "server/tables.h"

#include <algorithm>
#include <array>
#include <utility>

#include "protocol/directory_messages.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"
#include "server/table_entry.h"

namespace quorbit::server {

namespace names = protocol::names;
using protocol::frame;

namespace {

constexpr std::size_t timerIndex(ServerTimer t) { return t == ServerTimer::Timer1 ? 0 : 1; }

}  // namespace

// ---- making and finding tables ---------------------------------------------------------

TableServer::TableServer(TablesOutput& out, const dictionary::TDictn& spell, Options options)
    : out_(out),
      spell_(spell),
      options_(options),
      words_(std::make_shared<const std::vector<std::string>>(dictionary::wordLines(options.computerWords))),
      inviteRandom_(options_.inviteRandom ? options_.inviteRandom : std::make_shared<SeededRandom>(tableSeed(options.seed, 0))),
      lobby_(*this) {
    if (options_.singleTable) makeTable("", "");
}

TableServer::~TableServer() = default;

std::string TableServer::tableName(std::string_view raw) {
    std::string name = protocol::cleanName(raw);
    std::erase(name, '+');
    return protocol::cleanName(name);  // trimmed again where a "+" stood at an end
}

TableServer::Entry* TableServer::makeTable(const std::string& name, const std::string& key, bool listed) {
    const TableId id = nextTable_++;
    auto e = std::make_unique<Entry>(*this, id, name, key);
    e->table.setZubolevel(options_.zubo);
    if (options_.language) e->table.setLanguage(options_.language);
    e->language = options_.language ? std::string(options_.language->code()) : "en";
    e->table.tellHost(!options_.singleTable);
    e->listed = listed;
    Entry* raw = e.get();
    tables_.emplace(id, std::move(e));
    if (listed) byKey_.emplace(key, id);
    touched(id);
    return raw;
}

void TableServer::dropTable(Entry& e) {
    const TableId id = e.id;
    for (std::size_t t = 0; t < e.due.size(); ++t)
        if (e.due[t] != 0) clocks_.erase({e.due[t], id, static_cast<int>(t)});
    if (e.waitsUntil) waits_.erase({*e.waitsUntil, id});
    busy_.erase(id);
    if (e.listed) byKey_.erase(e.key);
    if (!e.code.empty()) byCode_.erase(e.code);
    tables_.erase(id);
    touched(id);
    out_.tableClosed(id);
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

// Tables made in the lobby keep the level and the language they were made with.
void TableServer::setZubolevel(rules::ZuboLevel level) {
    options_.zubo = level;
    for (auto& [id, e] : tables_) {
        if (e->made) continue;
        e->table.setZubolevel(level);
        touched(id);
    }
}

void TableServer::setLanguage(std::shared_ptr<const language::LoadedLanguage> language) {
    options_.language = language;
    for (auto& [id, e] : tables_) {
        if (e->made) continue;
        e->table.setLanguage(language);
        e->language = language ? std::string(language->code()) : "en";
        touched(id);
    }
}

std::vector<protocol::tables::Tableinfo> TableServer::listing() const {
    std::vector<protocol::tables::Tableinfo> list;
    list.reserve(byKey_.size());
    for (const auto& [key, id] : byKey_) list.push_back(info(*tables_.at(id)));
    return list;
}

protocol::tables::Tableinfo TableServer::info(const Entry& e) const {
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
    return info;
}

// ---- connections --------------------------------------------------------------------

bool TableServer::waiting(ConnectionId id) const {
    const auto c = connections_.find(id);
    if (c == connections_.end() || c->second.inLobby) return false;
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
        c.chooseDue = nowMs + kChooseTableMs;
        choose_.emplace(c.chooseDue, id);
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
    } else if (it->second.inLobby) {
        lobbyReceived(id, bytes);
    } else {
        it->second.pending.append(bytes);
        lobbyLines(id);
    }
    sweep();
}

// Reads the lines of a connection that has not sat down yet, up to the one that seats it
// or takes it into the lobby.
void TableServer::lobbyLines(ConnectionId id) {
    for (;;) {
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.table != 0 || it->second.inLobby) return;
        Connection& c = it->second;
        if (c.asking != 0) {  // its lines wait for the answer, within the caps on what may wait
            if (c.pending.size() > protocol::kMaxQueuedBytes) {
                out_.logAbout(id, "closing connection " + std::to_string(id) + ": too much unserved input");
                forget(id);
                out_.close(id);
            }
            return;
        }
        const std::size_t end = c.pending.find(protocol::kTerminator);
        if (end == std::string::npos) {
            // A first line longer than any table message: the default table deals with it.
            if (c.pending.size() > protocol::kMaxTail) sitDown(id, "", std::move(c.pending));
            return;
        }
        const std::string_view line(c.pending.data(), end);
        const std::size_t plus = line.find('+');
        const std::string_view name = line.substr(0, plus);
        const std::string_view payload = plus == std::string_view::npos ? std::string_view() : line.substr(plus + 1);
        if (name == names::listtables) {
            c.pending.erase(0, end + 1);
            if (++c.listings > kMaxListings) {
                out_.logAbout(id, "closing connection " + std::to_string(id) + ": asked for the tables too often");
                forget(id);
                out_.close(id);
                return;
            }
            // It is choosing: it waits for its choice until its login deadline.
            choose_.erase({c.chooseDue, id});
            choose_.emplace(c.openedAt + kLoginMs, id);
            sendListing(id, payload.substr(0, payload.find('+')) == protocol::directory::kListAll);
            continue;
        }
        if (accountName(name)) {
            const std::string message(name);
            const std::string text = protocol::decodeWireText(payload);
            c.pending.erase(0, end + 1);
            // It is choosing: it waits for its choice until its login deadline.
            c.spokeAccounts = true;
            choose_.erase({c.chooseDue, id});
            choose_.emplace(c.openedAt + kLoginMs, id);
            accountMessage(id, message, text);
            continue;
        }
        if (name == names::lobbychat || name == names::maketable || name == names::leaderboard ||
            name == names::history) {
            c.pending.erase(0, end + 1);  // said outside the lobby: nobody hears it
            continue;
        }
        if (plus != std::string_view::npos || name == names::lobby) {
            std::string rest = c.pending.substr(end + 1);
            const std::string text = protocol::decodeWireText(payload);
            if (name == names::table) return sitDown(id, protocol::tables::Table::parse(text).name, std::move(rest));
            if (name == names::watchtable)
                return sitDown(id, protocol::lobby::Watchtable::parse(text).name, std::move(rest), true);
            if (name == names::invite) return invite(id, protocol::lobby::Invite::parse(text).code, std::move(rest));
            if (name == names::lobby) return enterLobby(id, protocol::lobby::Lobby::parse(text).name, std::move(rest));
        }
        sitDown(id, "", std::move(c.pending));
        return;
    }
}

void TableServer::sendListing(ConnectionId id, bool all) {
    const auto list = listing();
    for (const auto& info : list) out_.send(id, frame(info.format()));
    int count = static_cast<int>(list.size());
    if (all) {
        for (const auto& remote : remoteTables().listing()) out_.send(id, frame(remote.format()));
        count += static_cast<int>(remoteTables().size());
    }
    out_.send(id, frame(protocol::tables::Tablesend{count}.format()));
}

void TableServer::watchChanges(bool on) {
    watchChanges_ = on;
    changes_.clear();
    if (on)
        for (const auto& [id, e] : tables_) changes_.insert(id);
}

std::set<TableId> TableServer::takeChanges() { return std::exchange(changes_, {}); }

void TableServer::sitDown(ConnectionId id, std::string_view rawName, std::string bytes, bool watch) {
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
    sitAt(id, *e, std::move(bytes), watch);
}

void TableServer::sitAt(ConnectionId id, Entry& entryRef, std::string bytes, bool watch) {
    Entry* e = &entryRef;
    Connection& c = connections_.at(id);
    choose_.erase({c.chooseDue, id});
    choose_.erase({c.openedAt + kLoginMs, id});
    c.pending.clear();
    if (e->waitsUntil) {  // its first connection: from now on it goes when it is empty
        waits_.erase({*e->waitsUntil, e->id});
        e->waitsUntil.reset();
    }
    c.table = e->id;
    ++e->connections;
    logins_.emplace(c.openedAt + kLoginMs, id);
    const TableId tableId = e->id;
    if (watch)
        e->table.openedWatching(id, c.openedAt);
    else
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
        touched(id);
        if (Entry* still = entry(id); still && still->table.hasUnservedLines()) busy_.insert(id);
        return;
    }
    if (e.table.hasUnservedLines()) busy_.insert(e.id);
}

void TableServer::markEncrypted(ConnectionId id, std::int64_t nowMs) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    c.encrypted = true;
    // The handshake costs the client a round trip before its first line: the half-second
    // in which it may name its table starts again.
    if (c.table == 0 && choose_.erase({c.chooseDue, id}) != 0) {
        c.chooseDue = nowMs + kChooseTableMs;
        choose_.emplace(c.chooseDue, id);
    }
}

bool TableServer::encrypted(ConnectionId id) const {
    const auto c = connections_.find(id);
    return c != connections_.end() && c->second.encrypted;
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
    if (c.inLobby) lobby_.leave(id);
    choose_.erase({c.chooseDue, id});
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
        if (it == tables_.end() || it->second->connections != 0 || it->second->waitsUntil) continue;
        dropTable(*it->second);
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
            touched(id);
        }
        e = entry(id);
        if (!e || !e->table.hasUnservedLines()) busy_.erase(id);
    }
    if (auto line = lobby_.nextLine()) serveLobbyLine(line->first, line->second);
    sweep();
    lobby_.flush();
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
    if (!waits_.empty()) consider(waits_.begin()->first);
    return next;
}

void TableServer::deadlines(std::int64_t nowMs) {
    now_ = nowMs;
    while (!choose_.empty() && choose_.begin()->first <= nowMs) {
        const ConnectionId id = choose_.begin()->second;
        choose_.erase(choose_.begin());
        const auto it = connections_.find(id);
        if (it == connections_.end() || it->second.table != 0) continue;
        if (it->second.listings > 0 || it->second.spokeAccounts) {
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
        touched(id);
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
    while (!waits_.empty() && waits_.begin()->first <= nowMs) {
        const TableId id = waits_.begin()->second;
        waits_.erase(waits_.begin());
        if (Entry* e = entry(id)) {
            e->waitsUntil.reset();
            maybeEmpty_.insert(id);
        }
    }
    sweep();
}

}  // namespace quorbit::server
