#include "support/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
        QDir().mkpath(forced);
        return QDir(forced).absolutePath();
    }
    const QString own = QCoreApplication::applicationDirPath();
    // An installed program never writes beside itself, even when it could (root).
    if (!own.isEmpty() && QFileInfo(own).isWritable() && !QFileInfo(installedDataFolder(own)).isDir()) return own;
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + "/.local/share/quorbit";
    QDir().mkpath(user);
    return user;
}

}  // namespace quorbit::app
