#include "app/store/database_url.h"

#include <QDir>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace quorbit::store {

DatabaseTarget parseDatabaseTarget(const QString& text) {
    DatabaseTarget t;
    if (!text.startsWith("postgresql://") && !text.startsWith("postgres://")) {
        t.file = text;
        if (text.isEmpty()) t.error = "no database file named";
        return t;
    }
    t.kind = DatabaseTarget::Kind::Postgres;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        t.error = "not a PostgreSQL address: " + url.errorString();
        return t;
    }
    t.host = url.host();
    t.port = url.port(-1);
    t.user = url.userName(QUrl::FullyDecoded);
    t.password = url.password(QUrl::FullyDecoded);
    t.database = url.path(QUrl::FullyDecoded).mid(1);
    QStringList options;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == "host") {
            t.host = value;
        } else if (key.contains(';') || key.contains('=') || value.contains(';')) {
            t.error = "a connection option holds \";\" or \"=\": " + key;
            return t;
        } else {
            options << key + "=" + value;
        }
    }
    t.options = options.join(';');
    if (t.database.isEmpty()) t.error = "the PostgreSQL address names no database";
    return t;
}

QString defaultDatabaseFile() {
    QString folder = qEnvironmentVariable("STATE_DIRECTORY").section(':', 0, 0);
    // As for the program's other files, QUORBIT_DATA_DIR names the folder (tests use it).
    if (folder.isEmpty()) folder = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath("quorbit-server.sqlite");
}

}  // namespace quorbit::store
