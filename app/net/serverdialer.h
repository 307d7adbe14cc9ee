#pragma once
// ServerDialer: opens the program's connection to a server it names, encrypted when it
// can be. It connects and starts TLS; a server that speaks no TLS (it answers with an
// alert, with plain text, by closing, or not at all within kTlsAnswerMs) is connected to
// again in plain text. The server's certificate is judged by client::judgeCertificate
// against the fingerprints kept in the settings file's [tls] section, and the first one
// seen at a HOST:PORT is kept there; a changed one, or plain text from a server whose
// fingerprint is kept, is refused with the text of client::certificateChangedText.
//
// The finished connection goes to the owner, who takes the socket and sets its events.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

namespace quorbit::net {

class TSock;

class ServerDialer : public QObject {
    Q_OBJECT
public:
    static constexpr int kTlsAnswerMs = 3000;

    explicit ServerDialer(QObject* parent = nullptr);
    ~ServerDialer() override;

    // The settings file that keeps the servers' fingerprints (by default the program's
    // settings file, orvanelobby.ini); empty: none kept or known.
    void setSettingsPath(const QString& path) {
        settingsPath_ = path;
        pathSet_ = true;
    }

    // Connects to host:port, TLS first unless `tryTls` is false. A dial under way is
    // dropped first, without a word.
    void dial(const std::string& host, int port, bool tryTls = true);
    void cancel();
    bool busy() const { return sock_ != nullptr; }
    // The socket being dialled, or null.
    const TSock* socket() const { return sock_.get(); }

    // Connected (Encrypted() on the socket tells whether in TLS). The socket's events are
    // unset; bytes it has already received wait in it.
    std::function<void(std::unique_ptr<TSock> sock)> onReady;
    // No connection came about: `why` for the player. `refused`: the connection was made
    // but the server is not the one trusted before.
    std::function<void(const std::string& why, bool refused)> onFailed;

    // A socket's report text ("Error #10061 (WSAECONNREFUSED)") in the system's words
    // ("Connection refused"); any other text as it is.
    static std::string readable(const std::string& report);

private:
    void attempt(bool tls);
    void secured();
    void notTls();
    void handOver();
    void fail(const std::string& why, bool refused);
    // Runs `f` once the socket's current event is over, unless the dial has moved on.
    template <typename F>
    void later(F&& f);

    QString settingsPath_;
    bool pathSet_ = false;
    std::string host_;
    int port_ = 0;
    bool tls_ = false;         // this attempt speaks TLS
    bool settled_ = false;     // this attempt's outcome is decided
    unsigned serial_ = 0;      // tells a late event from a later attempt
    std::unique_ptr<TSock> sock_;
    QTimer answer_;            // the TLS answer's deadline
};

}  // namespace quorbit::net
