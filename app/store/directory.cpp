// The table directory: the public tables of every server sharing the database, and the
// notifications that tell the servers of each other's writes.
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <limits>

#include "app/store/store.h"

namespace quorbit::store {
namespace {

constexpr const char* kColumns =
    "server, table_name, players, watchers, running, play_to, zubo, seconds, teams, shuffles, language";

TableEntry entryRow(const QSqlQuery& q) {
    TableEntry e;
    e.server = q.value(0).toString().toStdString();
    e.table = q.value(1).toString().toStdString();
    e.players = q.value(2).toInt();
    e.watchers = q.value(3).toInt();
    e.running = q.value(4).toInt() != 0;
    e.playTo = q.value(5).toInt();
    e.zubo = q.value(6).toString().toStdString();
    e.seconds = q.value(7).toInt();
    e.teams = q.value(8).toInt() != 0;
    e.shuffles = q.value(9).toInt();
    e.language = q.value(10).toString().toStdString();
    return e;
}

}  // namespace

bool Store::putTable(const TableEntry& e, std::int64_t nowSeconds) {
    QSqlQuery q(db_);
    q.prepare(QString("INSERT INTO table_directory (%1, updated) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                      " ON CONFLICT (server, table_name) DO UPDATE SET"
                      " players = excluded.players, watchers = excluded.watchers, running = excluded.running,"
                      " play_to = excluded.play_to, zubo = excluded.zubo, seconds = excluded.seconds,"
                      " teams = excluded.teams, shuffles = excluded.shuffles, language = excluded.language,"
                      " updated = excluded.updated")
                  .arg(kColumns));
    for (const QVariant& v : {QVariant(sqlText(e.server)), QVariant(sqlText(e.table)), QVariant(e.players),
                              QVariant(e.watchers), QVariant(e.running ? 1 : 0), QVariant(e.playTo),
                              QVariant(sqlText(e.zubo)), QVariant(e.seconds), QVariant(e.teams ? 1 : 0),
                              QVariant(e.shuffles), QVariant(sqlText(e.language)),
                              QVariant(static_cast<qlonglong>(nowSeconds))})
        q.addBindValue(v);
    return q.exec() || fail(q.lastError().text());
}

bool Store::removeTable(const std::string& server, const std::string& table) {
    QSqlQuery q(db_);
    q.prepare("DELETE FROM table_directory WHERE server = ? AND table_name = ?");
    q.addBindValue(sqlText(server));
    q.addBindValue(sqlText(table));
    return q.exec() || fail(q.lastError().text());
}

bool Store::removeServer(const std::string& server) {
    QSqlQuery q(db_);
    q.prepare("DELETE FROM table_directory WHERE server = ?");
    q.addBindValue(sqlText(server));
    return q.exec() || fail(q.lastError().text());
}

bool Store::refreshServer(const std::string& server, std::int64_t nowSeconds) {
    QSqlQuery q(db_);
    q.prepare("UPDATE table_directory SET updated = ? WHERE server = ?");
    q.addBindValue(static_cast<qlonglong>(nowSeconds));
    q.addBindValue(sqlText(server));
    return q.exec() || fail(q.lastError().text());
}

std::vector<TableEntry> Store::tables() { return tables(std::numeric_limits<std::int64_t>::min()); }

std::vector<TableEntry> Store::tables(std::int64_t notBefore, const std::string& server) {
    std::vector<TableEntry> out;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QString("SELECT %1 FROM table_directory WHERE updated >= ?%2 ORDER BY server, table_name")
                  .arg(kColumns, server.empty() ? "" : " AND server = ?"));
    q.addBindValue(static_cast<qlonglong>(notBefore));
    if (!server.empty()) q.addBindValue(sqlText(server));
    if (!q.exec()) {
        fail(q.lastError().text());
        return out;
    }
    while (q.next()) out.push_back(entryRow(q));
    return out;
}

bool Store::notifyTables(const std::string& server) {
    if (!postgres_) return true;
    QSqlQuery q(db_);
    q.prepare("SELECT pg_notify(?, ?)");
    q.addBindValue(QString(kTablesChannel));
    q.addBindValue(sqlText(server));
    return q.exec() || fail(q.lastError().text());
}

bool Store::listenTables() {
    if (!postgres_ || !db_.driver()->hasFeature(QSqlDriver::EventNotifications)) return false;
    return db_.driver()->subscribeToNotification(kTablesChannel) || fail(db_.driver()->lastError().text());
}

}  // namespace quorbit::store
