#include "app/record/recordstore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "record/keep.h"
#include "app/support/paths.h"

namespace quorbit::app {
namespace {

record::Moment momentOf(const QDateTime& utc) {
    const QDate d = utc.date();
    const QTime t = utc.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Gives `from` the name `to` unless something (a file, a link, even a dangling one)
// already has that name. False with errno EEXIST when the name is taken.
bool renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: a hard link is never made over an existing name.
    if (::link(from.constData(), to.constData()) != 0) return false;
    ::unlink(from.constData());
    return true;
}

}  // namespace

QString recordsFolder() {
    const QString forced = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (!forced.isEmpty()) return QDir(forced).absoluteFilePath("games");
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + "/.local/share/quorbit";
    // Records hold the games' chat: folders an older program left open to others are closed.
    tightenFolder(user);
    const QString games = QDir(user).absoluteFilePath("games");
    tightenFolder(games);
    return games;
}

QString RecordStore::save(const record::Record& rec, QString* error) const {
    return saveAt(rec, momentOf(QDateTime::currentDateTimeUtc()), error);
}

QString RecordStore::saveAt(const record::Record& rec, const record::Moment& now, QString* error) const {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return QString();
    };
    if (!makePrivateFolder(folder_)) return fail("cannot create the folder " + folder_);
    QDir dir(folder_);
    const std::string text = record::writeRecord(rec);

    // The text goes to a new file of the user's alone, then takes its final name in one
    // step; no name that is already there, not even a link, is written through or replaced.
    QByteArray temp = QFile::encodeName(dir.absoluteFilePath(".record-XXXXXX"));
    FileDescriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return fail("cannot create a file in " + folder_ + ": " + errnoText());
    if (!writeAll(fd.get(), text) || ::fsync(fd.get()) != 0 || ::close(fd.release()) != 0) {
        const QString why = errnoText();
        ::unlink(temp.constData());
        return fail("cannot write the game record: " + why);
    }
    QString path;
    for (int serial = 0; serial < 1000 && path.isEmpty(); ++serial) {
        const QString candidate = dir.absoluteFilePath(QString::fromStdString(record::recordFileName(now, serial)));
        if (renameNoReplace(temp, QFile::encodeName(candidate))) path = candidate;
        else if (errno != EEXIST) break;
    }
    if (path.isEmpty()) {
        const QString why = errnoText();
        ::unlink(temp.constData());
        return fail("cannot name the game record in " + folder_ + ": " + why);
    }

    std::vector<std::string> names;
    for (const QString& n : dir.entryList(QDir::Files | QDir::System)) names.push_back(n.toStdString());
    for (const std::string& old : record::recordsBeyondCap(names)) dir.remove(QString::fromStdString(old));
    return path;
}

QStringList RecordStore::list() const {
    std::vector<std::string> names;
    for (const QString& n : QDir(folder_).entryList(QDir::Files | QDir::System)) names.push_back(n.toStdString());
    names = record::recordsOldestFirst(std::move(names));
    QStringList out;
    for (auto it = names.rbegin(); it != names.rend() && static_cast<std::size_t>(out.size()) < record::kKeptRecords; ++it)
        out << QDir(folder_).absoluteFilePath(QString::fromStdString(*it));
    return out;
}

record::ReadResult loadRecordFile(const QString& path) {
    // Links are followed, but only a regular file is read: opening does not wait (a FIFO
    // or a device would), and what was opened is checked before a byte is read.
    const QByteArray name = QFile::encodeName(path);
    FileDescriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return {std::nullopt, "cannot open " + path.toStdString() + ": " + errnoText().toStdString()};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return {std::nullopt, "cannot read " + path.toStdString() + ": " + errnoText().toStdString()};
    if (!S_ISREG(st.st_mode)) return {std::nullopt, "not a game record: not a regular file"};
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > record::kMaxRecordBytes)
        return {std::nullopt, "the file is too large to be a game record"};
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            // The file grew since it was measured.
            if (bytes.size() > record::kMaxRecordBytes) return {std::nullopt, "the file is too large to be a game record"};
            bytes.resize(std::min(bytes.size() * 2, record::kMaxRecordBytes + 1));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {std::nullopt, "cannot read " + path.toStdString() + ": " + errnoText().toStdString()};
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return record::readRecord(bytes);
}

}  // namespace quorbit::app
