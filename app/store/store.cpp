// Opening the store and bringing its schema up to date.
#include "app/store/store.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

#include "app/store/schema.h"

namespace quorbit::store {
namespace {

QString nextConnectionName() {
    static std::atomic<int> next{1};
    return QString("quorbit-store-%1").arg(next++);
}

}  // namespace

Store::Store() : connection_(nextConnectionName()) {}

Store::~Store() {
    if (db_.isValid()) db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

QString sqlText(const std::string& s) {
    QString q = QString::fromStdString(s);
    q.remove(QChar(0));
    return q;
}

bool Store::fail(const QString& what) {
    error_ = what;
    return false;
}

bool Store::isOpen() const { return db_.isValid() && db_.isOpen(); }

bool Store::open(const DatabaseTarget& target) {
    error_.clear();
    if (!target.error.isEmpty()) return fail(target.error);
    postgres_ = target.kind == DatabaseTarget::Kind::Postgres;
    const QString driver = postgres_ ? "QPSQL" : "QSQLITE";
    if (!QSqlDatabase::isDriverAvailable(driver))
        return fail("the Qt SQL driver " + driver + " is not installed (tools/setup.sh installs it)");
    db_ = QSqlDatabase::addDatabase(driver, connection_);
    if (postgres_) {
        db_.setHostName(target.host);
        if (target.port > 0) db_.setPort(target.port);
        db_.setUserName(target.user);
        db_.setPassword(target.password);
        db_.setDatabaseName(target.database);
        db_.setConnectOptions(target.options);
    } else {
        db_.setDatabaseName(target.file);
        // Another process may hold the file for a moment (a second server, a backup).
        db_.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
    }
    if (!db_.open()) return fail("cannot open the database: " + db_.lastError().text());
    if (postgres_) {
        QSqlQuery q(db_);
        q.exec("SET client_min_messages = warning");  // no notices on standard error
        // As with SQLite below: a commit is the database server's when it returns, so a
        // killed table server loses none; the database server writes it to the disk a
        // moment later, so its own crash may lose the last games, each one whole.
        q.exec("SET synchronous_commit = off");
    } else {
        QSqlQuery q(db_);
        // The write-ahead log keeps readers and the writer apart. A commit is in the log
        // when it returns, so a killed server loses none; the log reaches the disk at its
        // checkpoints, so a power cut may lose the last games, each one whole.
        for (const char* pragma : {"PRAGMA foreign_keys = ON", "PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"})
            if (!q.exec(pragma)) return fail(QString("cannot set up the database: ") + q.lastError().text());
    }
    return migrate();
}

bool Store::begin() {
    if (postgres_) return db_.transaction();
    QSqlQuery q(db_);
    return q.exec("BEGIN IMMEDIATE");
}

int Store::schemaVersion() {
    QSqlQuery q(db_);
    if (!q.exec("SELECT version FROM schema_version") || !q.next()) return -1;
    return q.value(0).toInt();
}

bool Store::migrate() {
    QSqlQuery q(db_);
    // Servers sharing one PostgreSQL database that start together would race to make the
    // version table: one migrates at a time, under a lock of the whole database's.
    struct MigrationLock {
        QSqlDatabase& db;
        bool held;
        ~MigrationLock() {
            if (held) QSqlQuery(db).exec("SELECT pg_advisory_unlock(7772)");
        }
    } lock{db_, postgres_ && q.exec("SELECT pg_advisory_lock(7772)")};
    if (!q.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"))
        return fail("cannot make the schema's version table: " + q.lastError().text());
    const auto& steps = schemaSteps();
    for (;;) {
        if (!begin()) return fail("cannot begin a transaction: " + db_.lastError().text());
        // Servers sharing one database migrate one at a time.
        if (postgres_ && !q.exec("LOCK TABLE schema_version IN EXCLUSIVE MODE")) {
            db_.rollback();
            return fail("cannot lock the schema: " + q.lastError().text());
        }
        int version = 0;
        bool hasRow = false;
        if (q.exec("SELECT version FROM schema_version") && q.next()) {
            version = q.value(0).toInt();
            hasRow = true;
        }
        q.finish();
        if (version > static_cast<int>(steps.size())) {
            db_.rollback();
            return fail(QString("the database has schema version %1, newer than this program's %2")
                            .arg(version)
                            .arg(steps.size()));
        }
        if (version == static_cast<int>(steps.size())) return db_.commit() || fail(db_.lastError().text());
        const QString id = postgres_ ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT";
        for (QString statement : steps[static_cast<std::size_t>(version)]) {
            statement.replace("%ID%", id);
            if (!q.exec(statement)) {
                const QString why = q.lastError().text();
                db_.rollback();
                return fail(QString("schema step %1 failed: %2").arg(version + 1).arg(why));
            }
        }
        q.prepare(hasRow ? "UPDATE schema_version SET version = ?" : "INSERT INTO schema_version (version) VALUES (?)");
        q.addBindValue(version + 1);
        if (!q.exec() || !db_.commit()) {
            const QString why = q.lastError().text() + db_.lastError().text();
            db_.rollback();
            return fail(QString("schema step %1 failed: %2").arg(version + 1).arg(why));
        }
    }
}

}  // namespace quorbit::store
