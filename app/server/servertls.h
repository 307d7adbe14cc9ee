#pragma once
// Where a table server's certificate comes from: files the operator names, or a
// self-signed one made once and kept in the server's state folder.
#include <QString>
#include <memory>
#include <string>

namespace quorbit::net {
class TlsIdentity;
}

namespace quorbit::serverhost {

inline constexpr const char* kKeptCertFile = "tls-cert.pem";
inline constexpr const char* kKeptKeyFile = "tls-key.pem";

// The server's state folder: $STATE_DIRECTORY (its first entry), else $QUORBIT_DATA_DIR,
// else the per-user data folder; made when missing.
QString serverStateFolder();

// The certificate and key in these PEM files; null with `error` set when either cannot
// be read or they do not belong together.
std::shared_ptr<const net::TlsIdentity> loadServerIdentity(const QString& certFile, const QString& keyFile,
                                                           std::string& error);

// The certificate kept in `folder` (kKeptCertFile, kKeptKeyFile); when either file is
// missing, a self-signed one for `hostName` is made and kept first, the key readable by its
// owner only. Null with `error` set when the kept files do not read or cannot be written.
std::shared_ptr<const net::TlsIdentity> keptServerIdentity(const QString& folder, const std::string& hostName,
                                                           std::string& error);

}  // namespace quorbit::serverhost
