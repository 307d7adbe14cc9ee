#include "app/server/serverhost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

#include "common/escape.h"
#include "dictionary/builtin_words.h"
#include "app/record/recordkeeper.h"

namespace quorbit::serverhost {
namespace {

std::int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint64_t clockSeed() {
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace

std::chrono::milliseconds untilNextPumpTick(std::chrono::nanoseconds sinceStart) {
    using std::chrono::milliseconds;
    using std::chrono::nanoseconds;
    if (sinceStart.count() < 0) return kPumpTick;
    const nanoseconds left = nanoseconds(kPumpTick) - sinceStart % nanoseconds(kPumpTick);
    // Whole milliseconds, rounded up, so that the tick never comes early.
    const milliseconds wait = std::chrono::ceil<milliseconds>(left);
    return wait < milliseconds(1) ? milliseconds(1) : wait;
}

ServerHost::ServerHost(Options options, QObject* parent) : QObject(parent), log_(std::move(options.log)) {
    socktimer.setSingleShot(true);
    socktimer.setTimerType(Qt::PreciseTimer);
    pumpClock_.start();
    Timer1.setInterval(1000);
    computertimer.setInterval(1000);
    connect(&socktimer, &QTimer::timeout, this, [this] {
        serve([this] { server_->socktimerTimer(); });
        schedulePump();
        armLoginTimer();  // a login just handled may leave nothing to wait for
    });
    connect(&Timer1, &QTimer::timeout, this, [this] { serve([this] { server_->Timer1Timer(); }); });
    connect(&computertimer, &QTimer::timeout, this,
            [this] { serve([this] { server_->computertimerTimer(); }); });
    logintimer.setSingleShot(true);
    connect(&logintimer, &QTimer::timeout, this, [this] {
        serve([this] { server_->loginTimer(steadyMs()); });
        armLoginTimer();
    });

    const std::filesystem::path folder =
        options.dictionaryFolder.empty() ? std::filesystem::current_path() : options.dictionaryFolder;
    spell_ = std::make_unique<dictionary::TDictn>(folder, dictionary::builtinWordFile(),
                                                  [this](const std::string& notice) { log(notice); });
    random_ = std::make_unique<SeededRandom>(options.seed ? options.seed : clockSeed());

    Sock1.setSocketType(net::TSocketType::stStream);
    Sock1.setBlocking(false);
    Sock1.setAutoAccept(false);
    Sock1.OnAccept = [this](net::TSock& listener) { Sock1Accept(listener); };
    Sock1.OnRead = [this](net::TSock& sock, int count) { Sock1Read(sock, count); };

    server::ServerOutput& out = *this;
    server_ = std::make_unique<server::TServer>(out, *spell_, *random_);
    announcement_.version = std::string(protocol::kVersion);
    if (server_->timer1Enabled()) Timer1.start();
    if (server_->computertimerEnabled()) computertimer.start();
}

ServerHost::~ServerHost() {
    socktimer.stop();
    Timer1.stop();
    computertimer.stop();
    logintimer.stop();
    // The sockets close quietly with Sock1; the server hears nothing more.
    for (auto& [id, sock] : connections_) {
        sock->OnInfo = nullptr;
        sock->OnDisconnect = nullptr;
        sock->OnRead = nullptr;
    }
}

template <typename F>
void ServerHost::serve(F&& f) {
    // A fault inside the server must not take the host down with it.
    try {
        f();
    } catch (const std::exception& e) {
        log(std::string("server error: ") + e.what());
    }
    noteAnnouncement();
}

void ServerHost::noteAnnouncement() {
    discovery::GameAnnouncement now;
    now.version = std::string(protocol::kVersion);
    for (int seat = 1; seat <= rules::kPlayingSeats; ++seat) {
        const server::tplayer& p = server_->seat(seat);
        if (p.connected && p.loggedin) ++now.players;
    }
    now.running = server_->gamerunning();
    now.playTo = server_->playtoscore();
    now.teamGame = server_->teamgame();
    if (now == announcement_) return;
    announcement_ = now;
    emit announcementChanged();
}

bool ServerHost::listen(int port) {
    error_.clear();
    if (Sock1.Listen()) return true;
    if (Sock1.Handle() >= 0) Sock1.Close();  // a failed earlier attempt
    try {
        Sock1.setPortName(std::to_string(port));
        Sock1.setListen(true);
        return true;
    } catch (const std::exception& e) {
        error_ = e.what();
        Sock1.Close();
        return false;
    }
}

void ServerHost::stopListening() {
    if (Sock1.Listen()) Sock1.setListen(false);
}

// ---- socket events ----

void ServerHost::Sock1Accept(net::TSock& listener) {
    net::TSock* sock = nullptr;
    if (!listener.Accept(sock) || !sock) return;
    const server::ConnectionId id = nextId_++;
    sock->Tag = id;
    sock->OnRead = [this](net::TSock& s, int count) { Sock1Read(s, count); };
    sock->OnDisconnect = [this](net::TSock& s) { tempsockDisconnect(s); };
    sock->OnInfo = [this](net::TSock& s, net::TSocketInfo info, const std::string& text) {
        tempsockInfo(s, info, text);
    };
    connections_[id] = sock;
    serve([&] { server_->opened(id, steadyMs()); });
    armLoginTimer();
}

void ServerHost::armLoginTimer() {
    const auto deadline = server_->nextLoginDeadline();
    if (!deadline) {
        logintimer.stop();
        return;
    }
    // A running timer already waits for the earliest deadline: later openings come later.
    if (logintimer.isActive()) return;
    const std::int64_t wait = std::max<std::int64_t>(0, *deadline - steadyMs());
    logintimer.start(static_cast<int>(std::min<std::int64_t>(wait, server::kLoginMs)));
}

void ServerHost::Sock1Read(net::TSock& sock, int) {
    const server::ConnectionId id = sock.Tag;
    const std::string bytes = sock.Text();
    if (!connections_.count(id) || dropping_.count(id) || bytes.empty()) return;
    serve([&] { server_->received(id, bytes); });
    schedulePump();
}

void ServerHost::schedulePump() {
    // Lines are served on the same 10 ms beat as a pump that never stops, one per tick,
    // but the beat is only kept while some line waits.
    if (socktimer.isActive() || !server_->hasUnservedLines()) return;
    socktimer.start(untilNextPumpTick(std::chrono::nanoseconds(pumpClock_.nsecsElapsed())));
}

void ServerHost::tempsockDisconnect(net::TSock& sock) {
    // The peer closed: close our side, which reports the close.
    if (sock.Handle() >= 0 || sock.Connected()) sock.Close();
}

void ServerHost::tempsockInfo(net::TSock& sock, net::TSocketInfo info, const std::string& text) {
    const server::ConnectionId id = sock.Tag;
    if (info == net::TSocketInfo::siError) logAbout(id, "connection " + std::to_string(id) + ": " + text);
    if (info != net::TSocketInfo::siClose) return;
    const auto it = connections_.find(id);
    if (it == connections_.end() || it->second != &sock) return;
    connections_.erase(it);
    dropping_.erase(id);
    discard(&sock);
    serve([&] { server_->closed(id); });
    endLog(id);
    armLoginTimer();
}

void ServerHost::discard(net::TSock* sock) {
    sock->OnInfo = nullptr;
    sock->OnDisconnect = nullptr;
    sock->OnRead = nullptr;
    if (sock->Handle() >= 0) sock->Close();
    sock->deleteLater();
}

// ---- what the server asks ----

void ServerHost::send(server::ConnectionId id, std::string_view bytes) {
    const auto it = connections_.find(id);
    if (it == connections_.end() || dropping_.count(id)) return;
    net::TSock* sock = it->second;
    try {
        sock->Send(bytes);
    } catch (const std::exception& e) {
        dropLater(id, e.what());
        return;
    }
    if (sock->SendBufferSize() > kMaxSendBacklog) dropLater(id, "more than 1 MiB waiting to be sent");
}

void ServerHost::close(server::ConnectionId id) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    net::TSock* sock = it->second;
    connections_.erase(it);
    dropping_.erase(id);
    discard(sock);
    endLog(id);
}

void ServerHost::dropLater(server::ConnectionId id, const std::string& why) {
    // Called from inside the server (a send of a broadcast): the server hears of the
    // closing once it has finished what it is doing.
    if (!dropping_.insert(id).second) return;
    logAbout(id, "connection " + std::to_string(id) + " closed: " + why);
    QTimer::singleShot(0, this, [this, id] {
        const auto it = connections_.find(id);
        if (it == connections_.end() || !dropping_.count(id)) return;
        net::TSock* sock = it->second;
        connections_.erase(it);
        dropping_.erase(id);
        discard(sock);
        serve([&] { server_->closed(id); });
        endLog(id);
    });
}

void ServerHost::timerChanged(server::ServerTimer timer, bool enabled) {
    QTimer& t = timer == server::ServerTimer::Timer1 ? Timer1 : computertimer;
    if (enabled)
        t.start();
    else
        t.stop();
}

void ServerHost::keepRecords(const QString& folder) { records_ = std::make_unique<app::RecordKeeper>(folder); }

void ServerHost::heardByAll(std::string_view message) {
    if (records_) records_->line(message);
}

void ServerHost::log(std::string_view line) {
    const std::string safe = escapeForLog(line);
    if (log_) {
        log_(safe);
        return;
    }
    std::fprintf(stderr, "%s\n", safe.c_str());
}

void ServerHost::logAbout(server::ConnectionId id, std::string_view line) {
    for (const std::string& admitted : connectionLog_.admit(id, line, steadyMs())) log(admitted);
}

void ServerHost::endLog(server::ConnectionId id) {
    if (const auto note = connectionLog_.end(id)) log(*note);
}

}  // namespace quorbit::serverhost
