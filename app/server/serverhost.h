#pragma once
// ServerHost: runs the game server inside a Qt program, headless or beside the windows.
//
// It owns the listening socket Sock1, gives every accepted socket a connection number of
// its own (kept in the socket's Tag), feeds what each socket reads to the server, reports
// closes, and drives the server's three timers: the 10 ms pump, the one-second turn
// clock and the one-second computer delay. Each runs only while it has work: the pump
// while received lines wait, the clocks while the server has them switched on, so an
// idle server sleeps until a socket wakes it. A connection with more than 1 MiB waiting
// to be sent is closed and reported to the server as any other departure. While some
// connection has not logged in, a single-shot timer waits for its login deadline.
//
// Every log line is escaped before it is written (peers choose much of what it says),
// and the lines about one connection are limited by ConnectionLog.
//
// What the game tells the local network about itself (players seated, running or not,
// play-to score, team game) is read from the server after each event that reaches it,
// and announcementChanged() is emitted when it differs from before.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "common/random.h"
#include "discovery/announcement.h"
#include "dictionary/dictn.h"
#include "app/net/tsock.h"
#include "server/connection_log.h"
#include "server/server.h"
#include "server/server_output.h"

namespace quorbit::app {
class RecordKeeper;
}

namespace quorbit::serverhost {

inline constexpr std::size_t kMaxSendBacklog = 1024 * 1024;
// The pump serves at most one line per tick of this length.
inline constexpr std::chrono::milliseconds kPumpTick{10};

// How long from `sinceStart` until the next tick of a pump that has ticked every
// kPumpTick since its start: between 1 ms and one whole tick.
std::chrono::milliseconds untilNextPumpTick(std::chrono::nanoseconds sinceStart);

class ServerHost : public QObject, private server::ServerOutput {
    Q_OBJECT
public:
    using LogSink = std::function<void(std::string_view)>;

    struct Options {
        std::filesystem::path dictionaryFolder;  // empty: the current directory
        std::uint64_t seed = 0;                  // 0: seeded from the clock
        LogSink log;                             // empty: standard error
    };

    ServerHost() : ServerHost(Options{}) {}
    explicit ServerHost(Options options, QObject* parent = nullptr);
    ~ServerHost() override;

    // Starts listening on `port` (all addresses). False with errorText() set when the
    // port cannot be taken; the host can then be asked to listen again.
    bool listen(int port);
    void stopListening();
    bool listening() const { return Sock1.Listen(); }
    const std::string& errorText() const { return error_; }

    std::size_t connectionCount() const { return connections_.size(); }
    const server::TServer& server() const { return *server_; }
    // How well the computer player plays from now on.
    void setZubolevel(rules::ZuboLevel level) { server_->setZubolevel(level); }
    // The language of the games it starts from now on (null: English).
    void setLanguage(std::shared_ptr<const language::LoadedLanguage> language) {
        server_->setLanguage(std::move(language));
    }
    // Records every game this server runs, as an onlooker hears it, into that folder.
    void keepRecords(const QString& folder);
    const app::RecordKeeper* recordKeeper() const { return records_.get(); }
    const discovery::GameAnnouncement& announcement() const { return announcement_; }

signals:
    void announcementChanged();

private:
    // What the server asks of its host.
    void send(server::ConnectionId id, std::string_view bytes) override;
    void close(server::ConnectionId id) override;
    void timerChanged(server::ServerTimer timer, bool enabled) override;
    void log(std::string_view line) override;
    void logAbout(server::ConnectionId id, std::string_view line) override;
    void endLog(server::ConnectionId id);
    void heardByAll(std::string_view message) override;

    // Socket events.
    void Sock1Accept(net::TSock& listener);
    void Sock1Read(net::TSock& sock, int count);
    void tempsockDisconnect(net::TSock& sock);
    void tempsockInfo(net::TSock& sock, net::TSocketInfo info, const std::string& text);

    void dropLater(server::ConnectionId id, const std::string& why);
    void schedulePump();
    void armLoginTimer();
    void discard(net::TSock* sock);
    template <typename F>
    void serve(F&& f);
    void noteAnnouncement();

    LogSink log_;
    server::ConnectionLog connectionLog_;  // how many lines each connection may cause
    // The timers exist before the server, which may switch them while it is built.
    QTimer socktimer;            // single-shot, armed for the next pump tick while lines wait
    QElapsedTimer pumpClock_;    // the pump's ticks fall on whole tick lengths from here
    QTimer Timer1;
    QTimer computertimer;
    QTimer logintimer;
    std::unique_ptr<dictionary::TDictn> spell_;
    std::unique_ptr<SeededRandom> random_;
    net::TSock Sock1;
    std::map<server::ConnectionId, net::TSock*> connections_;
    std::set<server::ConnectionId> dropping_;  // closing once control returns to the loop
    server::ConnectionId nextId_ = 1;
    std::string error_;
    std::unique_ptr<app::RecordKeeper> records_;
    std::unique_ptr<server::TServer> server_;
    discovery::GameAnnouncement announcement_;
};

}  // namespace quorbit::serverhost
