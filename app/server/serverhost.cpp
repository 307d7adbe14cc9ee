#include "app/server/serverhost.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

#include "common/escape.h"
#include "dictionary/builtin_words.h"
#include "protocol/names.h"
#include "app/server/clocks.h"
#include "app/net/tls.h"
#include "app/record/recordkeeper.h"
#include "app/server/accountdesk.h"
#include "app/server/tabledirectory.h"
#include "app/support/languages.h"

namespace quorbit::serverhost {
namespace {

// A folder name for a table's records: letters, digits, "-" and "_" as they are, every
// other byte as "%XX", so no name can reach outside the records' folder.
QString tableFolderName(const std::string& name) {
    std::string safe;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
            safe += ch;
        } else {
            safe += '%';
            safe += kHex[c >> 4];
            safe += kHex[c & 15];
        }
    }
    return QString::fromStdString("table-" + safe);
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

ServerHost::ServerHost(Options options, QObject* parent)
    : QObject(parent), log_(std::move(options.log)), tls_(std::move(options.tls)) {
    socktimer.setSingleShot(true);
    socktimer.setTimerType(Qt::PreciseTimer);
    pumpClock_.start();
    connect(&socktimer, &QTimer::timeout, this, [this] {
        serve([this] { tables_->pumpTick(steadyMs()); });
        schedulePump();
    });
    deadlineTimer_.setSingleShot(true);
    deadlineTimer_.setTimerType(Qt::PreciseTimer);
    connect(&deadlineTimer_, &QTimer::timeout, this, [this] {
        armedFor_.reset();
        serve([this] { tables_->deadlines(steadyMs()); });
    });

    const std::filesystem::path folder =
        options.dictionaryFolder.empty() ? std::filesystem::current_path() : options.dictionaryFolder;
    spell_ = std::make_unique<dictionary::TDictn>(folder, dictionary::builtinWordFile(),
                                                  [this](const std::string& notice) { log(notice); });

    Sock1.setSocketType(net::TSocketType::stStream);
    Sock1.setBlocking(false);
    Sock1.setAutoAccept(false);
    // A table server meets arrivals in bursts (a whole evening's tables at once).
    if (options.tables) Sock1.setListenBacklog(SOMAXCONN);
    Sock1.OnAccept = [this](net::TSock& listener) { Sock1Accept(listener); };
    Sock1.OnRead = [this](net::TSock& sock, int count) { Sock1Read(sock, count); };

    server::TableServer::Options o;
    o.singleTable = !options.tables;
    o.seed = options.seed ? options.seed : clockSeed();
    if (options.tables) {
        o.limits = options.limits;
        o.promptLines = true;
        // Tables made in the lobby may play any language the program was built with.
        o.findLanguage = [](std::string_view code) { return app::loadLanguage(code); };
        o.inviteRandom = std::make_shared<SystemRandom>();
    } else {
        // The one table of a window's host mode admits as it always has: its nine seats
        // are its only limit.
        o.limits.waitingPerAddress = o.limits.perAddress = o.limits.connections = SIZE_MAX;
    }
    server::TablesOutput& out = *this;
    tables_ = std::make_unique<server::TableServer>(out, *spell_, o);
    if (options.tables) {
        paced_ = true;
        paceClock_.start();
        if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &ServerHost::pace);
    }
    announcement_.version = std::string(protocol::kVersion);
}

ServerHost::~ServerHost() {
    directory_.reset();  // this server's rows go while the tables are still there
    socktimer.stop();
    deadlineTimer_.stop();
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
    armDeadline();
    schedulePump();  // a departure or a clock may leave changes for the lobby
    noteAnnouncement();
    if (directory_) directory_->pass();
}

void ServerHost::noteAnnouncement() {
    discovery::GameAnnouncement now;
    now.version = std::string(protocol::kVersion);
    if (const server::TServer* table = tables_->table("")) {
        for (int seat = 1; seat <= rules::kPlayingSeats; ++seat) {
            const server::tplayer& p = table->seat(seat);
            if (p.connected && p.loggedin) ++now.players;
        }
        now.running = table->gamerunning();
        now.playTo = table->playtoscore();
        now.teamGame = table->teamgame();
    }
    if (!tables_->singleTable()) now.tables = static_cast<int>(tables_->tableCount());
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
    unsniffed_.insert(id);
    const std::string address = sock->PeerAddress();
    serve([&] { tables_->opened(id, address, steadyMs()); });
    schedulePump();
}

void ServerHost::armDeadline() {
    const auto deadline = tables_->nextDeadline();
    if (deadline == armedFor_ && (deadlineTimer_.isActive() || !deadline)) return;
    armedFor_ = deadline;
    if (!deadline) {
        deadlineTimer_.stop();
        return;
    }
    std::int64_t wait = std::max<std::int64_t>(0, *deadline - steadyMs());
    if (paced_) {
        // Many tables' clocks fall due at scattered moments: they are served together on
        // the pump's beat, one wake-up for all that are due within a tick.
        const auto sinceStart = std::chrono::nanoseconds(pumpClock_.nsecsElapsed()) + std::chrono::milliseconds(wait);
        wait += untilNextPumpTick(sinceStart).count() % kPumpTick.count();
    }
    deadlineTimer_.start(static_cast<int>(std::min<std::int64_t>(wait, server::kLoginMs)));
}

void ServerHost::pace() {
    // Every pass of the event loop polls every socket: with thousands of them a pass is
    // dear, so a busy table server gathers what arrives for a few milliseconds and serves
    // it in one pass instead of waking for each line.
    const std::int64_t since = paceClock_.restart();
    if (since >= kPaceMs) return;
    ::usleep(static_cast<useconds_t>((kPaceMs - since) * 1000));
    paceClock_.restart();
}

void ServerHost::Sock1Read(net::TSock& sock, int) {
    const server::ConnectionId id = sock.Tag;
    const std::string bytes = sock.Text();
    if (!connections_.count(id) || dropping_.count(id) || bytes.empty()) return;
    if (unsniffed_.erase(id) && static_cast<unsigned char>(bytes[0]) == net::kTlsHandshakeByte) {
        startTls(sock, id, bytes);
        return;
    }
    serve([&] { tables_->received(id, bytes, steadyMs()); });
    schedulePump();
}

void ServerHost::startTls(net::TSock& sock, server::ConnectionId id, const std::string& hello) {
    if (!tls_) {
        // Plain connections only: the alert lets the client fall back at once.
        try {
            sock.Send(net::tlsHandshakeFailureAlert());
        } catch (const std::exception&) {
        }
        dropLater(id, {});
        return;
    }
    auto session = net::TlsSession::server(tls_);
    if (!session) {
        dropLater(id, "no TLS session could be made");
        return;
    }
    // Everything the table server hears from here on was decrypted.
    tables_->markEncrypted(id, steadyMs());
    try {
        // A handshake that fails closes the connection, reported as any departure.
        sock.StartTls(std::move(session), hello);
    } catch (const std::exception& e) {
        dropLater(id, e.what());
    }
}

void ServerHost::schedulePump() {
    // Lines are served on the same 10 ms beat as a pump that never stops, one per tick,
    // but the beat is only kept while some line waits.
    if (socktimer.isActive() || !tables_->hasUnservedLines()) return;
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
    unsniffed_.erase(id);
    discard(&sock);
    serve([&] { tables_->closed(id, steadyMs()); });
    endLog(id);
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
    unsniffed_.erase(id);
    discard(sock);
    endLog(id);
}

void ServerHost::dropLater(server::ConnectionId id, const std::string& why) {
    // Called from inside the server (a send of a broadcast): the server hears of the
    // closing once it has finished what it is doing.
    if (!dropping_.insert(id).second) return;
    unsniffed_.erase(id);
    if (!why.empty()) logAbout(id, "connection " + std::to_string(id) + " closed: " + why);
    QTimer::singleShot(0, this, [this, id] {
        const auto it = connections_.find(id);
        if (it == connections_.end() || !dropping_.count(id)) return;
        net::TSock* sock = it->second;
        connections_.erase(it);
        dropping_.erase(id);
        discard(sock);
        serve([&] { tables_->closed(id, steadyMs()); });
        endLog(id);
    });
}

void ServerHost::keepRecords(const QString& folder) {
    recordFolder_ = folder;
    records_.clear();
}

const app::RecordKeeper* ServerHost::recordKeeper() const {
    // The default table is the first one made in a window's host mode, and has the name "".
    for (const auto& [id, keeper] : records_)
        if (keeper && keeperNames_.count(id) && keeperNames_.at(id).empty()) return keeper.get();
    return nullptr;
}

void ServerHost::keepDirectory(store::Store& store, const std::string& address) {
    directory_.reset();
    directory_ = std::make_unique<TableDirectory>(store, *tables_, address, [this](std::string_view line) { log(line); });
}

void ServerHost::keepResults(ResultSink sink) {
    results_ = std::move(sink);
    heardSinceStart_.clear();
}

void ServerHost::gameFinished(server::TableId table, const std::string& name, const server::GameFinished& game) {
    if (!results_) return;
    const auto it = heardSinceStart_.find(table);
    results_(name, game, it == heardSinceStart_.end() ? std::string() : it->second);
    if (it != heardSinceStart_.end()) it->second.clear();
    if (!accounts_) return;
    // The game may have changed its players' ratings: the lobby hears them once the table
    // has finished with the line that ended the game.
    std::vector<std::string> players;
    for (const server::SeatResult& s : game.seats)
        if (s.player != server::SeatResult::Player::Computer) players.push_back(s.name);
    QMetaObject::invokeMethod(
        this, [this, players] { serve([&] { tables_->ratingsChanged(players); }); }, Qt::QueuedConnection);
}

void ServerHost::keepAccounts(store::Store& store) {
    accounts_ = std::make_unique<AccountDesk>(store, [this](std::uint64_t serial, const server::AccountAnswer& a) {
        serve([&] { tables_->accountAnswered(serial, a, steadyMs()); });
    });
    tables_->setAccountBook(accounts_.get());
}

void ServerHost::heardByAll(server::TableId table, const std::string& name, std::string_view message) {
    if (results_) noteHeard(table, message);
    if (recordFolder_.isEmpty()) return;
    auto& keeper = records_[table];
    if (!keeper) {
        keeperNames_[table] = name;
        keeper = std::make_unique<app::RecordKeeper>(name.empty() ? recordFolder_
                                                                  : recordFolder_ + "/" + tableFolderName(name));
    }
    keeper->line(message);
}

void ServerHost::noteHeard(server::TableId table, std::string_view message) {
    // A game's text starts at its start; a longer one than kMaxResultRecord keeps its
    // beginning.
    std::string& heard = heardSinceStart_[table];
    if (message.substr(0, protocol::names::startgame.size()) == protocol::names::startgame) heard.clear();
    if (heard.size() + message.size() + 1 > kMaxResultRecord) return;
    heard.append(message);
    heard += '\n';
}

void ServerHost::tableClosed(server::TableId table) {
    heardSinceStart_.erase(table);
    records_.erase(table);  // a game still being recorded is saved as it ended
    keeperNames_.erase(table);
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
