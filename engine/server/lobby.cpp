// Lobby: members and their lines, the people's book and the changes sent to the members.
#include "server/lobby.h"

#include "protocol/limits.h"
#include "server/server.h"

namespace quorbit::server {

namespace lobby = protocol::lobby;
using protocol::frame;

const std::string* Lobby::memberName(ConnectionId id) const {
    const auto it = members_.find(id);
    return it == members_.end() ? nullptr : &it->second.name;
}

bool Lobby::taken(std::string_view name, const std::string& address, TableId table, int seat, bool owner) const {
    const auto it = people_.find(protocol::nameKey(name));
    if (it == people_.end()) return false;
    const Person& p = it->second;
    if (p.table != 0 && (p.table != table || p.seat != seat)) return true;
    // A member's own name, from the member's own address, is no clash.
    return p.lobby && !owner && members_.at(*p.lobby).address != address;
}

// ---- members ---------------------------------------------------------------------------

std::string Lobby::enter(ConnectionId id, const std::string& address, const std::string& name,
                         const std::function<bool(std::string_view)>& alsoTaken) {
    if (members_.empty()) rebuild();
    flush();  // the members hear what is pending before the newcomer comes
    const std::string kept =
        madeUnique(name, [this, &alsoTaken](std::string_view candidate) {
            return people_.count(protocol::nameKey(candidate)) != 0 || (alsoTaken && alsoTaken(candidate));
        });
    const std::string key = protocol::nameKey(kept);
    Person& p = people_[key];
    p.lobby = id;
    p.lobbyName = kept;
    dirtyPeople_.insert(key);
    flush();  // before the newcomer is a member: the others hear of it, it hears all below
    Member& m = members_[id];
    m.name = kept;
    m.address = address;
    welcome(id, kept);
    return kept;
}

void Lobby::welcome(ConnectionId id, const std::string& name) {
    host_.sendLobby(id, frame(lobby::Lobbyname{name}.format()));
    lobby::Lobbyready ready;
    for (const auto& [key, p] : people_) {
        if (p.toldLine.empty()) continue;
        host_.sendLobby(id, frame(p.toldLine));
        if (!p.toldRating.empty()) host_.sendLobby(id, frame(p.toldRating));
        ++ready.people;
    }
    for (const auto& [table, t] : told_) {
        host_.sendLobby(id, frame(t.line));
        ++ready.tables;
    }
    host_.sendLobby(id, frame(ready.format()));
    for (const std::string& line : remote_.lines()) host_.sendLobby(id, frame(line));
}

void Lobby::leave(ConnectionId id) {
    const auto it = members_.find(id);
    if (it == members_.end()) return;
    const std::string key = protocol::nameKey(it->second.name);
    waitingLines_ -= it->second.lines.size();
    members_.erase(it);
    const auto p = people_.find(key);
    if (p != people_.end() && p->second.lobby == id) {
        p->second.lobby.reset();
        p->second.lobbyName.clear();
        release(key);
    }
}

void Lobby::setRemote(const std::vector<RemoteTable>& tables) {
    for (const std::string& line : remote_.replace(tables)) sendAll(line);
}

void Lobby::said(ConnectionId id, const std::string& text) {
    const auto it = members_.find(id);
    if (it == members_.end()) return;
    // An empty line (with or without its colour) says nothing.
    if (text.empty() || text.front() == '|') return;
    sendAll(lobby::Lobbysaid{it->second.name, text}.format());
}

// ---- the people and the tables -------------------------------------------------------

void Lobby::seated(TableId table, int seat, const std::string& name) {
    unseated(table, seat);
    const std::string key = protocol::nameKey(name);
    Person& p = people_[key];
    p.table = table;
    p.seat = seat;
    p.seatName = name;
    seats_[{table, seat}] = key;
    changed(key);
}

void Lobby::unseated(TableId table, int seat) {
    const auto it = seats_.find({table, seat});
    if (it == seats_.end()) return;
    const std::string key = std::move(it->second);
    seats_.erase(it);
    const auto p = people_.find(key);
    if (p == people_.end() || p->second.table != table || p->second.seat != seat) return;
    p->second.table = 0;
    p->second.seat = 0;
    p->second.seatName.clear();
    release(key);
}

void Lobby::touched(TableId table) {
    if (!members_.empty()) dirtyTables_.insert(table);
}

void Lobby::changed(const std::string& key) {
    if (!members_.empty()) dirtyPeople_.insert(key);
}

void Lobby::release(const std::string& key) {
    const auto p = people_.find(key);
    if (p == people_.end() || p->second.lobby || p->second.table != 0) {
        changed(key);
        return;
    }
    // Nowhere any more: the members hear that the person is gone, then the entry goes.
    if (members_.empty())
        people_.erase(p);
    else
        dirtyPeople_.insert(key);
}

// ---- changes ---------------------------------------------------------------------------

void Lobby::sendAll(std::string_view message) {
    const std::string framed = frame(message);
    for (const auto& [id, m] : members_) host_.sendLobby(id, framed);
}

void Lobby::flush() {
    flushTables();
    flushPeople();
}

void Lobby::flushTables() {
    // In the order of the tables' numbers: a table that went comes before one made later
    // under its name.
    for (const TableId table : dirtyTables_) {
        const auto line = host_.lobbyLine(table);
        const auto told = told_.find(table);
        if (!line) {
            if (told == told_.end()) continue;
            sendAll(lobby::Lobbytablegone{told->second.name}.format());
            told_.erase(told);
            continue;
        }
        std::string text = line->format();
        if (told != told_.end() && told->second.line == text) continue;
        sendAll(text);
        told_[table] = ToldTable{line->name, std::move(text)};
    }
    dirtyTables_.clear();
}

void Lobby::flushPeople() {
    for (const std::string& key : dirtyPeople_) {
        const auto it = people_.find(key);
        if (it == people_.end()) continue;
        Person& p = it->second;
        std::string name;
        std::string line;
        if (p.table != 0) {
            const Whereabouts w = host_.whereabouts(p.table, p.seat);
            name = p.seatName;
            line = lobby::Person{name, w.place, w.table}.format();
        } else if (p.lobby) {
            name = p.lobbyName;
            line = lobby::Person{name, "lobby", ""}.format();
        }
        // A person shown under another spelling of the name is gone under the old one.
        if (!p.toldName.empty() && (line.empty() || name != p.toldName)) {
            sendAll(lobby::Persongone{p.toldName}.format());
            p.toldName.clear();
            p.toldLine.clear();
            p.toldRating.clear();
        }
        if (line.empty()) {
            people_.erase(it);
            continue;
        }
        if (line == p.toldLine) continue;
        sendAll(line);
        const bool comes = p.toldName.empty();
        p.toldName = std::move(name);
        p.toldLine = std::move(line);
        if (comes) {
            p.toldRating = host_.ratingLine(p.toldName);
            if (!p.toldRating.empty()) sendAll(p.toldRating);
        }
    }
    dirtyPeople_.clear();
}

void Lobby::ratingsChanged(const std::string& name) {
    const auto it = people_.find(protocol::nameKey(name));
    if (it == people_.end() || it->second.toldName.empty()) return;
    Person& p = it->second;
    std::string line = host_.ratingLine(p.toldName);
    if (line == p.toldRating) return;
    p.toldRating = std::move(line);
    if (!p.toldRating.empty()) sendAll(p.toldRating);
}

void Lobby::rebuild() {
    told_.clear();
    for (auto& [key, p] : people_) {
        p.toldName.clear();
        p.toldLine.clear();
        p.toldRating.clear();
        dirtyPeople_.insert(key);
    }
    for (const TableId table : host_.publicTables()) dirtyTables_.insert(table);
    flushTables();  // nobody to tell yet: this only fills what was told
}

// ---- lines -----------------------------------------------------------------------------

bool Lobby::queue(ConnectionId id, std::string_view bytes) {
    const auto it = members_.find(id);
    if (it == members_.end()) return true;
    Member& m = it->second;
    std::vector<std::string> lines;
    const bool whole = m.cutter.feed(bytes, lines);
    for (auto& line : lines) {
        m.queuedBytes += line.size();
        m.lines.push_back(std::move(line));
        ++waitingLines_;
    }
    return whole && m.lines.size() <= protocol::kMaxQueuedLines && m.queuedBytes <= protocol::kMaxQueuedBytes;
}

void Lobby::hold(ConnectionId id, bool held) {
    if (const auto it = members_.find(id); it != members_.end()) it->second.held = held;
}

std::optional<std::pair<ConnectionId, std::string>> Lobby::nextLine() {
    if (waitingLines_ == 0) return std::nullopt;
    auto it = lastServed_ ? members_.upper_bound(*lastServed_) : members_.begin();
    for (std::size_t n = 0; n < members_.size(); ++n, ++it) {
        if (it == members_.end()) it = members_.begin();
        if (it->second.lines.empty() || it->second.held) continue;
        lastServed_ = it->first;
        std::string line = std::move(it->second.lines.front());
        it->second.lines.pop_front();
        it->second.queuedBytes -= line.size();
        --waitingLines_;
        return std::make_pair(it->first, std::move(line));
    }
    return std::nullopt;
}

}  // namespace quorbit::server
