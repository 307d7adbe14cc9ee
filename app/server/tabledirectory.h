#pragma once
// TableDirectory: a table server's part in the directory of tables shared by the servers
// of one database (store::Store's table_directory).
//
// It writes the server's public tables (never private ones) under the address players
// reach the server at, when they are made, change and go: the table server gathers which
// tables were touched, and after each pass of the host's event handling the directory
// writes those not written within the last kWriteGapMs; the others wait for a timer, so
// a busy table costs one write a second however many lines it serves. Every write is
// followed by one notification on the store's channel (PostgreSQL's NOTIFY), which the
// other servers hear: each then reads the rows of the server that wrote and hands the
// table server the other servers' tables for its lobby and its listings.
//
// Every kRefreshMs it marks its own rows fresh and reads every row again, so that a row
// of a server that died is dropped once kStaleSeconds old. It deletes its own rows when
// it starts (a killed predecessor at this address left them) and when it goes (a clean
// stop). A store that fails is reported once in the log, and the server plays on.
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/store.h"
#include "server/tables.h"

namespace quorbit::serverhost {

inline constexpr std::int64_t kWriteGapMs = 1000;
inline constexpr int kRefreshMs = 30 * 1000;
inline constexpr std::int64_t kStaleSeconds = 90;
// Notifications that come within this long of one another are read together.
inline constexpr int kNoticeGatherMs = 50;

// The address a server is reached at: "HOST:PORT", an IPv6 host in brackets.
std::string publicAddress(std::string_view host, int port);

class TableDirectory : public QObject {
    Q_OBJECT
public:
    using Log = std::function<void(std::string_view)>;
    TableDirectory(store::Store& store, server::TableServer& tables, std::string address, Log log,
                   QObject* parent = nullptr);
    ~TableDirectory() override;  // takes this server's rows away

    const std::string& address() const { return address_; }
    // After each pass of event handling: writes what is due of the tables that changed.
    void pass();
    // Reads every row again and hands the other servers' tables over (also every kRefreshMs).
    void readAll();

private:
    struct Written {
        std::string name;
        store::TableEntry entry;
        std::int64_t atMs = 0;
    };
    void writeDue();
    bool write(server::TableId id, std::int64_t nowMs);
    void refresh();
    void heard(const QString& channel, const QVariant& payload);
    void readNoticed();
    void handOver();
    void failed(const char* what);

    store::Store& store_;
    server::TableServer& tables_;
    std::string address_;
    Log log_;
    std::map<server::TableId, Written> written_;
    std::set<server::TableId> pending_;
    QTimer writeTimer_;   // single-shot: the next pending table whose gap has passed
    QTimer refreshTimer_;
    QTimer noticeTimer_;  // single-shot: gathers notifications
    std::set<std::string> noticed_;                             // servers that wrote
    std::map<std::string, std::vector<store::TableEntry>> remote_;  // other servers' rows
    bool failing_ = false;
};

}  // namespace quorbit::serverhost
