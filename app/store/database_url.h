#pragma once
// Where the server's store lives, as --database names it: "postgresql://USER:PASSWORD@
// HOST:PORT/DATABASE?KEY=VALUE..." (or "postgres://") for a PostgreSQL server, anything
// else a SQLite file. A "host" parameter that is a folder names PostgreSQL's Unix socket
// folder; other parameters pass to the client library as its connection options
// ("sslmode=require").
#include <QString>

namespace quorbit::store {

struct DatabaseTarget {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString file;      // SQLite
    QString host;      // PostgreSQL: a host name or a socket folder
    int port = -1;     // -1: the client library's default
    QString user;
    QString password;
    QString database;
    QString options;   // "key=value;key=value"
    QString error;     // not empty when the text is no usable target
};

DatabaseTarget parseDatabaseTarget(const QString& text);
// The SQLite file used when none is given: in systemd's state folder for the service
// ($STATE_DIRECTORY), else in $QUORBIT_DATA_DIR when set, else in the user's data folder.
QString defaultDatabaseFile();

}  // namespace quorbit::store
