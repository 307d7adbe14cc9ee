// TServer: connections, seats, login, relay, removal, just watch and the pump.
#include "server/server.h"

#include <utility>

#include "protocol/limits.h"
#include "social/chat_rules.h"

namespace quorbit::server {

using protocol::FieldReader;
using protocol::frame;
namespace toclient = protocol::toclient;

TServer::TServer(ServerOutput& out, const dictionary::TDictn& spell, Random& random,
                 std::string_view computerWords)
    : out_(out), spell_(spell), random_(random) {
    std::size_t start = 0;
    while (start < computerWords.size()) {
        std::size_t end = computerWords.find('\n', start);
        if (end == std::string_view::npos) end = computerWords.size();
        std::string_view word = computerWords.substr(start, end - start);
        if (!word.empty() && word.back() == '\r') word.remove_suffix(1);
        if (!word.empty()) words_.emplace_back(word);
        start = end + 1;
    }
    buildDispatch();
}

void TServer::buildDispatch() {
    namespace names = protocol::names;
    static constexpr std::array<protocol::HandlerEntry<TServer>, names::kServerHears.size()> kHandlers = {{
        {names::logininfo, &TServer::receivedlogininfo},
        {names::kickhim, &TServer::kickhim},
        {names::chat, &TServer::chat},
        {names::action, &TServer::action},
        {names::startgame, &TServer::startgame},
        {names::justwatch, &TServer::justwatch},
        {names::playerdone, &TServer::playerdone},
        {names::direction, &TServer::direction},
        {names::selectletter, &TServer::selectletter},
        {names::selectclear, &TServer::selectclear},
        {names::clearletter, &TServer::clearletter},
        {names::shuffle, &TServer::shuffle},
    }};
    dispatch_.add(kHandlers, *this);
}

int TServer::seatOf(ConnectionId id) const {
    const auto it = connections_.find(id);
    return it == connections_.end() ? 0 : it->second.seat;
}

std::size_t TServer::queuedLines(ConnectionId id) const {
    const auto it = connections_.find(id);
    return it == connections_.end() ? 0 : it->second.lines.size();
}

// ---- connections -------------------------------------------------------------------

void TServer::opened(ConnectionId id, std::int64_t nowMs) {
    if (connections_.count(id) != 0) return;  // already known: nothing changes
    int seat = 0;
    if (playercount_ == 0) {
        playercount_ = 1;
        seat = 1;
    } else {
        for (int s = 1; s <= playercount_; ++s) {
            if (!players_[static_cast<std::size_t>(s)].connected) {
                seat = s;
                break;
            }
        }
        if (seat == 0 && playercount_ < kSeats) seat = ++playercount_;
    }
    if (seat == 0) {
        // All nine seats are held: refuse this one and leave the table as it is.
        out_.send(id, frame(toclient::full()));
        out_.close(id);
        return;
    }
    tplayer& p = player(seat);
    p.connected = true;
    p.sock = id;
    Connection& c = connections_[id];
    c.seat = seat;
    c.openedAt = nowMs;
    out_.send(id, frame(toclient::sendlogininfo(seat)));
}

void TServer::received(ConnectionId id, std::string_view bytes) {
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

void TServer::loginTimer(std::int64_t nowMs) {
    std::vector<ConnectionId> late;
    for (const auto& [id, c] : connections_)
        if (!player(c.seat).loggedin && nowMs - c.openedAt >= kLoginMs) late.push_back(id);
    for (const ConnectionId id : late) {
        out_.logAbout(id, "closing connection " + std::to_string(id) + ": no login in time");
        dropConnection(id, true);
    }
}

std::optional<std::int64_t> TServer::nextLoginDeadline() const {
    std::optional<std::int64_t> next;
    for (const auto& [id, c] : connections_)
        if (!players_[static_cast<std::size_t>(c.seat)].loggedin && (!next || c.openedAt + kLoginMs < *next))
            next = c.openedAt + kLoginMs;
    return next;
}

void TServer::closed(ConnectionId id) {
    if (connections_.count(id) == 0) return;
    dropConnection(id, false);
}

// Forgets a connection with its unserved lines and frees its seat; `closeIt` when the
// server itself ends the connection.
void TServer::dropConnection(ConnectionId id, bool closeIt) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const int seat = it->second.seat;
    connections_.erase(it);
    seatGone(seat);
    if (closeIt) out_.close(id);
}

void TServer::seatGone(int seat) {
    tplayer& p = player(seat);
    if (seat == 0 || !p.connected) return;
    sendAllBut(seat, toclient::playerdisconnected(seat, p.name));
    p.connected = false;
    p.loggedin = false;
    p.name.clear();
    p.watching = false;
    p.sock = -1;
    // A player who leaves during his own turn: the computer finishes it (the host's seat
    // is the exception, as the host's program normally goes away with it).
    if (gamerunning_ && seat == currentplayer_ && seat != rules::kHostSeat) startComputer();
}

void TServer::socktimerTimer() {
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

void TServer::logSender(const std::string& line) {
    if (senderId_ >= 0)
        out_.logAbout(senderId_, line);
    else
        out_.log(line);
}

bool TServer::hasUnservedLines() const {
    for (const auto& [id, c] : connections_)
        if (!c.lines.empty()) return true;
    return false;
}

// ---- sending -----------------------------------------------------------------------

void TServer::sendTo(int seat, std::string_view message) {
    const tplayer& p = player(seat);
    if (seat == 0 || !p.connected) return;
    out_.send(p.sock, frame(message));
}

void TServer::sendAll(std::string_view message) { sendAllBut(0, message); }

void TServer::relay(std::string_view message) {
    if (message.size() + 1 > protocol::kMaxRelayedLine) {
        logSender("a relayed line over 16 KiB was dropped");
        return;
    }
    sendAll(message);
}

void TServer::sendAllBut(int seat, std::string_view message) {
    out_.heardByAll(message);
    const std::string framed = frame(message);
    for (int s = 1; s <= playercount_; ++s) {
        const tplayer& p = player(s);
        if (s != seat && p.connected) out_.send(p.sock, framed);
    }
}

// ---- login, removal, relay, just watch -----------------------------------------------

void TServer::receivedlogininfo(FieldReader& f) {
    const int seat = f.nextInt();
    if (!fromSender(seat)) return;
    const std::string version = f.next();
    const std::string name = protocol::cleanName(f.rest());
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
    if (version != protocol::kVersion) {
        sendTo(1, toclient::havewrongversion(p.name));
        sendTo(seat, toclient::wrongversion());
    }
    if (gamerunning_) {
        sendTo(seat, toclient::theboard(board_));
        toclient::GameStats stats;
        stats.turnSeat = currentplayer_;
        stats.playTo = playtoscore_;
        stats.seconds = timeperturn_;
        stats.secondsLeft = countdown_;
        stats.team = teamgame_;
        std::array<int, 4> left{};
        for (int s = 1; s <= kPlayingSeats; ++s) {
            stats.scores[static_cast<std::size_t>(s - 1)] = player(s).score;
            left[static_cast<std::size_t>(s - 1)] = player(s).shufflesleft;
        }
        stats.teamA = teamascore_;
        stats.teamB = teambscore_;
        sendTo(seat, toclient::gamestats(stats));
        sendTo(seat, toclient::shufflesl(left));
    }
}

// `name`, or it cut short with " (2)", " (3)"... appended, so that it differs (as
// sameName compares) from every other logged-in seat's name and from the computer
// player's, and is still no longer than a name may be.
std::string TServer::uniqueName(int seat, const std::string& name) const {
    auto taken = [this, seat](std::string_view candidate) {
        if (protocol::sameName(candidate, rules::kComputerName)) return true;
        for (int s = 1; s <= playercount_; ++s) {
            const tplayer& other = players_[static_cast<std::size_t>(s)];
            if (s != seat && other.connected && other.loggedin && protocol::sameName(candidate, other.name))
                return true;
        }
        return false;
    };
    std::string candidate = name;
    for (int n = 2; taken(candidate); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        candidate = protocol::cutChars(name, protocol::kMaxNameChars - suffix.size()) + suffix;
    }
    return candidate;
}

void TServer::kickhim(FieldReader& f) {
    const int requester = f.nextInt();
    if (requester != rules::kHostSeat || !fromSender(requester)) return;
    const int target = f.nextInt();
    if (target < 1 || target > kSeats) return;
    const tplayer& p = player(target);
    if (p.connected) dropConnection(p.sock, true);
}

void TServer::chat(FieldReader& f) {
    const int seat = f.nextInt();
    if (!fromSender(seat)) return;
    relay(toclient::chat(player(seat).name, social::withoutSystemColour(protocol::capChatText(f.rest()))));
}

void TServer::action(FieldReader& f) {
    const int seat = f.nextInt();
    if (!fromSender(seat)) return;
    relay(toclient::action(player(seat).name, social::withoutSystemColour(protocol::capChatText(f.rest()))));
}

void TServer::justwatch(FieldReader& f) {
    const int seat = f.nextInt();
    if (seat < 1 || seat > kPlayingSeats) return;
    // A player switches his own seat; the host (seat 1) may switch any.
    if (!fromSender(seat) && senderSeat_ != rules::kHostSeat) return;
    const int mode = quorbit::strToInt(f.rest());
    tplayer& p = player(seat);
    if (mode == 2) {
        p.watching = false;
        sendAll(toclient::justwatching(seat, 2));
    } else if (mode == 1 && gamerunning_) {
        p.watching = true;
        sendAll(toclient::justwatching(seat, 1));
        if (seat == currentplayer_) startComputer();
    }
}

// ---- clocks ------------------------------------------------------------------------

void TServer::setTimer1(bool on) {
    timer1Enabled_ = on;
    out_.timerChanged(ServerTimer::Timer1, on);
}

void TServer::setComputertimer(bool on) {
    computertimerEnabled_ = on;
    out_.timerChanged(ServerTimer::Computertimer, on);
}

void TServer::startComputer() {
    computerdelay_ = rules::kComputerDelay;
    setComputertimer(true);
}

}  // namespace quorbit::server
