#include "app/support/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quorbit::app {

QString installedDataFolder(const QString& programFolder) {
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath("../share/quorbit"));
}

QStringList shippedDataFolders(const QString& programFolder) {
    QStringList folders{QDir(programFolder).absolutePath()};
    const QString installed = installedDataFolder(programFolder);
    if (QFileInfo(installed).isDir()) folders << installed;
    return folders;
}

QStringList shippedDataFolders() { return shippedDataFolders(QCoreApplication::applicationDirPath()); }

QString findIn(const QStringList& folders, const QString& relative) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(relative);
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

QString besideProgramFolder() {
    const QString forced = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (!forced.isEmpty()) {
        makePrivateFolder(forced);
        return QDir(forced).absolutePath();
    }
    const QString own = QCoreApplication::applicationDirPath();
    // An installed program never writes beside itself, even when it could (root).
    if (!own.isEmpty() && QFileInfo(own).isWritable() && !QFileInfo(installedDataFolder(own)).isDir()) return own;
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + "/.local/share/quorbit";
    makePrivateFolder(user);
    tightenFolder(user);
    return user;
}

bool makePrivateFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(absolute).isDir()) return true;
    // The missing folders, innermost first, each made 0700 from the outermost in.
    QStringList missing;
    for (QString p = absolute; !QFileInfo::exists(p) && !QFileInfo(p).isSymLink(); p = QFileInfo(p).absolutePath()) {
        missing.prepend(p);
        if (QFileInfo(p).isRoot()) break;
    }
    for (const QString& folder : missing) {
        const QByteArray name = QFile::encodeName(folder);
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) return false;
    }
    return QFileInfo(absolute).isDir();
}

void tightenFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(QDir(path).absolutePath());
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return;
    if ((st.st_mode & 077) != 0) ::chmod(name.constData(), st.st_mode & 0700);
}

}  // namespace quorbit::app
