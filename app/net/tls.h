#pragma once
// TLS on OpenSSL over memory: a TlsSession takes the bytes that came from the wire and
// gives back plaintext, and takes plaintext and gives back the bytes for the wire. It
// never touches a socket, so the socket that carries it (TSock) stays the one that
// reads and writes the descriptor.
//
// A server's session is made from a TlsIdentity (its certificate and key); a client's
// session checks the server's certificate against the system's certificate store for the
// host it was asked to reach, but never fails the handshake over it: whether a
// certificate the store does not vouch for is trusted is the caller's decision
// (peerVerified(), peerFingerprint()). TLS 1.2 is the oldest version spoken.
#include <memory>
#include <string>
#include <string_view>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct bio_st BIO;

namespace quorbit::net {

// The first byte of a TLS handshake record, and of an alert record.
inline constexpr unsigned char kTlsHandshakeByte = 0x16;
inline constexpr unsigned char kTlsAlertByte = 0x15;

// A fatal handshake_failure alert as a TLS 1.2 record: what a server that speaks no TLS
// answers a handshake with, so that the client falls back to plain text at once.
std::string tlsHandshakeFailureAlert();

// A server's certificate and private key, ready to serve.
class TlsIdentity {
public:
    ~TlsIdentity();
    TlsIdentity(const TlsIdentity&) = delete;
    TlsIdentity& operator=(const TlsIdentity&) = delete;

    // From PEM text; null with `error` set when either does not read or the key is not
    // the certificate's.
    static std::shared_ptr<TlsIdentity> fromPem(std::string_view certPem, std::string_view keyPem, std::string& error);
    // The certificate's SHA-256 fingerprint: "AB:CD:...", 32 bytes in upper-case hex.
    const std::string& fingerprint() const { return fingerprint_; }
    SSL_CTX* context() const { return ctx_; }

private:
    TlsIdentity() = default;
    SSL_CTX* ctx_ = nullptr;
    std::string fingerprint_;
};

// A certificate and key in PEM.
struct PemPair {
    std::string cert;
    std::string key;
};
// A new self-signed certificate for `commonName` (an EC P-256 key, ten years).
PemPair makeSelfSigned(const std::string& commonName);

class TlsSession {
public:
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    static std::unique_ptr<TlsSession> server(std::shared_ptr<const TlsIdentity> identity);
    // `host`: the name or address the client set out to reach, for the certificate check.
    static std::unique_ptr<TlsSession> client(const std::string& host);

    // Feeds bytes read from the wire: plaintext is appended to `plain`, bytes to send to
    // `wire`. False once the session has failed (error() says why); what was appended
    // before the failure (an alert for the peer) is still to be sent.
    bool feed(std::string_view fromWire, std::string& plain, std::string& wire);
    // Plaintext to send: its records are appended to `wire`; before the handshake is over
    // it waits in the session and goes out when it is.
    bool seal(std::string_view plain, std::string& wire);
    // A client's first flight (its hello), appended to `wire`.
    bool start(std::string& wire);
    // The close_notify alert, appended to `wire`.
    void shutdown(std::string& wire);

    bool established() const { return established_; }
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }
    // Of the peer's certificate, once established (empty when it sent none).
    std::string peerFingerprint() const;
    // A client's: the system's store vouches for the server's certificate and it names the host.
    bool peerVerified() const;
    std::string version() const;

private:
    explicit TlsSession(SSL* ssl);
    bool advance(std::string& plain, std::string& wire);
    bool flushPending(std::string& wire);
    void drain(std::string& wire);
    bool fail(int rc);

    SSL* ssl_ = nullptr;
    BIO* in_ = nullptr;   // wire bytes for the session to read
    BIO* out_ = nullptr;  // bytes the session wrote for the wire
    std::shared_ptr<const TlsIdentity> identity_;
    std::string pending_;  // plaintext sealed before the handshake was over
    bool established_ = false;
    bool failed_ = false;
    std::string error_;
};

}  // namespace quorbit::net
