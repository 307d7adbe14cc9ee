#include "app/net/serverdialer.h"

#include <cstring>

#include "client/trust.h"
#include "app/client/settingsfile.h"
#include "app/support/paths.h"
#include "social/settings.h"
#include "app/net/sock_errors.h"
#include "app/net/tls.h"
#include "app/net/tsock.h"

namespace quorbit::net {

ServerDialer::ServerDialer(QObject* parent) : QObject(parent) {
    answer_.setSingleShot(true);
    connect(&answer_, &QTimer::timeout, this, [this] {
        if (!settled_) notTls();
    });
}

ServerDialer::~ServerDialer() { cancel(); }

std::string ServerDialer::readable(const std::string& report) {
    for (int err = 1; err < 200; ++err)
        if (errorReportText(wsaErrorFromErrno(err)) == report) return std::strerror(err);
    return report;
}

template <typename F>
void ServerDialer::later(F&& f) {
    const unsigned serial = serial_;
    QMetaObject::invokeMethod(
        this,
        [this, serial, f = std::forward<F>(f)] {
            if (serial == serial_) f();
        },
        Qt::QueuedConnection);
}

void ServerDialer::cancel() {
    ++serial_;
    answer_.stop();
    if (!sock_) return;
    sock_->OnConnect = nullptr;
    sock_->OnDisconnect = nullptr;
    sock_->OnInfo = nullptr;
    sock_->OnRead = nullptr;
    sock_->OnTlsReady = nullptr;
    // Inside one of the socket's own events it goes once that event is over.
    sock_.release()->deleteLater();
}

void ServerDialer::dial(const std::string& host, int port, bool tryTls) {
    host_ = host;
    port_ = port;
    if (!pathSet_)
        setSettingsPath(app::besideProgramFolder() + "/" + QString::fromUtf8(social::kSettingsFileName.data()));
    attempt(tryTls);
}

void ServerDialer::attempt(bool tls) {
    cancel();
    tls_ = tls;
    settled_ = false;
    sock_ = std::make_unique<TSock>();
    sock_->setHostName(host_);
    sock_->setPortName(std::to_string(port_));
    sock_->OnConnect = [this](TSock& s) {
        if (!tls_) {
            handOver();
            return;
        }
        answer_.start(kTlsAnswerMs);
        auto session = TlsSession::client(host_);
        if (!session) {
            later([this] { notTls(); });
            return;
        }
        s.StartTls(std::move(session));
    };
    sock_->OnTlsReady = [this](TSock&) { secured(); };
    // Before the handshake is over the server has nothing to say in TLS: plain text.
    sock_->OnRead = [this](TSock&, int) {
        if (!settled_) later([this] { notTls(); });
    };
    sock_->OnDisconnect = [this](TSock&) {
        if (!settled_ && sock_ && sock_->Connected()) later([this] { notTls(); });
    };
    sock_->OnInfo = [this](TSock& s, TSocketInfo info, const std::string& text) {
        // A connect that failed: reported before the socket was ever connected.
        if (info == TSocketInfo::siError && !s.Connected() && !settled_) {
            settled_ = true;
            later([this, text] { fail(text, false); });
        }
    };
    try {
        sock_->Open();
    } catch (const std::exception& e) {
        settled_ = true;
        later([this, why = std::string(e.what())] { fail(why, false); });
    }
}

void ServerDialer::secured() {
    if (settled_) return;
    settled_ = true;
    answer_.stop();
    const TlsSession* tls = sock_->Tls();
    const std::string key = client::trustKey(host_, port_);
    app::SettingsFile settings;
    settings.setPath(settingsPath_);
    const auto kept = settingsPath_.isEmpty() ? std::nullopt : settings.keptFingerprint(key);
    const std::string seen = tls->peerFingerprint();
    switch (client::judgeCertificate(kept, seen, tls->peerVerified())) {
    case client::TrustVerdict::Changed:
        later([this, key] { fail(client::certificateChangedText(key, settingsPath_.toStdString()), true); });
        return;
    case client::TrustVerdict::FirstSeen:
        if (!settingsPath_.isEmpty()) settings.keepFingerprint(key, seen);
        break;
    case client::TrustVerdict::Trusted: break;
    }
    handOver();
}

void ServerDialer::notTls() {
    if (!sock_ || !tls_) return;
    settled_ = true;
    answer_.stop();
    app::SettingsFile settings;
    settings.setPath(settingsPath_);
    const std::string key = client::trustKey(host_, port_);
    if (!settingsPath_.isEmpty() && !client::plainAllowed(settings.keptFingerprint(key))) {
        fail(client::certificateChangedText(key, settingsPath_.toStdString()), true);
        return;
    }
    attempt(false);
}

void ServerDialer::handOver() {
    settled_ = true;
    answer_.stop();
    ++serial_;
    std::unique_ptr<TSock> sock = std::move(sock_);
    sock->OnConnect = nullptr;
    sock->OnDisconnect = nullptr;
    sock->OnInfo = nullptr;
    sock->OnRead = nullptr;
    sock->OnTlsReady = nullptr;
    if (onReady) onReady(std::move(sock));
}

void ServerDialer::fail(const std::string& why, bool refused) {
    cancel();
    if (onFailed) onFailed(why, refused);
}

}  // namespace quorbit::net
