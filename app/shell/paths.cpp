#include "shell/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorbit::app {

QString besideProgramFolder() {
    const QString forced = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (!forced.isEmpty()) {
        QDir().mkpath(forced);
        return QDir(forced).absolutePath();
    }
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && QFileInfo(own).isWritable()) return own;
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty()) user = QDir::homePath() + "/.local/share/quorbit";
    QDir().mkpath(user);
    return user;
}

}  // namespace quorbit::app
