#include "app/net/tsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
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
#include <cstring>
#include <cstdio>
#include <mutex>
#include <utility>

#include "app/net/sock_errors.h"
#include "app/net/tls.h"
#include "common/ascii.h"
#include "common/numbers.h"

namespace quorbit::net {
namespace {

// The process-wide host-name cache: names looked up once, never pruned.
struct HostCache {
    std::mutex mutex;
    std::vector<std::pair<std::string, std::vector<SockAddress>>> entries;
};
HostCache& hostCache() {
    static HostCache cache;
    return cache;
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

SockAddress ipv4Address(in_addr_t address, in_port_t port) {
    SockAddress a;
    auto* in = reinterpret_cast<sockaddr_in*>(&a.storage);
    in->sin_family = AF_INET;
    in->sin_port = port;
    in->sin_addr.s_addr = address;
    a.length = sizeof(sockaddr_in);
    return a;
}

bool sameAddress(const SockAddress& a, const SockAddress& b) {
    return a.length == b.length && std::memcmp(&a.storage, &b.storage, a.length) == 0;
}

// getaddrinfo's answer for `host`, one entry per address (the resolver lists each
// address once per socket type unless asked for one).
std::vector<SockAddress> lookUp(const std::string& host, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo* found = nullptr;
    std::vector<SockAddress> out;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return out;
    for (const addrinfo* i = found; i; i = i->ai_next) {
        if ((i->ai_family != AF_INET && i->ai_family != AF_INET6) || i->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SockAddress a;
        std::memcpy(&a.storage, i->ai_addr, i->ai_addrlen);
        a.length = i->ai_addrlen;
        a.setPort(0);
        if (std::none_of(out.begin(), out.end(), [&](const SockAddress& b) { return sameAddress(a, b); }))
            out.push_back(a);
    }
    ::freeaddrinfo(found);
    return out;
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

// ---- addresses ----

void SockAddress::setPort(in_port_t port) {
    if (family() == AF_INET) reinterpret_cast<sockaddr_in*>(&storage)->sin_port = port;
    if (family() == AF_INET6) reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = port;
}

std::string SockAddress::text() const {
    char out[INET6_ADDRSTRLEN + IF_NAMESIZE + 2] = {};
    if (family() == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&storage);
        if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr)) {
            ::inet_ntop(AF_INET, &in6->sin6_addr.s6_addr[12], out, sizeof out);
            return out;
        }
        ::inet_ntop(AF_INET6, &in6->sin6_addr, out, sizeof out);
        std::string text = out;
        char name[IF_NAMESIZE] = {};
        if (in6->sin6_scope_id != 0 && ::if_indextoname(in6->sin6_scope_id, name)) text += std::string("%") + name;
        return text;
    }
    // Also the text of a socket that has no peer yet: 0.0.0.0.
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr, out, sizeof out);
    return out;
}

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

void TSock::rememberHost(const std::string& name, std::vector<SockAddress> addresses) {
    std::lock_guard lock(hostCache().mutex);
    hostCache().entries.emplace_back(name, std::move(addresses));
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
    if (connected_ && socketType_ == TSocketType::stDatagram)
        target_ = ipv4Address(resolveHost(host), reinterpret_cast<const sockaddr_in*>(&target_.storage)->sin_port);
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
    // One socket for both families where the machine has IPv6; IPv4 alone otherwise.
    listenOn(AF_INET6);
    if (handle_ < 0) listenOn(AF_INET);
    if (handle_ < 0) {
        listen_ = false;
        throw ESockException("Listen - Error Binding Socket");
    }
    ++openSerial_;
    try {
        fillTarget(true);
    } catch (...) {
        listen_ = false;
        throw;
    }
    SockAddress any;
    if (listenFamily_ == AF_INET6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&any.storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_addr = in6addr_any;
        any.length = sizeof(sockaddr_in6);
        any.setPort(reinterpret_cast<const sockaddr_in*>(&target_.storage)->sin_port);
    } else {
        any = target_;
    }
    registerNotifications();
    listen_ = false;
    int bound = ::bind(handle_, any.get(), any.length);
    if (bound != 0 && listenFamily_ == AF_INET6 && (errno == EADDRNOTAVAIL || errno == EAFNOSUPPORT)) {
        // IPv6 is switched off on this machine: listen on IPv4 alone.
        dropNotifiers();
        ::close(handle_);
        handle_ = -1;
        listenOn(AF_INET);
        registerNotifications();
        bound = handle_ >= 0 ? ::bind(handle_, target_.get(), target_.length) : -1;
    }
    if (bound != 0) {
        dropNotifiers();
        throw ESockException("Listen - Error Binding Socket");
    }
    if (::listen(handle_, backlog_) != 0) {
        dropNotifiers();
        throw ESockException("Listen - Error Starting Listen");
    }
    listen_ = true;
    registerNotifications();
    report(TSocketInfo::siListen, "Listening Started");
}

// ---- name resolution ----

in_addr_t TSock::resolveHost(const std::string& host) {
    for (const SockAddress& a : resolveAddresses(host))
        if (a.family() == AF_INET) return reinterpret_cast<const sockaddr_in*>(&a.storage)->sin_addr.s_addr;
    throw ESockException("Host Lookup - Could Not Find Host Entry");
}

std::vector<SockAddress> TSock::resolveAddresses(const std::string& host) {
    if (host.empty()) return {ipv4Address(htonl(INADDR_ANY), 0)};
    report(TSocketInfo::siLookup, "Lookup Of Host " + host);
    if (startsWithDigit(host) && host.find(':') == std::string::npos) return {ipv4Address(::inet_addr(host.c_str()), 0)};
    if (host.find(':') != std::string::npos) {
        // An IPv6 address, never a name.
        const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
        std::vector<SockAddress> found =
            lookUp(bracketed ? host.substr(1, host.size() - 2) : host, AI_NUMERICHOST);
        if (found.empty()) throw ESockException("Host Lookup - Could Not Find Host Entry");
        return found;
    }
    {
        std::lock_guard lock(hostCache().mutex);
        for (const auto& [name, addresses] : hostCache().entries)
            if (equalsIgnoringAsciiCase(name, host)) return addresses;
    }
    std::vector<SockAddress> found = lookUp(host, 0);
    if (found.empty()) throw ESockException("Host Lookup - Could Not Find Host Entry");
    std::lock_guard lock(hostCache().mutex);
    hostCache().entries.emplace_back(host, found);
    return found;
}

in_port_t TSock::resolvePort(const std::string& port) {
    report(TSocketInfo::siLookup, "Lookup Of Port " + port);
    if (startsWithDigit(port)) {
        const int value = strToInt(port);
        // A number that is no port would wrap around to another port; refuse it as
        // the conversion does any other text that is not a port number.
        if (value < 0 || value > 65535) throw ConversionError(port);
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
    const in_port_t port = resolvePort(portName_);
    target_ = ipv4Address(anyHost ? htonl(INADDR_ANY) : resolveHost(hostName_), port);
}

void TSock::fillCandidates() {
    const in_port_t port = resolvePort(portName_);
    candidates_ = resolveAddresses(hostName_);
    for (SockAddress& a : candidates_) a.setPort(port);
    target_ = candidates_.front();
    candidates_.erase(candidates_.begin());
}

void TSock::listenOn(int family) {
    handle_ = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle_ < 0) return;
    listenFamily_ = family;
    // A restarted server must be able to take its port back from connections that
    // linger in TIME_WAIT; this does not let two listeners share a port.
    const int one = 1;
    ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (family == AF_INET6) {
        const int zero = 0;  // IPv4 peers too, as IPv4-mapped addresses
        ::setsockopt(handle_, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
    }
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
    if (error != 0 && !candidates_.empty()) {
        // The next address of the host, on a new descriptor; only the last failure is told.
        dropNotifiers();
        ::close(handle_);
        target_ = candidates_.front();
        candidates_.erase(candidates_.begin());
        startConnect(++openSerial_);
        return;
    }
    candidates_.clear();
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
    if (socketType_ == TSocketType::stStream && tls_) {
        const std::string wire = std::exchange(pendingRead_, std::string());
        if (!unsealReceived(wire)) return;
    } else if (socketType_ == TSocketType::stStream) {
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

// ---- TLS ----

void TSock::StartTls(std::unique_ptr<TlsSession> session, std::string_view alreadyRead) {
    if (handle_ < 0 || !connected_) throw ESockException("StartTls - Socket Not Connected");
    if (blocking_ || listen_ || socketType_ != TSocketType::stStream || !session)
        throw ESockException("StartTls - Only On A Connected Non-Blocking Stream");
    tls_ = std::move(session);
    const std::string wire = std::string(alreadyRead) + std::exchange(receiveBuffer_, std::string());
    if (wire.empty()) {
        std::string hello;
        if (tls_->start(hello) && !hello.empty()) {
            sendBuffer_.append(hello);
            Send({});
        }
        return;
    }
    // Plaintext this early (none comes before a handshake) is announced once the owner's
    // call has returned.
    if (!unsealReceived(wire)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            guarded([this] {
                if (!receiveBuffer_.empty())
                    fire(OnRead, *this, static_cast<int>(std::min<std::size_t>(receiveBuffer_.size(), INT_MAX)));
            });
        },
        Qt::QueuedConnection);
}

// Feeds what the wire brought to the session; true when plaintext came of it.
bool TSock::unsealReceived(std::string_view wire) {
    std::string plain;
    std::string reply;
    const bool wasEstablished = tls_->established();
    const bool ok = tls_->feed(wire, plain, reply);
    auto alive = alive_;
    if (!reply.empty() && handle_ >= 0) {
        sendBuffer_.append(reply);
        Send({});
        if (!*alive || !tls_) return false;
    }
    if (!ok) {
        report(TSocketInfo::siError, "TLS: " + tls_->error());
        if (*alive && handle_ >= 0) fdClose();
        return false;
    }
    if (!wasEstablished && tls_->established()) {
        fire(OnTlsReady, *this);
        if (!*alive || handle_ < 0) return false;
    }
    receiveBuffer_ += plain;
    return !plain.empty();
}

// ---- open and close ----

bool TSock::Open() {
    if (handle_ >= 0) return connected_;
    const bool stream = socketType_ == TSocketType::stStream;
    if (!stream) {
        handle_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (handle_ < 0) {
            report(TSocketInfo::siError, errorReportText(lastError()));
            return false;
        }
        ++openSerial_;
        fillTarget(true);
        registerNotifications();
        if (::bind(handle_, target_.get(), target_.length) == 0) {
            connected_ = true;
            auto alive = alive_;
            report(TSocketInfo::siConnect, "Datagram Socket Connected");
            if (*alive) fire(OnConnect, *this);
            if (!*alive) return true;
        }
        return connected_;
    }
    const unsigned serial = ++openSerial_;
    try {
        fillCandidates();
    } catch (...) {
        // As with a name that does not resolve on a socket made beforehand: the
        // descriptor exists, unconnected, until the owner closes it.
        handle_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        throw;
    }
    if (!blocking_) {
        startConnect(serial);
        return connected_;
    }
    // Blocking: each address in turn, until one answers.
    while (true) {
        if (startConnect(serial)) break;
        if (candidates_.empty()) {
            report(TSocketInfo::siClose, "Blocking Socket Can't Connect");
            Close();
            return connected_;
        }
        ::close(handle_);
        handle_ = -1;
        target_ = candidates_.front();
        candidates_.erase(candidates_.begin());
    }
    connected_ = true;
    auto alive = alive_;
    report(TSocketInfo::siConnect, "Blocking Socket Connected");
    if (*alive) fire(OnConnect, *this);
    return *alive ? connected_ : true;
}

bool TSock::startConnect(unsigned serial) {
    handle_ = ::socket(target_.family(), SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle_ < 0) {
        const int err = lastError();
        if (blocking_) return false;
        // Reported as a connect that failed, once the owner's call has returned.
        handle_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (handle_ < 0) {
            report(TSocketInfo::siError, errorReportText(err));
            return false;
        }
        connecting_ = true;
        failConnectLater(serial, err);
        return false;
    }
    sendAtOnce(handle_);
    if (blocking_) {
        registerNotifications();
        return ::connect(handle_, target_.get(), target_.length) == 0;
    }
    connecting_ = true;
    registerNotifications();
    const int rc = ::connect(handle_, target_.get(), target_.length);
    if (rc != 0 && errno != EINPROGRESS && errno != EINTR) {
        // Refused at once: the outcome still arrives as a connect notice.
        const int err = lastError();
        setWriteArmed(false);
        failConnectLater(serial, err);
    }
    return false;
}

void TSock::failConnectLater(unsigned serial, int error) {
    QMetaObject::invokeMethod(
        this,
        [this, serial, error] {
            if (serial == openSerial_ && connecting_ && handle_ >= 0) guarded([&] { connectFinished(error); });
        },
        Qt::QueuedConnection);
}

bool TSock::Close() {
    dropNotifiers();
    if (tls_) {
        // The peer hears that the session ends here, when nothing else waits to go.
        std::string bye;
        tls_->shutdown(bye);
        if (handle_ >= 0 && sendBuffer_.empty() && !bye.empty())
            (void)::send(handle_, bye.data(), bye.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        tls_.reset();
    }
    const bool ok = handle_ >= 0 && ::close(handle_) == 0;
    handle_ = -1;
    connected_ = false;
    connecting_ = false;
    writePending_ = false;
    // Unsent bytes belong to this connection; they must never reach a later one.
    sendBuffer_.clear();
    candidates_.clear();
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
    if (tls_ && !data.empty()) {
        // A session that has failed seals nothing; its close is already under way.
        std::string wire;
        tls_->seal(data, wire);
        sendBuffer_.append(wire);
    } else {
        sendBuffer_.append(data);
    }
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
    if (!data.empty()) ::sendto(handle_, data.data(), data.size(), MSG_NOSIGNAL, target_.get(), target_.length);
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
        SockAddress from;
        from.length = sizeof from.storage;
        const ssize_t n = ::recvfrom(handle_, scratch.data(), scratch.size(), MSG_DONTWAIT, from.get(), &from.length);
        if (n > 0) {
            peer_ = from;
            result.assign(scratch.data(), static_cast<std::size_t>(n));
            host = from.text();
        }
    }
    setReadArmed(true);  // the next datagram may be announced again
    return result;
}

std::string TSock::PeerAddress() const { return peer_.text(); }

// ---- accepting ----

TSock* TSock::wrapAccepted(int handle, const SockAddress& peer, bool withReports) {
    auto* sock = new TSock(*this, handle);
    sock->peer_ = peer;
    if (withReports) {
        sock->setPortName(portName_);
        sock->setHostName(peer.text());
    } else {
        sock->portName_ = portName_;
        sock->hostName_ = peer.text();
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
    SockAddress peer;
    peer.length = sizeof peer.storage;
    const int h = ::accept4(handle_, peer.get(), &peer.length, SOCK_CLOEXEC);
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
    SockAddress peer;
    peer.length = sizeof peer.storage;
    const int h = ::accept4(handle_, peer.get(), &peer.length, SOCK_CLOEXEC);
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
