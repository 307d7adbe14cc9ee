#include "net/tsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <mutex>
#include <utility>

#include "net/sock_errors.h"
#include "protocol/fields.h"

namespace quorbit::net {
namespace {

// The process-wide host-name cache: names looked up once, never pruned.
struct HostCache {
    std::mutex mutex;
    std::vector<std::pair<std::string, in_addr_t>> entries;
};
HostCache& hostCache() {
    static HostCache cache;
    return cache;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

bool startsWithDigit(const std::string& s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}
TSock::ExceptionHook& exceptionHook() {
    static TSock::ExceptionHook hook;
    return hook;
}

void handleEscaped(const std::exception& e) {
    TSock::ExceptionHook hook;
    {
        std::lock_guard lock(hookMutex());
        hook = exceptionHook();
    }
    if (hook)
        hook(e);
    else
        std::fprintf(stderr, "%s\n", e.what());
}

void setNonBlockingFlag(int fd, bool on) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) return;
    ::fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

std::string dotted(const sockaddr_in& a) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    return text;
}

int lastError() { return wsaErrorFromErrno(errno); }

// Events run on a copy of the handler, so an owner may destroy the socket (and with it
// the handler) from inside the event.
template <typename Handler, typename... Args>
void fire(const Handler& handler, Args&&... args) {
    if (!handler) return;
    const Handler copy = handler;
    copy(std::forward<Args>(args)...);
}

// Messages are small and each goes out in one send; holding one back until the
// previous one is acknowledged would add the peer's delayed acknowledgement to it.
void sendAtOnce(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

// ---- TSockStream ----

int TSockStream::Read(char* buffer, int count) {
    if (count <= 0) return 0;
    const std::string got = sock_.Receive(count);
    const int n = static_cast<int>(std::min<std::size_t>(got.size(), static_cast<std::size_t>(count)));
    std::copy_n(got.data(), n, buffer);
    return n;
}

int TSockStream::Write(const char* buffer, int count) {
    if (count <= 0) return 0;
    sock_.Send(std::string_view(buffer, static_cast<std::size_t>(count)));
    return count;
}

long TSockStream::Seek(long, int) { return 0; }

// ---- creation and destruction ----

TSock::TSock(QObject* owner) : QObject(owner), stream_(*this) {}

TSock::TSock(TSock& listener, int handle) : QObject(&listener), stream_(*this) {
    handle_ = handle;
    sendAtOnce(handle_);
    blockingTimeout_ = listener.blockingTimeout_;
    OnRead = listener.OnRead;
    OnWrite = listener.OnWrite;
    OnDisconnect = listener.OnDisconnect;
    OnInfo = listener.OnInfo;
    setBlocking(listener.blocking_);
    connected_ = true;
}

TSock::~TSock() {
    *alive_ = false;
    // Worker threads of automatic accepting still use their sockets; they end first.
    for (auto& w : workers_)
        if (w) w->wait();
    // Destruction closes the descriptor quietly: the owner is going away and must not
    // hear about it through handlers that may point into it.
    dropNotifiers();
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
}

void TSock::setExceptionHook(ExceptionHook hook) {
    std::lock_guard lock(hookMutex());
    exceptionHook() = std::move(hook);
}

void TSock::clearHostCache() {
    std::lock_guard lock(hostCache().mutex);
    hostCache().entries.clear();
}

std::size_t TSock::hostCacheSize() {
    std::lock_guard lock(hostCache().mutex);
    return hostCache().entries.size();
}

// ---- reporting ----

void TSock::report(TSocketInfo info, const std::string& text) {
    if (!OnInfo) return;
    try {
        fire(OnInfo, *this, info, text);
    } catch (...) {
        throw ESockException("Error here");
    }
}

template <typename F>
void TSock::guarded(F&& f) {
    // Nothing may leave a notification: what a handler throws goes to the hook.
    try {
        f();
    } catch (const std::exception& e) {
        handleEscaped(e);
    } catch (...) {
        handleEscaped(ESockException("Error here"));
    }
}

// ---- properties ----

void TSock::setSocketType(TSocketType type) {
    if (listen_) throw ESockException("SocketType - Can't Assign Socket Type While Listening");
    if (connected_) throw ESockException("SocketType - Can't Assign Socket Type While Connected");
    socketType_ = type;
}

void TSock::setHostName(const std::string& host) {
    if (connected_ && socketType_ == TSocketType::stStream)
        report(TSocketInfo::siLookup, "Setting HostName While Connected Has No Effect");
    hostName_ = host;
    if (connected_ && socketType_ == TSocketType::stDatagram) target_.sin_addr.s_addr = resolveHost(host);
}

void TSock::setPortName(const std::string& port) {
    if (connected_) report(TSocketInfo::siLookup, "Setting PortName While Connected Has No Effect");
    portName_ = port;
}

void TSock::setBlocking(bool blocking) {
    blocking_ = blocking;
    registerNotifications();
}

void TSock::setListen(bool value) {
    const bool old = listen_;
    if (handle_ >= 0 && !old) {
        listen_ = false;
        throw ESockException("Listen - Socket Already In Use");
    }
    if (value && socketType_ == TSocketType::stDatagram) {
        listen_ = false;
        throw ESockException("Listen - Cannot Listen On A Datagram Socket");
    }
    listen_ = value;
    if (!value) {
        Close();
        report(TSocketInfo::siListen, "Listening Stopped");
        return;
    }
    if (old) {
        report(TSocketInfo::siListen, "Listening Already Running");
        return;
    }
    handle_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle_ < 0) {
        listen_ = false;
        throw ESockException("Listen - Error Binding Socket");
    }
    // A restarted server must be able to take its port back from connections that
    // linger in TIME_WAIT; this does not let two listeners share a port.
    const int one = 1;
    ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ++openSerial_;
    try {
        fillTarget(true);
    } catch (...) {
        listen_ = false;
        throw;
    }
    registerNotifications();
    listen_ = false;
    if (::bind(handle_, reinterpret_cast<const sockaddr*>(&target_), sizeof target_) != 0) {
        dropNotifiers();
        throw ESockException("Listen - Error Binding Socket");
    }
    if (::listen(handle_, 5) != 0) {
        dropNotifiers();
        throw ESockException("Listen - Error Starting Listen");
    }
    listen_ = true;
    registerNotifications();
    report(TSocketInfo::siListen, "Listening Started");
}

// ---- name resolution ----

in_addr_t TSock::resolveHost(const std::string& host) {
    if (host.empty()) return htonl(INADDR_ANY);
    report(TSocketInfo::siLookup, "Lookup Of Host " + host);
    if (startsWithDigit(host)) return ::inet_addr(host.c_str());
    {
        std::lock_guard lock(hostCache().mutex);
        for (const auto& [name, address] : hostCache().entries)
            if (sameNameIgnoringCase(name, host)) return address;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    const in_addr_t address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    std::lock_guard lock(hostCache().mutex);
    hostCache().entries.emplace_back(host, address);
    return address;
}

in_port_t TSock::resolvePort(const std::string& port) {
    report(TSocketInfo::siLookup, "Lookup Of Port " + port);
    if (startsWithDigit(port)) {
        const int value = protocol::strToInt(port);
        // A number that is no port would wrap around to another port; refuse it as
        // the conversion does any other text that is not a port number.
        if (value < 0 || value > 65535) throw protocol::ConversionError(port);
        return htons(static_cast<uint16_t>(value));
    }
    servent entry{};
    servent* result = nullptr;
    char scratch[1024];
    const char* proto = socketType_ == TSocketType::stStream ? "tcp" : "udp";
    if (::getservbyname_r(port.c_str(), proto, &entry, scratch, sizeof scratch, &result) != 0 || !result)
        throw ESockException("Port Lookup - Could Not Find Service Entry");
    return static_cast<in_port_t>(result->s_port);
}

void TSock::fillTarget(bool anyHost) {
    target_ = sockaddr_in{};
    target_.sin_family = AF_INET;
    target_.sin_port = resolvePort(portName_);
    target_.sin_addr.s_addr = anyHost ? htonl(INADDR_ANY) : resolveHost(hostName_);
}

// ---- notification registration ----

void TSock::registerNotifications() {
    if (handle_ < 0) return;
    if (!blocking_ || listen_) {
        setNonBlockingFlag(handle_, true);
        if (!readNotifier_) {
            readNotifier_ = new QSocketNotifier(handle_, QSocketNotifier::Read, this);
            connect(readNotifier_, &QSocketNotifier::activated, this, [this] { onReadable(); });
        }
        if (!writeNotifier_) {
            writeNotifier_ = new QSocketNotifier(handle_, QSocketNotifier::Write, this);
            connect(writeNotifier_, &QSocketNotifier::activated, this, [this] { onWritable(); });
        }
        if (listen_ || socketType_ == TSocketType::stDatagram) {
            setReadArmed(true);
            setWriteArmed(false);
        } else {
            // A stream socket hears of its connect, then of write readiness once, as
            // the stack announces a newly registered connected socket.
            writePending_ = !connecting_;
            setReadArmed(!connecting_);
            setWriteArmed(true);
        }
    } else {
        dropNotifiers();
        setNonBlockingFlag(handle_, false);
    }
}

void TSock::dropNotifiers() {
    // A notifier may be the sender of the signal being handled: it goes later, or
    // with this object when no event loop runs again.
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_}) {
        if (!*n) continue;
        (*n)->setEnabled(false);
        (*n)->disconnect(this);
        (*n)->deleteLater();
        *n = nullptr;
    }
}

void TSock::setReadArmed(bool on) {
    if (readNotifier_) readNotifier_->setEnabled(on);
}

void TSock::setWriteArmed(bool on) {
    if (writeNotifier_) writeNotifier_->setEnabled(on);
}

// ---- notification sources ----

void TSock::onReadable() {
    guarded([this] {
        if (handle_ < 0) return;
        if (listen_) {
            // Like the stack, no further accept notice until Accept is called.
            setReadArmed(false);
            dispatch(FD_ACCEPT, 0);
            return;
        }
        if (socketType_ == TSocketType::stDatagram) {
            setReadArmed(false);  // re-armed by the next receive
            dispatch(FD_READ, 0);
            return;
        }
        char scratch[kReceiveChunk];
        const ssize_t n = ::recv(handle_, scratch, sizeof scratch, 0);
        if (n > 0) {
            pendingRead_.assign(scratch, static_cast<std::size_t>(n));
            dispatch(FD_READ, 0);
        } else if (n == 0) {
            dispatch(FD_CLOSE, 0);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            pendingRead_.clear();
            dispatch(FD_READ, 0);
        } else {
            dispatch(FD_CLOSE, lastError());
        }
    });
}

void TSock::onWritable() {
    guarded([this] {
        if (handle_ < 0) return;
        if (connecting_) {
            int err = 0;
            socklen_t len = sizeof err;
            if (::getsockopt(handle_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
            connectFinished(wsaErrorFromErrno(err));
            return;
        }
        writePending_ = false;
        setWriteArmed(false);
        dispatch(FD_WRITE, 0);
    });
}

void TSock::connectFinished(int error) {
    connecting_ = false;
    if (error != 0) {
        // The descriptor stays allocated and unconnected until the owner closes it.
        setReadArmed(false);
        setWriteArmed(false);
        dispatch(FD_CONNECT, error);
        return;
    }
    setReadArmed(true);
    writePending_ = true;  // the write-readiness notice that follows a connect
    setWriteArmed(true);
    dispatch(FD_CONNECT, 0);
}

void TSock::dispatch(int event, int error) {
    auto alive = alive_;
    if (error > 10000) {
        report(TSocketInfo::siError, errorReportText(error));
        // A connection that failed or was reset is over: without its close, a server
        // would keep the seat of a dead peer forever and a client would wait for it.
        if (event == FD_CLOSE && *alive) fdClose();
        return;
    }
    switch (event) {
    case FD_READ: fdRead(); break;
    case FD_WRITE: fdWrite(); break;
    case FD_ACCEPT: fdAccept(); break;
    case FD_CONNECT: fdConnect(); break;
    case FD_CLOSE: fdClose(); break;
    default: break;
    }
}

void TSock::fdRead() {
    if (socketType_ == TSocketType::stStream) {
        receiveBuffer_ += pendingRead_;
        pendingRead_.clear();
        auto alive = alive_;
        report(TSocketInfo::siReceive, "Non-Blocking Incoming Data");
        if (!*alive) return;
    }
    fire(OnRead, *this, static_cast<int>(std::min<std::size_t>(receiveBuffer_.size(), INT_MAX)));
}

void TSock::fdWrite() {
    auto alive = alive_;
    if (!sendBuffer_.empty()) Send({});
    if (!*alive) return;
    report(TSocketInfo::siSend, "Non-Blocking Outgoing Data");
    if (!*alive) return;
    fire(OnWrite, *this);
}

void TSock::fdAccept() {
    if (autoAccept_ && OnAutoAccept) {
        autoAccept();
        return;
    }
    fire(OnAccept, *this);
}

void TSock::fdConnect() {
    connected_ = true;
    auto alive = alive_;
    report(TSocketInfo::siConnect, "Non-Blocking Socket Connected");
    if (!*alive) return;
    fire(OnConnect, *this);
}

void TSock::fdClose() {
    auto alive = alive_;
    fire(OnDisconnect, *this);
    if (!*alive) return;
    // The owner may have closed it already from OnDisconnect.
    if (handle_ >= 0 || connected_) Close();
}

// ---- open and close ----

bool TSock::Open() {
    if (handle_ >= 0) return connected_;
    const bool stream = socketType_ == TSocketType::stStream;
    handle_ = ::socket(AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, 0);
    if (handle_ < 0) {
        report(TSocketInfo::siError, errorReportText(lastError()));
        return false;
    }
    const unsigned serial = ++openSerial_;
    if (stream) sendAtOnce(handle_);
    fillTarget(!stream);
    if (stream) {
        if (!blocking_) {
            connecting_ = true;
            registerNotifications();
            const int rc = ::connect(handle_, reinterpret_cast<const sockaddr*>(&target_), sizeof target_);
            if (rc != 0 && errno != EINPROGRESS && errno != EINTR) {
                // Refused at once: the outcome still arrives as a connect notice.
                const int err = lastError();
                setWriteArmed(false);
                QMetaObject::invokeMethod(
                    this,
                    [this, serial, err] {
                        if (serial == openSerial_ && connecting_ && handle_ >= 0)
                            guarded([&] { connectFinished(err); });
                    },
                    Qt::QueuedConnection);
            }
            return connected_;
        }
        registerNotifications();
        if (::connect(handle_, reinterpret_cast<const sockaddr*>(&target_), sizeof target_) != 0) {
            report(TSocketInfo::siClose, "Blocking Socket Can't Connect");
            Close();
            return connected_;
        }
        connected_ = true;
        auto alive = alive_;
        report(TSocketInfo::siConnect, "Blocking Socket Connected");
        if (*alive) fire(OnConnect, *this);
        return *alive ? connected_ : true;
    }
    registerNotifications();
    if (::bind(handle_, reinterpret_cast<const sockaddr*>(&target_), sizeof target_) == 0) {
        connected_ = true;
        auto alive = alive_;
        report(TSocketInfo::siConnect, "Datagram Socket Connected");
        if (*alive) fire(OnConnect, *this);
        if (!*alive) return true;
    }
    return connected_;
}

bool TSock::Close() {
    dropNotifiers();
    const bool ok = handle_ >= 0 && ::close(handle_) == 0;
    handle_ = -1;
    connected_ = false;
    connecting_ = false;
    writePending_ = false;
    // Unsent bytes belong to this connection; they must never reach a later one.
    sendBuffer_.clear();
    ++openSerial_;
    try {
        if (!listen_) report(TSocketInfo::siClose, "Socket Closed");
    } catch (...) {
    }
    listen_ = false;
    return ok;
}

// ---- sending ----

bool TSock::Send(std::string_view data) {
    if (handle_ < 0) throw ESockException("Send - Socket Not Connected");
    if (listen_) throw ESockException("Send - Cannot Send On A Listener Socket");
    if (socketType_ == TSocketType::stDatagram) {
        SendDatagram(data, hostName_);
        return true;
    }
    sendBuffer_.append(data);
    if (sendBuffer_.empty()) return true;
    if (!blocking_) {
        auto alive = alive_;
        report(TSocketInfo::siSend, "Non-Blocking Outgoing Data");
        if (!*alive || handle_ < 0) return true;
        const ssize_t n = ::send(handle_, sendBuffer_.data(), sendBuffer_.size(), MSG_NOSIGNAL);
        if (n > 0) sendBuffer_.erase(0, static_cast<std::size_t>(n));
        // What is left goes out on the next write readiness. A hard failure is left to
        // the close notice that follows it.
        if (!sendBuffer_.empty() && (n > 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            setWriteArmed(true);
        return true;
    }
    while (!sendBuffer_.empty()) {
        const ssize_t n = ::send(handle_, sendBuffer_.data(), sendBuffer_.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            report(TSocketInfo::siError, "Socket Error On Send");
            throw ESockException("Send - Socket Error");
        }
        sendBuffer_.erase(0, static_cast<std::size_t>(n));
        report(TSocketInfo::siSend, "Blocking Outgoing Data");
    }
    sendBuffer_.clear();
    return true;
}

bool TSock::SendDatagram(std::string_view data, const std::string& host) {
    if (handle_ < 0) throw ESockException("SendDatagram - Socket Not Connected");
    if (socketType_ == TSocketType::stStream)
        throw ESockException("SendDatagram - Datagram Send Not Supported On Stream Sockets");
    setHostName(host);
    if (!data.empty())
        ::sendto(handle_, data.data(), data.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&target_),
                 sizeof target_);
    return true;
}

// ---- receiving ----

bool TSock::waitReadable() {
    pollfd p{handle_, POLLIN, 0};
    const int timeout = blockingTimeout_ < 0 ? -1
                        : blockingTimeout_ > INT_MAX / 1000 ? INT_MAX
                                                            : blockingTimeout_ * 1000;
    int rc;
    do {
        rc = ::poll(&p, 1, timeout);
    } while (rc < 0 && errno == EINTR);
    return rc > 0;
}

std::string TSock::Receive(int count) {
    if (handle_ < 0 && receiveBuffer_.empty()) throw ESockException("Receive - Socket Not Connected");
    if (listen_) throw ESockException("Receive - Cannot Receive On A Listener Socket");
    const int readSize = (count == -1 || count > kReceiveChunk) ? kReceiveChunk : count;
    if (socketType_ == TSocketType::stDatagram) {
        std::string host;
        return ReceiveDatagram(host);
    }
    if (blocking_) {
        if (connected_ && handle_ >= 0 && waitReadable()) {
            report(TSocketInfo::siReceive, "Blocking Incoming Data");
            std::string scratch(static_cast<std::size_t>(std::max(readSize, 0)), '\0');
            ssize_t n;
            do {
                n = ::recv(handle_, scratch.data(), scratch.size(), 0);
            } while (n < 0 && errno == EINTR);
            if (n < 0) {
                const int err = lastError();
                receiveBuffer_.clear();
                report(TSocketInfo::siError, "Socket Error On Receive");
                throw ESockException("Receive - Socket Error " + wsaErrorName(err));
            }
            if (n > 0) {
                receiveBuffer_.append(scratch.data(), static_cast<std::size_t>(n));
            } else if (readSize > 0) {
                auto alive = alive_;
                report(TSocketInfo::siClose, "Socket Disconnected On Receive");
                Close();
                if (*alive) fire(OnDisconnect, *this);
            }
        }
        return std::exchange(receiveBuffer_, std::string());
    }
    if (count < 0 || static_cast<std::size_t>(count) >= receiveBuffer_.size())
        return std::exchange(receiveBuffer_, std::string());
    std::string head = receiveBuffer_.substr(0, static_cast<std::size_t>(count));
    receiveBuffer_.erase(0, static_cast<std::size_t>(count));
    return head;
}

std::string TSock::ReceiveDatagram(std::string& host) {
    if (handle_ < 0) throw ESockException("ReceiveDatagram - Socket Not Connected");
    if (socketType_ == TSocketType::stStream)
        throw ESockException("ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets");
    host.clear();
    std::string result;
    if (waitReadable()) {
        std::string scratch(kReceiveChunk, '\0');
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(handle_, scratch.data(), scratch.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &len);
        if (n > 0) {
            peer_ = from;
            result.assign(scratch.data(), static_cast<std::size_t>(n));
            host = dotted(from);
        }
    }
    setReadArmed(true);  // the next datagram may be announced again
    return result;
}

std::string TSock::PeerAddress() const { return dotted(peer_); }

// ---- accepting ----

TSock* TSock::wrapAccepted(int handle, const sockaddr_in& peer, bool withReports) {
    auto* sock = new TSock(*this, handle);
    sock->peer_ = peer;
    if (withReports) {
        sock->setPortName(portName_);
        sock->setHostName(dotted(peer));
    } else {
        sock->portName_ = portName_;
        sock->hostName_ = dotted(peer);
    }
    return sock;
}

void TSock::rearmAccept(int acceptErrno) {
    if (acceptErrno != EMFILE && acceptErrno != ENFILE && acceptErrno != ENOBUFS && acceptErrno != ENOMEM) {
        setReadArmed(true);
        return;
    }
    // Out of descriptors or memory: the connection stays waiting, and announcing it again
    // at once would spin. Try again a little later.
    const unsigned serial = openSerial_;
    QTimer::singleShot(100, this, [this, serial] {
        if (serial == openSerial_ && listen_) setReadArmed(true);
    });
}

bool TSock::Accept(TSock*& newSock) {
    if (!listen_) throw ESockException("Accept - Socket Not In Listening Mode");
    if (blocking_) report(TSocketInfo::siAccept, "Blocking Accept");
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int h = ::accept4(handle_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    rearmAccept(h < 0 ? errno : 0);  // the next waiting connection may be announced
    if (h < 0) {
        report(TSocketInfo::siAccept, "Could Not Accept Connection");
        return false;
    }
    peer_ = peer;
    newSock = wrapAccepted(h, peer, true);
    report(TSocketInfo::siAccept, "Created New TSock Structure");
    return true;
}

void TSock::autoAccept() {
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int h = ::accept4(handle_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    rearmAccept(h < 0 ? errno : 0);
    if (h < 0) return;
    peer_ = peer;
    TSock* sock = wrapAccepted(h, peer, false);
    if (!blocking_) {
        fire(OnAutoAccept, *this, *sock);
        return;
    }
    // Blocking: the connection is served on a thread of its own. Nothing is locked;
    // the handler must not touch shared state unguarded.
    auto handler = OnAutoAccept;
    QThread* worker = QThread::create([this, handler, sock] {
        try {
            handler(*this, *sock);
        } catch (const std::exception& e) {
            handleEscaped(e);
        } catch (...) {
            handleEscaped(ESockException("Error here"));
        }
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    workers_.erase(std::remove_if(workers_.begin(), workers_.end(), [](const QPointer<QThread>& w) { return !w; }),
                   workers_.end());
    workers_.emplace_back(worker);
    worker->start();
}

}  // namespace quorbit::net
