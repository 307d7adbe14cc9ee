#include "app/net/tls.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace quorbit::net {
namespace {

template <typename T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
using BioPtr = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;
using X509Ptr = std::unique_ptr<X509, Freer<X509, X509_free>>;
using KeyPtr = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;

// The oldest error OpenSSL queued on this thread, as text; the queue is emptied.
std::string takeErrors(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return fallback;
    std::array<char, 256> text{};
    ERR_error_string_n(code, text.data(), text.size());
    return text.data();
}

std::string hexFingerprint(const X509* cert) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!cert || X509_digest(cert, EVP_sha256(), digest, &length) != 1) return {};
    std::string out;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned int i = 0; i < length; ++i) {
        if (i) out += ':';
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

void limitVersions(SSL_CTX* ctx) {
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_options(ctx, SSL_OP_NO_RENEGOTIATION);
}

// One client context for the process: the system's store, loaded once.
SSL_CTX* clientContext() {
    static SSL_CTX* ctx = [] {
        SSL_CTX* c = SSL_CTX_new(TLS_client_method());
        if (!c) throw std::runtime_error(takeErrors("no TLS client context"));
        limitVersions(c);
        SSL_CTX_set_default_verify_paths(c);
        // The handshake goes on whatever the store says; the caller decides on trust.
        SSL_CTX_set_verify(c, SSL_VERIFY_NONE, nullptr);
        return c;
    }();
    return ctx;
}

std::string pemOf(int (*write)(BIO*, void*), void* object) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || write(bio.get(), object) != 1) return {};
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(n > 0 ? n : 0));
}

}  // namespace

std::string tlsHandshakeFailureAlert() {
    // Record: alert (21), version 3.3, length 2; alert: fatal (2), handshake_failure (40).
    return std::string("\x15\x03\x03\x00\x02\x02\x28", 7);
}

// ---- identity ----

TlsIdentity::~TlsIdentity() { SSL_CTX_free(ctx_); }

std::shared_ptr<TlsIdentity> TlsIdentity::fromPem(std::string_view certPem, std::string_view keyPem,
                                                  std::string& error) {
    ERR_clear_error();
    BioPtr certBio(BIO_new_mem_buf(certPem.data(), static_cast<int>(certPem.size())));
    X509Ptr cert(certBio ? PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!cert) {
        error = "the certificate is not a PEM certificate (" + takeErrors("unreadable") + ")";
        return nullptr;
    }
    BioPtr keyBio(BIO_new_mem_buf(keyPem.data(), static_cast<int>(keyPem.size())));
    // A key with a pass phrase is refused rather than asked for on the terminal.
    static pem_password_cb* const noPassword = [](char*, int, int, void*) { return 0; };
    KeyPtr key(keyBio ? PEM_read_bio_PrivateKey(keyBio.get(), nullptr, noPassword, nullptr) : nullptr);
    if (!key) {
        error = "the key is not an unencrypted PEM private key (" + takeErrors("unreadable") + ")";
        return nullptr;
    }
    std::shared_ptr<TlsIdentity> id(new TlsIdentity);
    id->ctx_ = SSL_CTX_new(TLS_server_method());
    if (!id->ctx_) {
        error = takeErrors("no TLS server context");
        return nullptr;
    }
    limitVersions(id->ctx_);
    if (SSL_CTX_use_certificate(id->ctx_, cert.get()) != 1 || SSL_CTX_use_PrivateKey(id->ctx_, key.get()) != 1 ||
        SSL_CTX_check_private_key(id->ctx_) != 1) {
        error = "the key does not belong to the certificate (" + takeErrors("mismatch") + ")";
        return nullptr;
    }
    // Any further certificates in the file are the chain up to an authority.
    while (X509* more = PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr))
        SSL_CTX_add0_chain_cert(id->ctx_, more);
    ERR_clear_error();  // the end of the file reads as an error
    id->fingerprint_ = hexFingerprint(cert.get());
    return id;
}

PemPair makeSelfSigned(const std::string& commonName) {
    KeyPtr key(EVP_EC_gen("P-256"));
    X509Ptr cert(X509_new());
    if (!key || !cert) throw std::runtime_error(takeErrors("no key could be made"));
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    RAND_bytes(serial, sizeof serial);
    serial[0] &= 0x7F;  // positive
    BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -60 * 60);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 60 * 60);
    X509_NAME* name = X509_get_subject_name(cert.get());
    const std::string cn = commonName.empty() ? std::string("localhost") : commonName.substr(0, 64);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(cn.c_str()), -1, -1,
                               0);
    X509_set_issuer_name(cert.get(), name);
    X509_set_pubkey(cert.get(), key.get());
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0) throw std::runtime_error(takeErrors("signing failed"));
    PemPair out;
    out.cert = pemOf([](BIO* b, void* x) { return PEM_write_bio_X509(b, static_cast<X509*>(x)); }, cert.get());
    out.key = pemOf(
        [](BIO* b, void* k) {
            return PEM_write_bio_PrivateKey(b, static_cast<EVP_PKEY*>(k), nullptr, nullptr, 0, nullptr, nullptr);
        },
        key.get());
    return out;
}

// ---- session ----

TlsSession::TlsSession(SSL* ssl) : ssl_(ssl) {
    in_ = BIO_new(BIO_s_mem());
    out_ = BIO_new(BIO_s_mem());
    BIO_set_mem_eof_return(in_, -1);  // an empty input means "more to come", not the end
    SSL_set_bio(ssl_, in_, out_);     // the session owns both from here
}

TlsSession::~TlsSession() { SSL_free(ssl_); }

std::unique_ptr<TlsSession> TlsSession::server(std::shared_ptr<const TlsIdentity> identity) {
    SSL* ssl = identity ? SSL_new(identity->context()) : nullptr;
    if (!ssl) return nullptr;
    std::unique_ptr<TlsSession> s(new TlsSession(ssl));
    s->identity_ = std::move(identity);
    SSL_set_accept_state(ssl);
    return s;
}

std::unique_ptr<TlsSession> TlsSession::client(const std::string& host) {
    SSL* ssl = SSL_new(clientContext());
    if (!ssl) return nullptr;
    std::unique_ptr<TlsSession> s(new TlsSession(ssl));
    SSL_set_connect_state(ssl);
    std::string name = host;
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    unsigned char scratch[16];
    const bool address = inet_pton(AF_INET, name.c_str(), scratch) == 1 || inet_pton(AF_INET6, name.c_str(), scratch) == 1;
    if (address) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str());
    } else if (!name.empty()) {
        SSL_set_tlsext_host_name(ssl, name.c_str());
        SSL_set1_host(ssl, name.c_str());
    }
    return s;
}

bool TlsSession::fail(int rc) {
    failed_ = true;
    const int kind = SSL_get_error(ssl_, rc);
    error_ = kind == SSL_ERROR_SYSCALL || kind == SSL_ERROR_ZERO_RETURN ? takeErrors("the peer ended the handshake")
                                                                        : takeErrors("TLS failed");
    return false;
}

void TlsSession::drain(std::string& wire) {
    char buffer[16384];
    int n;
    while ((n = BIO_read(out_, buffer, sizeof buffer)) > 0) wire.append(buffer, static_cast<std::size_t>(n));
}

bool TlsSession::start(std::string& wire) {
    std::string plain;
    return advance(plain, wire);
}

bool TlsSession::feed(std::string_view fromWire, std::string& plain, std::string& wire) {
    if (failed_) return false;
    std::size_t at = 0;
    bool ok = true;
    while (ok && at < fromWire.size()) {
        const int n = BIO_write(in_, fromWire.data() + at, static_cast<int>(std::min<std::size_t>(fromWire.size() - at, 1 << 20)));
        if (n <= 0) return fail(n);
        at += static_cast<std::size_t>(n);
        ok = advance(plain, wire);
    }
    if (fromWire.empty()) ok = advance(plain, wire);
    return ok;
}

bool TlsSession::advance(std::string& plain, std::string& wire) {
    ERR_clear_error();
    if (!established_) {
        const int rc = SSL_do_handshake(ssl_);
        if (rc != 1) {
            const int kind = SSL_get_error(ssl_, rc);
            if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
                drain(wire);
                return true;
            }
            const bool r = fail(rc);
            drain(wire);  // the alert that tells the peer why
            return r;
        }
        established_ = true;
        if (!flushPending(wire)) return false;
    }
    char buffer[16384];
    while (true) {
        const int n = SSL_read(ssl_, buffer, sizeof buffer);
        if (n > 0) {
            plain.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        const int kind = SSL_get_error(ssl_, n);
        if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE || kind == SSL_ERROR_ZERO_RETURN) break;
        const bool r = fail(n);
        drain(wire);
        return r;
    }
    drain(wire);
    return true;
}

bool TlsSession::flushPending(std::string& wire) {
    const std::string waiting = std::exchange(pending_, std::string());
    return waiting.empty() || seal(waiting, wire);
}

bool TlsSession::seal(std::string_view plain, std::string& wire) {
    if (failed_) return false;
    if (!established_) {
        pending_.append(plain);
        return true;
    }
    std::size_t at = 0;
    while (at < plain.size()) {
        const int n = SSL_write(ssl_, plain.data() + at, static_cast<int>(std::min<std::size_t>(plain.size() - at, 1 << 20)));
        if (n <= 0) {
            const bool r = fail(n);
            drain(wire);
            return r;
        }
        at += static_cast<std::size_t>(n);
    }
    drain(wire);
    return true;
}

void TlsSession::shutdown(std::string& wire) {
    if (failed_ || !established_) return;
    SSL_shutdown(ssl_);
    ERR_clear_error();
    drain(wire);
}

std::string TlsSession::peerFingerprint() const {
    X509* cert = SSL_get0_peer_certificate(ssl_);
    return hexFingerprint(cert);
}

bool TlsSession::peerVerified() const {
    return established_ && SSL_get0_peer_certificate(ssl_) && SSL_get_verify_result(ssl_) == X509_V_OK;
}

std::string TlsSession::version() const { return SSL_get_version(ssl_); }

}  // namespace quorbit::net
