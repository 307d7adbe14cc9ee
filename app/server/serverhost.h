#pragma once
// ServerHost: runs the game server inside a Qt program, headless or beside the windows.
//
// It owns the listening socket Sock1, gives every accepted socket a connection number of
// its own (kept in the socket's Tag), hands what each socket reads to the table server,
// reports closes, and runs the two timers of the whole server: the 10 ms pump, which
// serves one received line per tick at every table with lines waiting, and one
// single-shot timer for whatever the table server has due next (a table's turn clock or
// computer delay, a login deadline, a connection that has not named its table). Each
// runs only while it has work, so an idle server sleeps until a socket wakes it, however
// many tables it has held. A connection with more than 1 MiB waiting to be sent is closed
// and reported to the server as any other departure.
//
// In a window's host mode it holds one table (server::TableServer's single-table mode);
// the headless server holds many (Options::tables).
//
// Every log line is escaped before it is written (peers choose much of what it says),
// and the lines about one connection are limited by ConnectionLog.
//
// What the game tells the local network about itself (players seated, running or not,
// play-to score, team game; with tables, how many) is read from the server after each
// event that reaches it, and announcementChanged() is emitted when it differs from before.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
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
#include "server/tables.h"

namespace quorbit::app {
class RecordKeeper;
}
namespace quorbit::net {
class TlsIdentity;
}

namespace quorbit::store {
class Store;
}

namespace quorbit::serverhost {

class AccountDesk;
class TableDirectory;

inline constexpr std::size_t kMaxSendBacklog = 1024 * 1024;
// The most of one game's text kept with its result.
inline constexpr std::size_t kMaxResultRecord = 4 * 1024 * 1024;
// The pump serves at most one line per tick of this length.
inline constexpr std::chrono::milliseconds kPumpTick{10};
// A table server's event loop sleeps no sooner than this many milliseconds after it last
// slept, so that what arrives meanwhile is served in one pass.
inline constexpr std::int64_t kPaceMs = 4;

// How long from `sinceStart` until the next tick of a pump that has ticked every
// kPumpTick since its start: between 1 ms and one whole tick.
std::chrono::milliseconds untilNextPumpTick(std::chrono::nanoseconds sinceStart);

class ServerHost : public QObject, private server::TablesOutput {
    Q_OBJECT
public:
    using LogSink = std::function<void(std::string_view)>;

    struct Options {
        std::filesystem::path dictionaryFolder;  // empty: the current directory
        std::uint64_t seed = 0;                  // 0: seeded from the clock
        LogSink log;                             // empty: standard error
        bool tables = false;                     // many tables, chosen by name; else one
        server::TableLimits limits;              // with tables: the admission limits
        // The certificate of a server that speaks TLS: a connection whose first byte
        // starts a TLS handshake speaks TLS, any other is plain. Null: plain only, and a
        // handshake is answered with an alert and a close.
        std::shared_ptr<const net::TlsIdentity> tls;
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
    // The default table (the one table of a window's host mode). With tables it exists
    // only while somebody sits at it.
    const server::TServer& server() const { return *tables_->table(""); }
    const server::TableServer& tables() const { return *tables_; }
    // How well the computer player plays from now on, at every table.
    void setZubolevel(rules::ZuboLevel level) { tables_->setZubolevel(level); }
    // The language of the games every table starts from now on (null: English).
    void setLanguage(std::shared_ptr<const language::LoadedLanguage> language) {
        tables_->setLanguage(std::move(language));
    }
    // Records every game this server runs, as an onlooker hears it, into that folder; the
    // games of a named table go to a folder named after the table inside it.
    void keepRecords(const QString& folder);
    // What a won game at a table is handed to: the table's name, the game's seats and
    // results, and what an onlooker heard of it from its start. Empty: games are not kept.
    using ResultSink =
        std::function<void(const std::string& table, const server::GameFinished& game, const std::string& record)>;
    void keepResults(ResultSink sink);
    // Keeps accounts, sessions and ratings in `store` (used from this thread; it must
    // outlive the host). Without it account messages are answered "Accounts are not kept on
    // this server."
    void keepAccounts(store::Store& store);
    // Writes the public tables to the directory of `store` under `address` (HOST:PORT, as
    // players reach this server) and lists the other servers' tables of that directory in
    // the lobby (app/server/tabledirectory.h). The store must outlive the host.
    void keepDirectory(store::Store& store, const std::string& address);
    const TableDirectory* directory() const { return directory_.get(); }
    // The records of the default table's games, or null.
    const app::RecordKeeper* recordKeeper() const;
    const discovery::GameAnnouncement& announcement() const { return announcement_; }

signals:
    void announcementChanged();

private:
    // What the server asks of its host.
    void send(server::ConnectionId id, std::string_view bytes) override;
    void close(server::ConnectionId id) override;
    void log(std::string_view line) override;
    void logAbout(server::ConnectionId id, std::string_view line) override;
    void endLog(server::ConnectionId id);
    void noteHeard(server::TableId table, std::string_view message);
    void heardByAll(server::TableId table, const std::string& name, std::string_view message) override;
    void tableClosed(server::TableId table) override;
    void gameFinished(server::TableId table, const std::string& name, const server::GameFinished& game) override;

    // Socket events.
    void Sock1Accept(net::TSock& listener);
    void Sock1Read(net::TSock& sock, int count);
    void tempsockDisconnect(net::TSock& sock);
    void tempsockInfo(net::TSock& sock, net::TSocketInfo info, const std::string& text);

    // The first bytes of a connection start a TLS handshake: it speaks TLS from here on,
    // or, on a server without a certificate, is told so and closed.
    void startTls(net::TSock& sock, server::ConnectionId id, const std::string& hello);
    // `why` empty: closed without a line in the log.
    void dropLater(server::ConnectionId id, const std::string& why);
    void schedulePump();
    void armDeadline();
    void pace();
    void discard(net::TSock* sock);
    template <typename F>
    void serve(F&& f);
    void noteAnnouncement();

    LogSink log_;
    server::ConnectionLog connectionLog_;  // how many lines each connection may cause
    QTimer socktimer;            // single-shot, armed for the next pump tick while lines wait
    QElapsedTimer pumpClock_;    // the pump's ticks fall on whole tick lengths from here
    QTimer deadlineTimer_;       // single-shot, armed for the server's next deadline
    std::optional<std::int64_t> armedFor_;  // the deadline it is armed for
    bool paced_ = false;         // a table server: deadlines on the pump's beat, passes paced
    QElapsedTimer paceClock_;    // since the event loop last went to sleep
    std::unique_ptr<dictionary::TDictn> spell_;
    std::unique_ptr<SeededRandom> random_;
    net::TSock Sock1;
    std::map<server::ConnectionId, net::TSock*> connections_;
    std::set<server::ConnectionId> dropping_;  // closing once control returns to the loop
    std::set<server::ConnectionId> unsniffed_;  // nothing read from them yet
    std::shared_ptr<const net::TlsIdentity> tls_;
    server::ConnectionId nextId_ = 1;
    std::string error_;
    QString recordFolder_;  // empty: no records kept
    std::map<server::TableId, std::unique_ptr<app::RecordKeeper>> records_;
    std::map<server::TableId, std::string> keeperNames_;
    ResultSink results_;
    std::map<server::TableId, std::string> heardSinceStart_;  // each table's game so far, for results_
    std::unique_ptr<AccountDesk> accounts_;  // goes after the tables, which ask it
    std::unique_ptr<server::TableServer> tables_;
    std::unique_ptr<TableDirectory> directory_;  // goes before the tables
    discovery::GameAnnouncement announcement_;
};

}  // namespace quorbit::serverhost
