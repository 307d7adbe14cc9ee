#pragma once
// TSock: one TCP stream or UDP datagram socket whose stack notifications (read, write,
// accept, connect, close, each with an error code) become events on the thread that owns
// the object, one at a time. The component never frames or alters data: what the peer
// sent arrives byte for byte, in chunks whose boundaries follow the stack.
//
// Events are plain callables, named as the component's events; an accepted socket gets
// copies of its listener's OnRead, OnWrite, OnDisconnect and OnInfo. Every report goes
// through OnInfo as (sender, kind, text). Misuse raises ESockException with a fixed
// message; asynchronous failures never raise, they arrive as siError reports.
//
// Readiness comes from QSocketNotifier on the owner's event loop. Automatic accepting in
// blocking mode runs OnAutoAccept on a worker thread, one per accepted connection.
//
// Stream sockets speak IPv4 and IPv6: a listener takes both families on one socket, and
// a connect tries every address that its host name resolves to, in turn, reporting a
// failure only when the last one failed. Datagram sockets are IPv4.
#include <netinet/in.h>
#include <sys/socket.h>

#include <QObject>
#include <QPointer>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;
class QThread;

namespace quorbit::net {

class TlsSession;

class ESockException : public std::runtime_error {
public:
    explicit ESockException(const std::string& message) : std::runtime_error(message) {}
};

enum class TSocketType { stStream = 0, stDatagram = 1 };
enum class TLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2, lbSmart = 3 };
enum class TSocketInfo {
    siLookup = 0,
    siConnect = 1,
    siClose = 2,
    siListen = 3,
    siReceive = 4,
    siSend = 5,
    siAccept = 6,
    siError = 7,
};

// The stack's event kinds, as numbered in the notifications.
enum SockEvent : int { FD_READ = 1, FD_WRITE = 2, FD_ACCEPT = 8, FD_CONNECT = 16, FD_CLOSE = 32 };

inline constexpr int kReceiveChunk = 32768;  // most bytes taken per receive call

class TSock;

// One socket address of either family.
struct SockAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;
    int family() const { return storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    sockaddr* get() { return reinterpret_cast<sockaddr*>(&storage); }
    void setPort(in_port_t port);  // network byte order
    // Dotted IPv4 text, or IPv6 text; an IPv4 peer seen through an IPv6 listener is
    // written as IPv4.
    std::string text() const;
};

// A byte stream over a socket: Read receives, Write sends, Seek does nothing.
class TSockStream {
public:
    explicit TSockStream(TSock& sock) : sock_(sock) {}
    int Read(char* buffer, int count);
    int Write(const char* buffer, int count);
    long Seek(long offset, int origin);

private:
    TSock& sock_;
};

class TSock : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TSock& sender)>;
    using TNotifyInfoEvent = std::function<void(TSock& sender, TSocketInfo info, const std::string& msg)>;
    using TNotifyReadEvent = std::function<void(TSock& sender, int count)>;
    using TNotifyAutoEvent = std::function<void(TSock& sender, TSock& newSock)>;
    // Receives exceptions that leave an event (an owner's handler that throws, or a
    // report handler replaced by "Error here"); by default they are written to stderr.
    using ExceptionHook = std::function<void(const std::exception&)>;

    explicit TSock(QObject* owner = nullptr);
    ~TSock() override;
    TSock(const TSock&) = delete;
    TSock& operator=(const TSock&) = delete;

    // Properties.
    TSocketType SocketType() const { return socketType_; }
    void setSocketType(TSocketType type);
    const std::string& HostName() const { return hostName_; }
    void setHostName(const std::string& host);
    const std::string& PortName() const { return portName_; }
    void setPortName(const std::string& port);
    bool Blocking() const { return blocking_; }
    void setBlocking(bool blocking);
    bool AutoAccept() const { return autoAccept_; }
    void setAutoAccept(bool on) { autoAccept_ = on; }
    // How many connections may wait to be accepted (5 unless set before listening); a
    // server for many players sets more, so that a burst of arrivals is not turned away.
    int ListenBacklog() const { return backlog_; }
    void setListenBacklog(int n) { backlog_ = n > 0 ? n : 1; }
    bool Listen() const { return listen_; }
    void setListen(bool listen);
    TLineBreak LineBreak() const { return lineBreak_; }
    void setLineBreak(TLineBreak lb) { lineBreak_ = lb; }
    int BlockingTimeout() const { return blockingTimeout_; }
    void setBlockingTimeout(int seconds) { blockingTimeout_ = seconds; }

    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyInfoEvent OnInfo;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;
    TNotifyAutoEvent OnAutoAccept;
    // A connection switched to TLS has finished its handshake (Tls() tells of the peer).
    TNotifyEvent OnTlsReady;

    // The owner's number for this socket (the server stores the seat here).
    int Tag = 0;

    // Run-time state.
    bool Connected() const { return connected_; }
    int Handle() const { return handle_; }
    // Bytes handed to Send and not yet taken by the stack.
    std::size_t SendBufferSize() const { return sendBuffer_.size(); }
    // Bytes received and not yet taken by the owner.
    std::size_t ReceiveBufferSize() const { return receiveBuffer_.size(); }
    TSockStream& Stream() { return stream_; }

    bool Open();
    bool Close();
    bool Send(std::string_view data);
    std::string Receive(int count);
    std::string Text() { return Receive(-1); }
    bool Accept(TSock*& newSock);
    bool SendDatagram(std::string_view data, const std::string& host);
    std::string ReceiveDatagram(std::string& host);
    std::string PeerAddress() const;

    // Switches a connected non-blocking stream socket to TLS: from here the session takes
    // every byte of the wire, starting with `alreadyRead` (bytes the owner took before it
    // knew, such as a server's first read) and anything still unread; OnRead and Receive
    // give plaintext and Send encrypts. A client's session sends its hello at once. A
    // session that fails is reported (siError) and the connection closes as if the peer
    // had closed it. Close ends the session with the connection.
    void StartTls(std::unique_ptr<TlsSession> session, std::string_view alreadyRead = {});
    bool Encrypted() const { return tls_ != nullptr; }
    const TlsSession* Tls() const { return tls_.get(); }

    // Name resolution as the component does it (reports go to OnInfo); exposed for the
    // owner's checks and tests. Addresses and ports are in network byte order.
    in_addr_t resolveHost(const std::string& host);
    in_port_t resolvePort(const std::string& port);
    // Every address of `host` in both families, in the resolver's order of preference
    // (ports left 0). A text beginning with a digit and without ":" is read as dotted
    // IPv4 and never looked up; "[...]" around an IPv6 address is allowed.
    std::vector<SockAddress> resolveAddresses(const std::string& host);

    static void setExceptionHook(ExceptionHook hook);
    static void clearHostCache();
    // Puts `name` into the host-name cache with these addresses, as a look-up would.
    static void rememberHost(const std::string& name, std::vector<SockAddress> addresses);
    static std::size_t hostCacheSize();

private:
    TSock(TSock& listener, int handle);  // an accepted connection

    void report(TSocketInfo info, const std::string& text);
    void registerNotifications();
    void dropNotifiers();
    void setReadArmed(bool on);
    void setWriteArmed(bool on);
    void fillTarget(bool anyHost);
    void fillCandidates();
    bool startConnect(unsigned serial);
    // The connect of the open numbered `serial` failed with `error`: said once the
    // owner's call has returned, as the stack would.
    void failConnectLater(unsigned serial, int error);
    void listenOn(int family);
    TSock* wrapAccepted(int handle, const SockAddress& peer, bool withReports);
    void rearmAccept(int acceptErrno);
    bool waitReadable();
    bool unsealReceived(std::string_view wire);

    // Notification sources.
    void onReadable();
    void onWritable();
    void connectFinished(int error);
    void dispatch(int event, int error);
    void fdRead();
    void fdWrite();
    void fdAccept();
    void fdConnect();
    void fdClose();
    void autoAccept();
    template <typename F>
    void guarded(F&& f);

    TSocketType socketType_ = TSocketType::stStream;
    std::string hostName_;
    std::string portName_;
    bool blocking_ = false;
    bool autoAccept_ = false;
    int backlog_ = 5;
    bool listen_ = false;
    TLineBreak lineBreak_ = TLineBreak::lbSmart;
    int blockingTimeout_ = 0;

    int handle_ = -1;
    bool connected_ = false;
    bool connecting_ = false;    // a non-blocking connect waits for its outcome
    bool writePending_ = false;  // one write-readiness event is owed
    unsigned openSerial_ = 0;    // tells a late connect outcome from a later socket
    SockAddress target_;
    SockAddress peer_;
    std::vector<SockAddress> candidates_;  // addresses still to try for this connect
    int listenFamily_ = AF_INET;
    std::string receiveBuffer_;
    std::string sendBuffer_;
    std::string pendingRead_;    // bytes of the current read notification
    int pendingCloseError_ = 0;  // error of the current close notification
    TSockStream stream_;
    std::unique_ptr<TlsSession> tls_;  // set while the connection speaks TLS

    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    std::vector<QPointer<QThread>> workers_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quorbit::net
