#include "record/recordstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "record/keep.h"

namespace quorbit::app {
namespace {

record::Moment momentOf(const QDateTime& utc) {
    const QDate d = utc.date();
    const QTime t = utc.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

}  // namespace

QString recordsFolder() {
    const QString forced = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (!forced.isEmpty()) return QDir(forced).absoluteFilePath("games");
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + "/.local/share/quorbit";
    return QDir(user).absoluteFilePath("games");
}

QString RecordStore::save(const record::Record& rec, QString* error) const {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return QString();
    };
    QDir dir(folder_);
    if (!dir.mkpath(".")) return fail("cannot create the folder " + folder_);
    const record::Moment now = momentOf(QDateTime::currentDateTimeUtc());
    QString path;
    for (int serial = 0; serial < 1000; ++serial) {
        path = dir.absoluteFilePath(QString::fromStdString(record::recordFileName(now, serial)));
        if (!QFileInfo::exists(path)) break;
    }
    const std::string text = record::writeRecord(rec);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return fail(file.errorString());
    }
    if (!file.commit()) return fail(file.errorString());

    std::vector<std::string> names;
    for (const QString& n : dir.entryList(QDir::Files)) names.push_back(n.toStdString());
    for (const std::string& old : record::recordsBeyondCap(names)) dir.remove(QString::fromStdString(old));
    return path;
}

QStringList RecordStore::list() const {
    std::vector<std::string> names;
    for (const QString& n : QDir(folder_).entryList(QDir::Files)) names.push_back(n.toStdString());
    names = record::recordsOldestFirst(std::move(names));
    QStringList out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) out << QDir(folder_).absoluteFilePath(QString::fromStdString(*it));
    return out;
}

record::ReadResult loadRecordFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, "cannot open " + path.toStdString() + ": " + file.errorString().toStdString()};
    if (file.size() > static_cast<qint64>(record::kMaxRecordBytes))
        return {std::nullopt, "the file is too large to be a game record"};
    const QByteArray bytes = file.read(static_cast<qint64>(record::kMaxRecordBytes) + 1);
    return record::readRecord(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace quorbit::app
