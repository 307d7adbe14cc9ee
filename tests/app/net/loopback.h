#pragma once
// Plain POSIX peers on 127.0.0.1 for exercising TSock from the other end, and a way to
// let the event loop run until something has happened.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <functional>
#include <string>

namespace quorbit::net::testing {

inline bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    return QTest::qWaitFor(done, ms);
}
// Runs the event loop for a while, to show that nothing (more) happens.
inline void settle(int ms = 100) { QTest::qWait(ms); }

inline sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// The local port of a bound descriptor.
inline int localPort(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

// A loopback port where nothing listens.
inline int deadPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    const int port = localPort(fd);
    ::close(fd);
    return port;
}

// One blocking TCP descriptor: a connecting client or an accepted connection.
class RawPeer {
public:
    RawPeer() = default;
    explicit RawPeer(int fd) : fd_(fd) {}
    RawPeer(RawPeer&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    RawPeer& operator=(RawPeer&& o) noexcept {
        std::swap(fd_, o.fd_);
        return *this;
    }
    ~RawPeer() { close(); }

    bool connect(int port, int rcvbuf = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (rcvbuf > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
        sockaddr_in a = loopback(port);
        return ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    bool send(const std::string& bytes) {
        std::size_t off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
            if (n <= 0) return false;
            off += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Reads until `count` bytes came, the peer closed, or `ms` passed; the event loop
    // keeps running meanwhile so a TSock on the other end can do its work.
    std::string receive(std::size_t count, int ms = 3000) {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) continue;
            char buf[65536];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }
    // True when the other end closed (end of stream or reset) within `ms`.
    bool closedByPeer(int ms = 3000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0) continue;
            char buf[65536];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) return true;
        }
        return false;
    }
    // Closes with a reset instead of an orderly end of stream.
    void reset() {
        linger l{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        close();
    }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// A blocking loopback listener.
class RawListener {
public:
    RawListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a = loopback(0);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 8);
        port_ = localPort(fd_);
    }
    ~RawListener() { ::close(fd_); }
    int port() const { return port_; }
    // Waits (running the event loop) for one connection.
    RawPeer accept(int ms = 3000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5) > 0) return RawPeer(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
        }
        return RawPeer();
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace quorbit::net::testing
