#include "app/server/tabledirectory.h"

#include "app/server/clocks.h"

#include <QSqlDriver>
#include <QVariant>

#include <algorithm>
#include <chrono>

namespace quorbit::serverhost {
namespace {

store::TableEntry entryOf(const std::string& server, const protocol::lobby::Lobbytable& t) {
    store::TableEntry e;
    e.server = server;
    e.table = t.name;
    e.players = t.players;
    e.watchers = t.watchers;
    e.running = t.running;
    e.playTo = t.playTo;
    e.zubo = t.zubo;
    e.seconds = t.seconds;
    e.teams = t.teams;
    e.shuffles = t.shuffles;
    e.language = t.language;
    return e;
}

server::RemoteTable remoteOf(const store::TableEntry& e) {
    server::RemoteTable r;
    r.server = e.server;
    r.table.name = e.table;
    r.table.players = e.players;
    r.table.watchers = e.watchers;
    r.table.running = e.running;
    r.table.playTo = e.playTo;
    r.table.seconds = e.seconds;
    r.table.teams = e.teams;
    r.table.zubo = e.zubo;
    r.table.shuffles = e.shuffles;
    r.table.language = e.language;
    return r;
}

}  // namespace

std::string publicAddress(std::string_view host, int port) {
    const bool bracket = host.find(':') != std::string_view::npos && !host.starts_with('[');
    return (bracket ? "[" + std::string(host) + "]" : std::string(host)) + ":" + std::to_string(port);
}

TableDirectory::TableDirectory(store::Store& store, server::TableServer& tables, std::string address, Log log,
                               QObject* parent)
    : QObject(parent), store_(store), tables_(tables), address_(std::move(address)), log_(std::move(log)) {
    writeTimer_.setSingleShot(true);
    connect(&writeTimer_, &QTimer::timeout, this, &TableDirectory::writeDue);
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, this, &TableDirectory::readNoticed);
    refreshTimer_.setInterval(kRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &TableDirectory::refresh);
    refreshTimer_.start();

    if (!store_.removeServer(address_)) failed("cannot clear this server's rows");
    if (store_.postgres()) {
        connect(store_.database().driver(), &QSqlDriver::notification, this,
                [this](const QString& channel, QSqlDriver::NotificationSource, const QVariant& payload) {
                    heard(channel, payload);
                });
        if (!store_.listenTables()) failed("cannot listen for the other servers' writes");
        store_.notifyTables(address_);
    }
    tables_.watchChanges(true);
    readAll();
}

TableDirectory::~TableDirectory() {
    tables_.watchChanges(false);
    if (store_.removeServer(address_)) store_.notifyTables(address_);
}

void TableDirectory::failed(const char* what) {
    if (failing_) return;
    failing_ = true;  // once: a store that is down would say so on every write
    if (log_) log_(std::string("table directory: ") + what + ": " + store_.error().toStdString());
}

// ---- writing ---------------------------------------------------------------------------

void TableDirectory::pass() {
    const std::set<server::TableId> changed = tables_.takeChanges();
    if (changed.empty()) return;
    const std::int64_t now = steadyMs();
    bool wrote = false;
    for (const server::TableId id : changed) {
        if (pending_.count(id)) continue;  // its turn comes with the timer
        const auto w = written_.find(id);
        const std::int64_t due = w == written_.end() ? now : w->second.atMs + kWriteGapMs;
        if (due <= now || !tables_.publicLine(id)) {
            wrote |= write(id, now);
            continue;
        }
        pending_.insert(id);
        const int wait = static_cast<int>(due - now);
        if (!writeTimer_.isActive() || writeTimer_.remainingTime() > wait) writeTimer_.start(wait);
    }
    if (wrote && !store_.notifyTables(address_)) failed("cannot notify the other servers");
}

void TableDirectory::writeDue() {
    const std::int64_t now = steadyMs();
    bool wrote = false;
    std::int64_t next = INT64_MAX;
    for (auto it = pending_.begin(); it != pending_.end();) {
        const auto w = written_.find(*it);
        const std::int64_t due = w == written_.end() ? now : w->second.atMs + kWriteGapMs;
        if (due > now) {
            next = std::min(next, due);
            ++it;
            continue;
        }
        wrote |= write(*it, now);
        it = pending_.erase(it);
    }
    if (wrote && !store_.notifyTables(address_)) failed("cannot notify the other servers");
    if (next != INT64_MAX) writeTimer_.start(static_cast<int>(next - now));
}

// Writes one table as it is now (or takes its row away); whether anything was written.
bool TableDirectory::write(server::TableId id, std::int64_t nowMs) {
    const auto line = tables_.publicLine(id);
    const auto w = written_.find(id);
    if (!line) {
        if (w == written_.end()) return false;  // private, or gone before it was written
        if (!store_.removeTable(address_, w->second.name)) failed("cannot take a table's row away");
        written_.erase(w);
        return true;
    }
    store::TableEntry entry = entryOf(address_, *line);
    if (w != written_.end() && w->second.entry == entry) return false;
    if (!store_.putTable(entry, unixSeconds())) {
        failed("cannot write a table's row");
        return false;
    }
    failing_ = false;
    written_[id] = Written{line->name, std::move(entry), nowMs};
    return true;
}

void TableDirectory::refresh() {
    if (!written_.empty() && !store_.refreshServer(address_, unixSeconds())) failed("cannot refresh this server's rows");
    readAll();
}

// ---- reading ---------------------------------------------------------------------------

void TableDirectory::heard(const QString& channel, const QVariant& payload) {
    if (channel != store::kTablesChannel) return;
    const std::string server = payload.toString().toStdString();
    if (server == address_) return;  // its own write
    noticed_.insert(server);
    if (!noticeTimer_.isActive()) noticeTimer_.start(kNoticeGatherMs);
}

void TableDirectory::readNoticed() {
    const std::set<std::string> servers = std::exchange(noticed_, {});
    if (servers.count({})) return readAll();  // a notice that names nobody: everything
    const std::int64_t notBefore = unixSeconds() - kStaleSeconds;
    for (const std::string& server : servers) {
        std::vector<store::TableEntry> rows = store_.tables(notBefore, server);
        if (rows.empty())
            remote_.erase(server);
        else
            remote_[server] = std::move(rows);
    }
    handOver();
}

void TableDirectory::readAll() {
    remote_.clear();
    for (store::TableEntry& row : store_.tables(unixSeconds() - kStaleSeconds))
        if (row.server != address_) remote_[row.server].push_back(std::move(row));
    handOver();
}

void TableDirectory::handOver() {
    std::vector<server::RemoteTable> list;
    for (const auto& [server, rows] : remote_)
        for (const store::TableEntry& row : rows) list.push_back(remoteOf(row));
    tables_.setRemoteTables(list);
}

}  // namespace quorbit::serverhost
