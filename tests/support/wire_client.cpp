#include "testkit/wire_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace quorbit::e2e {
using namespace std::chrono;

Process::Process(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env) {
    pid_ = ::fork();
    if (pid_ == 0) {
        for (const auto& e : env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

bool Process::running() {
    if (reaped_ || pid_ <= 0) return false;
    int st = 0;
    if (::waitpid(pid_, &st, WNOHANG) == pid_) {
        reaped_ = true;
        status_ = st;
        return false;
    }
    return true;
}

int Process::stop(int sig, milliseconds timeout) {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, sig);
        const auto end = steady_clock::now() + timeout;
        while (running() && steady_clock::now() < end) std::this_thread::sleep_for(milliseconds(5));
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
            reaped_ = true;
        }
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return -WTERMSIG(status_);
    return -1;
}

Process::~Process() {
    if (pid_ > 0 && !reaped_) stop(SIGTERM, seconds(3));
}

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

int connectLoopback(int port, milliseconds patience) {
    const auto end = steady_clock::now() + patience;
    do {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
        ::close(fd);
        std::this_thread::sleep_for(milliseconds(10));
    } while (steady_clock::now() < end);
    return -1;
}

bool WireClient::connect(int port, milliseconds timeout) {
    fd_ = connectLoopback(port, timeout);
    return fd_ >= 0;
}

WireClient::~WireClient() { close(); }

void WireClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool WireClient::sendRaw(const std::string& bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        off += static_cast<std::size_t>(n);
    }
    return true;
}

bool WireClient::send(const std::string& message) { return sendRaw(protocol::frame(message)); }

std::optional<std::string> WireClient::next(milliseconds timeout) {
    const auto end = steady_clock::now() + timeout;
    while (ready_.empty() && !closed_ && fd_ >= 0) {
        const auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[65536];
        const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            closed_ = true;
            break;
        }
        cutter_.feed(std::string_view(buf, static_cast<std::size_t>(n)), ready_);
    }
    if (ready_.empty()) return std::nullopt;
    std::string line = ready_.front();
    ready_.erase(ready_.begin());
    return line;
}

std::optional<std::string> WireClient::waitFor(const std::string& prefix, milliseconds timeout) {
    const auto end = steady_clock::now() + timeout;
    while (steady_clock::now() < end) {
        auto line = next(duration_cast<milliseconds>(end - steady_clock::now()));
        if (!line) return std::nullopt;
        if (line->rfind(prefix, 0) == 0) return line;
        skipped_.push_back(*line);
    }
    return std::nullopt;
}

}  // namespace quorbit::e2e
