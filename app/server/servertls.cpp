#include "app/server/servertls.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

#include "app/net/tls.h"

namespace quorbit::serverhost {
namespace {

bool readWhole(const QString& path, std::string& out, std::string& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = path.toStdString() + ": " + f.errorString().toStdString();
        return false;
    }
    out = f.readAll().toStdString();
    return true;
}

// Writes `text` to `path` through a file beside it made with `mode`, so that a key is
// never readable by others, not even for a moment, and no half-written file is left.
bool writeNew(const QString& path, const std::string& text, mode_t mode, std::string& error) {
    const QByteArray final = QFile::encodeName(path);
    const QByteArray temporary = final + ".new";
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    bool ok = fd >= 0;
    std::size_t at = 0;
    while (ok && at < text.size()) {
        const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) at += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    const int err = errno;
    if (fd >= 0) ::close(fd);
    ok = ok && ::rename(temporary.constData(), final.constData()) == 0;
    if (!ok) {
        error = path.toStdString() + ": " + std::strerror(err ? err : errno);
        ::unlink(temporary.constData());
    }
    return ok;
}

}  // namespace

QString serverStateFolder() {
    QString folder = qEnvironmentVariable("STATE_DIRECTORY").section(':', 0, 0);
    if (folder.isEmpty()) folder = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}

std::shared_ptr<const net::TlsIdentity> loadServerIdentity(const QString& certFile, const QString& keyFile,
                                                           std::string& error) {
    std::string cert;
    std::string key;
    if (!readWhole(certFile, cert, error) || !readWhole(keyFile, key, error)) return nullptr;
    std::string why;
    auto identity = net::TlsIdentity::fromPem(cert, key, why);
    if (!identity) error = certFile.toStdString() + ", " + keyFile.toStdString() + ": " + why;
    return identity;
}

std::shared_ptr<const net::TlsIdentity> keptServerIdentity(const QString& folder, const std::string& hostName,
                                                           std::string& error) {
    const QString certFile = QDir(folder).filePath(kKeptCertFile);
    const QString keyFile = QDir(folder).filePath(kKeptKeyFile);
    if (!QFileInfo::exists(certFile) || !QFileInfo::exists(keyFile)) {
        net::PemPair made;
        try {
            made = net::makeSelfSigned(hostName);
        } catch (const std::exception& e) {
            error = std::string("no certificate could be made: ") + e.what();
            return nullptr;
        }
        // The key first: a certificate without its key would never serve.
        if (!writeNew(keyFile, made.key, 0600, error) || !writeNew(certFile, made.cert, 0644, error)) return nullptr;
    }
    return loadServerIdentity(certFile, keyFile, error);
}

}  // namespace quorbit::serverhost
