#pragma once
// The folder of saved game records: saving a finished game atomically, keeping the
// newest 200, listing them for the "Recent Games" window and loading one.
#include <QString>
#include <QStringList>
#include <optional>

#include "record/keep.h"
#include "record/record.h"

namespace quorbit::app {

// The per-user records folder: $QUORBIT_DATA_DIR/games when that is set, otherwise
// "games" in the per-user application data folder. Never the current folder.
QString recordsFolder();

class RecordStore {
public:
    explicit RecordStore(QString folder) : folder_(std::move(folder)) {}
    const QString& folder() const { return folder_; }

    // Writes the record under a new name (the moment it is saved) through a temporary
    // file that is renamed into place, then removes the oldest beyond the cap. Returns the
    // new file's path, or an empty text with `error` set. The folder is made with mode
    // 0700 when missing and the file is the user's alone (0600); a name that is taken,
    // even by a link to nowhere, is never written through: the next serial is used.
    QString save(const record::Record& record, QString* error = nullptr) const;
    // The same, named after the moment `utc`.
    QString saveAt(const record::Record& record, const record::Moment& utc, QString* error = nullptr) const;
    // The saved record files, newest first (at most the number kept).
    QStringList list() const;

private:
    QString folder_;
};

// Reads one record file: the record, or a message that says why it cannot be used. Only
// a regular file (after following links) is read, and never one over the size cap.
record::ReadResult loadRecordFile(const QString& path);

}  // namespace quorbit::app
