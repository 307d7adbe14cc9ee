// Table: connections, seats, login, relay, removal, just watch, the start of a game and the pump.
#include "server/server.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "protocol/limits.h"
#include "protocol/table_messages.h"
#include "social/chat_rules.h"

namespace quorbit::server {

namespace toserver = protocol::toserver;
using protocol::frame;
namespace toclient = protocol::toclient;

Table::Table(ServerOutput& out, const dictionary::TDictn& spell, Random& random, std::string_view computerWords)
    : Table(out, spell, random,
            std::make_shared<const std::vector<std::string>>(dictionary::wordLines(computerWords))) {}

Table::Table(ServerOutput& out, const dictionary::TDictn& spell, Random& random,
             std::shared_ptr<const std::vector<std::string>> computerWords)
    : out_(out), words_(std::move(computerWords)), game_(*this, spell, random, *words_) {
    for (int s = 1; s <= kSeats; ++s) player(s).control = unheld(s);
    buildDispatch();
}

void Table::buildDispatch() {
    // In the order of names::kServerHears.
    dispatch_.on(*this, &Table::receivedlogininfo);
    dispatch_.on(*this, &Table::kickhim);
    dispatch_.on(*this, &Table::chat);
    dispatch_.on(*this, &Table::action);
    dispatch_.on(*this, &Table::startgame);
    dispatch_.on(*this, &Table::justwatch);
    dispatch_.on(*this, &Table::playerdone);
    dispatch_.on(*this, &Table::direction);
    dispatch_.on(*this, &Table::selectletter);
    dispatch_.on(*this, &Table::selectclear);
    dispatch_.on(*this, &Table::clearletter);
    dispatch_.on(*this, &Table::shuffle);
}

int Table::seatOf(ConnectionId id) const {
    const auto it = connections_.find(id);
    return it == connections_.end() ? 0 : it->second.seat;
}

std::size_t Table::queuedLines(ConnectionId id) const {
    const auto it = connections_.find(id);
    return it == connections_.end() ? 0 : it->second.lines.size();
}

// ---- connections -------------------------------------------------------------------

void Table::opened(ConnectionId id, std::int64_t nowMs) { seatNewcomer(id, nowMs, 1); }

void Table::openedWatching(ConnectionId id, std::int64_t nowMs) { seatNewcomer(id, nowMs, kPlayingSeats + 1); }

// The lowest free seat from `first` on, for a new connection.
int Table::freeSeat(int first) {
    if (first == 1) {
        if (playercount_ == 0) {
            playercount_ = 1;
            return 1;
        }
        for (int s = 1; s <= playercount_; ++s)
            if (!players_[static_cast<std::size_t>(s)].connected) return s;
        return playercount_ < kSeats ? ++playercount_ : 0;
    }
    for (int s = first; s <= kSeats; ++s) {
        if (players_[static_cast<std::size_t>(s)].connected) continue;
        playercount_ = std::max(playercount_, s);
        return s;
    }
    return 0;
}

void Table::seatNewcomer(ConnectionId id, std::int64_t nowMs, int first) {
    if (connections_.count(id) != 0) return;  // already known: nothing changes
    int seat = freeSeat(first);
    if (seat == 0) {
        // All the seats it may take are held. The connection among them that has waited
        // longest without logging in makes room for this one, so that idle connections
        // cannot keep players out.
        const auto idle = std::min_element(connections_.begin(), connections_.end(), [this, first](const auto& a, const auto& b) {
            const auto rank = [this, first](const Connection& c) {
                const bool mayTake = c.seat >= first;
                const bool idle = !players_[static_cast<std::size_t>(c.seat)].loggedin;
                return std::make_tuple(!mayTake, !idle, c.openedAt);
            };
            return rank(a.second) < rank(b.second);
        });
        if (idle != connections_.end() && idle->second.seat >= first && !player(idle->second.seat).loggedin) {
            seat = idle->second.seat;
            out_.logAbout(idle->first, "closing connection " + std::to_string(idle->first) +
                                           ": not logged in, and the table is full");
            dropConnection(idle->first, true);
        }
    }
    if (seat == 0) {
        // All those seats are held by players: refuse this one and leave the table as it is.
        out_.send(id, frame(toclient::full()));
        out_.close(id);
        return;
    }
    tplayer& p = player(seat);
    p.connected = true;
    p.sock = id;
    p.control = SeatControl::Person;
    Connection& c = connections_[id];
    c.seat = seat;
    c.openedAt = nowMs;
    out_.send(id, frame(toclient::sendlogininfo(seat)));
}

void Table::received(ConnectionId id, std::string_view bytes) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    std::vector<std::string> lines;
    if (!c.cutter.feed(bytes, lines)) {
        out_.logAbout(id, "closing connection " + std::to_string(id) + ": line over 64 KiB");
        dropConnection(id, true);
        return;
    }
    for (auto& line : lines) {
        c.queuedBytes += line.size();
        c.lines.push_back(std::move(line));
    }
    if (c.lines.size() > protocol::kMaxQueuedLines || c.queuedBytes > protocol::kMaxQueuedBytes) {
        out_.logAbout(id, "closing connection " + std::to_string(id) + ": too much unserved input");
        dropConnection(id, true);
    }
}

void Table::loginTimer(std::int64_t nowMs) {
    std::vector<ConnectionId> late;
    for (const auto& [id, c] : connections_)
        if (!player(c.seat).loggedin && nowMs - c.openedAt >= kLoginMs) late.push_back(id);
    for (const ConnectionId id : late) {
        out_.logAbout(id, "closing connection " + std::to_string(id) + ": no login in time");
        dropConnection(id, true);
    }
}

std::optional<std::int64_t> Table::nextLoginDeadline() const {
    std::optional<std::int64_t> next;
    for (const auto& [id, c] : connections_)
        if (!players_[static_cast<std::size_t>(c.seat)].loggedin && (!next || c.openedAt + kLoginMs < *next))
            next = c.openedAt + kLoginMs;
    return next;
}

void Table::closed(ConnectionId id) {
    if (connections_.count(id) == 0) return;
    dropConnection(id, false);
}

// Forgets a connection with its unserved lines and frees its seat; `closeIt` when the
// server itself ends the connection.
void Table::dropConnection(ConnectionId id, bool closeIt) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const int seat = it->second.seat;
    connections_.erase(it);
    seatGone(seat);
    if (closeIt) out_.close(id);
}

void Table::seatGone(int seat) {
    tplayer& p = player(seat);
    if (seat == 0 || !p.connected) return;
    sendAllBut(seat, toclient::playerdisconnected(seat, p.name));
    p.connected = false;
    if (p.loggedin) out_.seatLoggedOut(seat);
    p.loggedin = false;
    p.name.clear();
    p.control = unheld(seat);
    p.sock = -1;
    loginOrder_[static_cast<std::size_t>(seat)] = 0;
    if (seat == host_) {
        // The host's powers pass to the seat logged in longest.
        int next = 0;
        for (int s = 1; s <= kSeats; ++s) {
            const std::uint64_t order = loginOrder_[static_cast<std::size_t>(s)];
            if (order != 0 && (next == 0 || order < loginOrder_[static_cast<std::size_t>(next)])) next = s;
        }
        setHost(next);
    }
    game_.seatLeft(seat);
}

void Table::setHost(int seat) {
    host_ = seat;
    if (!tellsHost_ || seat == 0) return;
    for (int s = 1; s <= playercount_; ++s)
        if (player(s).connected && player(s).loggedin) sendHost(s);
    if (!hostNote_.empty()) sendTo(seat, hostNote_);
}

void Table::sendHost(int seat) { sendTo(seat, protocol::tables::Host{host_}.format()); }

void Table::socktimerTimer() {
    if (connections_.empty()) return;
    // Round-robin: the first connection after the one served last that has a line.
    auto it = anyServed_ ? connections_.upper_bound(lastServed_) : connections_.begin();
    for (std::size_t n = 0; n < connections_.size(); ++n) {
        if (it == connections_.end()) it = connections_.begin();
        if (!it->second.lines.empty()) break;
        ++it;
    }
    if (it == connections_.end() || it->second.lines.empty()) return;
    lastServed_ = it->first;
    anyServed_ = true;
    const std::string line = std::move(it->second.lines.front());
    it->second.lines.pop_front();
    it->second.queuedBytes -= line.size();
    // Until it has logged in, a connection is heard only asking to log in.
    if (!player(it->second.seat).loggedin && !protocol::allowedBeforeLogin(line)) return;
    // The handler may end the connection: `it` is not used after it.
    const ConnectionId id = it->first;
    senderSeat_ = it->second.seat;
    senderId_ = id;
    const auto result = dispatch_.dispatch(line);
    senderSeat_ = 0;
    senderId_ = -1;
    if (result == protocol::DispatchResult::Abandoned)
        out_.logAbout(id, "connection " + std::to_string(id) +
                              ": a field that is not a number ended the handling of: " + line.substr(0, 200));
}

void Table::logSender(const std::string& line) {
    if (senderId_ >= 0)
        out_.logAbout(senderId_, line);
    else
        out_.log(line);
}

bool Table::hasUnservedLines() const {
    for (const auto& [id, c] : connections_)
        if (!c.lines.empty()) return true;
    return false;
}

// ---- sending -----------------------------------------------------------------------

void Table::sendTo(int seat, std::string_view message) {
    const tplayer& p = player(seat);
    if (seat == 0 || !p.connected) return;
    out_.send(p.sock, frame(message));
}

void Table::sendAll(std::string_view message) { sendAllBut(0, message); }

void Table::relay(std::string_view message) {
    if (message.size() + 1 > protocol::kMaxRelayedLine) {
        logSender("a relayed line over 16 KiB was dropped");
        return;
    }
    sendAll(message);
}

void Table::sendAllBut(int seat, std::string_view message) {
    out_.heardByAll(message);
    const std::string framed = frame(message);
    for (int s = 1; s <= playercount_; ++s) {
        const tplayer& p = player(s);
        if (s != seat && p.connected) out_.send(p.sock, framed);
    }
}

// ---- login, removal, relay, just watch -----------------------------------------------

void Table::receivedlogininfo(const toserver::Logininfo& m) {
    const int seat = m.seat;
    if (!fromSender(seat)) return;
    const std::string& version = m.version;
    const std::string name = protocol::cleanName(m.name);
    if (!protocol::usableName(name)) {
        // A name with nothing visible in it would leave the seat unnamed on every screen.
        logSender("closing connection " + std::to_string(senderId_) + ": a login without a name");
        dropConnection(player(seat).sock, true);
        return;
    }
    tplayer& p = player(seat);
    p.name = uniqueName(seat, name);
    p.lastname = p.name;
    p.connected = true;
    p.loggedin = true;
    loginOrder_[static_cast<std::size_t>(seat)] = ++logins_;
    out_.seatLoggedIn(seat, p.name);
    // Only seats that have logged in are announced and told: a seat that is still
    // connecting has no name yet and hears of everybody at its own login.
    const std::string announcement = toclient::newplayerinfo(seat, p.name);
    out_.heardByAll(announcement);
    const std::string announce = frame(announcement);
    for (int s = 1; s <= playercount_; ++s) {
        const tplayer& other = player(s);
        if (other.connected && other.loggedin) out_.send(other.sock, announce);
    }
    for (int s = 1; s <= playercount_; ++s) {
        const tplayer& other = player(s);
        if (s != seat && other.connected && other.loggedin) sendTo(seat, toclient::existingplayers(s, other.name));
    }
    if (host_ == 0) host_ = seat;  // the first to log in hosts (and hears so below)
    if (version != protocol::kVersion) {
        sendTo(host_, toclient::havewrongversion(p.name));
        sendTo(seat, toclient::wrongversion());
    }
    game_.tellNewcomer(seat);
    if (tellsHost_) sendHost(seat);
    if (game_.languageCode() != language::english().code) sendTo(seat, toclient::language(game_.languageCode()));
    if (seat == host_ && !hostNote_.empty()) sendTo(seat, hostNote_);
}

std::string madeUnique(const std::string& name, const std::function<bool(std::string_view)>& taken) {
    const auto clash = [&taken](std::string_view candidate) {
        return protocol::sameName(candidate, rules::kComputerName) || taken(candidate);
    };
    std::string candidate = name;
    for (int n = 2; clash(candidate); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        candidate = protocol::cutChars(name, protocol::kMaxNameChars - suffix.size()) + suffix;
    }
    return candidate;
}

std::string cleanChatText(std::string_view lineAndColour) {
    return social::withoutSystemColour(protocol::capChatText(lineAndColour));
}

// `name` made unique among the other logged-in seats and whatever the host holds beyond
// the table.
std::string Table::uniqueName(int seat, const std::string& name) const {
    return madeUnique(name, [this, seat](std::string_view candidate) {
        for (int s = 1; s <= playercount_; ++s) {
            const tplayer& other = players_[static_cast<std::size_t>(s)];
            if (s != seat && other.connected && other.loggedin && protocol::sameName(candidate, other.name))
                return true;
        }
        return out_.nameTaken(senderId_, seat, candidate);
    });
}

void Table::kickhim(const toserver::Kickhim& m) {
    const int requester = m.requester;
    if (requester != host_ || !fromSender(requester)) return;
    const int target = m.target;
    if (target < 1 || target > kSeats) return;
    const tplayer& p = player(target);
    if (p.connected) dropConnection(p.sock, true);
}

void Table::chat(const toserver::Chat& m) {
    const int seat = m.seat;
    if (!fromSender(seat)) return;
    relay(toclient::chat(player(seat).name, cleanChatText(m.lineAndColour)));
}

void Table::action(const toserver::Action& m) {
    const int seat = m.seat;
    if (!fromSender(seat)) return;
    relay(toclient::action(player(seat).name, cleanChatText(m.textAndColour)));
}

void Table::justwatch(const toserver::Justwatch& m) {
    const int seat = m.seat;
    if (seat < 1 || seat > kPlayingSeats) return;
    // A player switches his own seat; the host may switch any.
    if (!fromSender(seat) && (senderSeat_ == 0 || senderSeat_ != host_)) return;
    const int mode = m.mode;
    tplayer& p = player(seat);
    // Only a held seat changes hands; an empty one stays as it is, so that whoever takes
    // it next plays it himself.
    if (mode == 2) {
        if (p.connected) p.control = SeatControl::Person;
        sendAll(toclient::justwatching(seat, 2));
    } else if (mode == 1 && game_.running()) {
        if (p.connected) p.control = SeatControl::Computer;
        sendAll(toclient::justwatching(seat, 1));
        game_.nowWatching(seat);
    }
}

std::string Table::playerName(int seat) const {
    const tplayer& p = this->seat(seat);
    if (!p.name.empty()) return p.name;
    if (seat == rules::kComputerSeat) return std::string(rules::kComputerName);
    // A player who left still plays under his own name (he may win with it).
    return p.lastname;
}

void Table::startgame(const toserver::Startgame& m) {
    // Only the host starts (or restarts) a game.
    if (senderSeat_ == 0 || senderSeat_ != host_) return;
    // Options out of range are clamped into it, so the countdown and the shuffles stay
    // within what the turn clock can count.
    const protocol::GameSettings& s = m.settings;
    GameOptions o;
    o.starter = protocol::cleanName(s.starter);
    o.playTo = std::clamp(s.playTo, protocol::kMinPlayTo, protocol::kMaxPlayTo);
    o.seconds = std::clamp(s.seconds, protocol::kMinSeconds, protocol::kMaxSeconds);
    o.team = s.team;
    o.shuffles = std::clamp(s.shuffles, protocol::kMinShuffles, protocol::kMaxShuffles);
    // A new game starts with every held seat played by its holder.
    for (int s = 1; s <= kPlayingSeats; ++s)
        if (player(s).connected) player(s).control = SeatControl::Person;
    game_.start(o);
}

}  // namespace quorbit::server
