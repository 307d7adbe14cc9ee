// How long a chat line takes to reach everybody else, through the headless server.
//
// Each benchmark starts "quorbit --server" on a free loopback port and logs nine
// clients in. An iteration is one chat line from one client (the senders take turns);
// its time is from the send until the last of the others has the relayed line. A
// random pause before each line keeps the lines from locking onto the server's pump.
//
//   BM_ChatQuiet    nine honest clients, nothing else going on
//   BM_ChatFlooded  eight honest clients while the ninth, a spectator, sends chat lines
//                   as fast as it can (and reconnects whenever the server cuts it off)
//
// Counters: p50_ms and p99_ms of the iteration times; for the flood, the lines the
// flooder's stack accepted (most die unread in buffers when the server cuts it off),
// how often it was cut off, and the server's resident
// memory before and after (rss_kb_*) and at its peak (hwm_kb).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "testkit/wire_client.h"
#include "protocol/framing.h"
#include "protocol/messages.h"

namespace {
using namespace std::chrono;
namespace toserver = quorbit::protocol::toserver;
namespace toclient = quorbit::protocol::toclient;
using quorbit::protocol::frame;
using quorbit::e2e::connectLoopback;
using quorbit::e2e::freePort;

constexpr auto kLineTimeout = seconds(2);

bool sendAll(int fd, const std::string& bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

long statusKb(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == field) {
            in >> value;
            return value;
        }
        in.ignore(1 << 12, '\n');
    }
    return 0;
}

// The server process, in a folder of its own for the word file it writes.
class Server {
public:
    Server() : port_(freePort()) {
        dir_ = std::filesystem::temp_directory_path() / ("quorbit-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        const std::string cmd =
            "cd '" + dir_.string() + "' && exec '" + QUORBIT_BINARY + "' --server --port " + std::to_string(port_);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            ::dup2(devnull, 2);
            ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Server() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int st = 0;
            ::waitpid(pid_, &st, 0);
        }
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    int port() const { return port_; }
    pid_t pid() const { return pid_; }

private:
    int port_;
    pid_t pid_ = -1;
    std::filesystem::path dir_;
};

// One honest client: logs in, then reads whole lines.
class Client {
public:
    Client(int port, int seat) : seat_(seat), name_("P" + std::to_string(seat)) {
        fd_ = connectLoopback(port, seconds(5));
        if (fd_ < 0) return;
        if (!waitLine(toclient::sendlogininfo(seat), steady_clock::now() + seconds(3))) return;
        sendAll(fd_, frame(toserver::logininfo(seat, quorbit::protocol::kVersion, name_)));
        ok_ = waitLine(toclient::newplayerinfo(seat, name_), steady_clock::now() + seconds(3));
    }
    ~Client() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return ok_; }
    int fd() const { return fd_; }
    int seat() const { return seat_; }
    const std::string& name() const { return name_; }

    // Takes what is readable now; true when `line` has been seen since the last reset.
    bool pump(const std::string& line) {
        char buf[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0) break;
            lines_.clear();
            cutter_.feed(std::string_view(buf, static_cast<std::size_t>(n)), lines_);
            for (const auto& l : lines_)
                if (l == line) seen_ = true;
        }
        return seen_;
    }
    void reset() { seen_ = false; }

private:
    bool waitLine(const std::string& line, steady_clock::time_point until) {
        reset();
        while (steady_clock::now() < until) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, 10);
            if (pump(line)) return true;
        }
        return false;
    }

    int fd_ = -1;
    int seat_;
    std::string name_;
    bool ok_ = false;
    bool seen_ = false;
    quorbit::protocol::LineCutter cutter_;
    std::vector<std::string> lines_;
};

// Sends one chat line from `from`; the time until every one of `to` has it.
double chatRound(Client& from, std::vector<Client*>& to, long serial) {
    const std::string text = "line " + std::to_string(serial);
    const std::string relayed = toclient::chat(from.name(), text + "|Red");
    for (Client* c : to) c->reset();
    const auto start = steady_clock::now();
    sendAll(from.fd(), frame(toserver::chat(from.seat(), text, "Red")));
    std::vector<pollfd> fds;
    for (Client* c : to) fds.push_back({c->fd(), POLLIN, 0});
    const auto until = start + kLineTimeout;
    for (;;) {
        bool all = true;
        for (Client* c : to) all = c->pump(relayed) && all;
        if (all) break;
        if (steady_clock::now() > until) break;
        ::poll(fds.data(), fds.size(), 5);
    }
    return duration<double>(steady_clock::now() - start).count();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

// Floods from the ninth seat until told to stop, reconnecting when cut off.
class Flooder {
public:
    Flooder(int port, int seat) : port_(port), seat_(seat) {
        thread_ = std::thread([this] { run(); });
    }
    ~Flooder() {
        stop_ = true;
        thread_.join();
    }
    long lines() const { return lines_; }
    long cutoffs() const { return cutoffs_; }

private:
    void run() {
        const std::string one = frame(toserver::chat(seat_, "flood flood flood flood", "Green"));
        std::string burst;
        while (burst.size() < 32768) burst += one;
        const auto deadline = steady_clock::now() + seconds(120);
        while (!stop_ && steady_clock::now() < deadline) {
            const int fd = connectLoopback(port_, seconds(1));
            if (fd < 0) continue;
            sendAll(fd, frame(toserver::logininfo(seat_, quorbit::protocol::kVersion, "Flooder")));
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            char sink[65536];
            bool alive = true;
            while (alive && !stop_) {
                const ssize_t n = ::send(fd, burst.data(), burst.size(), MSG_NOSIGNAL);
                if (n > 0) lines_ += n / static_cast<long>(one.size());
                if (n < 0 && errno != EAGAIN) alive = false;
                ssize_t r;
                while ((r = ::recv(fd, sink, sizeof sink, 0)) > 0) {
                }
                if (r == 0 || (r < 0 && errno != EAGAIN)) alive = false;
                if (n < 0 && errno == EAGAIN) {
                    pollfd p{fd, POLLOUT | POLLIN, 0};
                    ::poll(&p, 1, 5);
                }
            }
            ::close(fd);
            if (!alive) ++cutoffs_;
        }
    }

    int port_;
    int seat_;
    std::atomic<bool> stop_{false};
    std::atomic<long> lines_{0};
    std::atomic<long> cutoffs_{0};
    std::thread thread_;
};

void runChat(benchmark::State& state, bool flooded) {
    Server server;
    std::vector<std::unique_ptr<Client>> clients;
    const int honest = flooded ? 8 : 9;
    for (int s = 1; s <= honest; ++s) {
        clients.push_back(std::make_unique<Client>(server.port(), s));
        if (!clients.back()->ok()) {
            state.SkipWithError("a client could not log in");
            return;
        }
    }
    const long rssBefore = statusKb(server.pid(), "VmRSS:");
    std::unique_ptr<Flooder> flooder;
    if (flooded) {
        flooder = std::make_unique<Flooder>(server.port(), 9);
        std::this_thread::sleep_for(milliseconds(300));  // let the flood build up
    }
    std::vector<double> samples;
    long serial = 0;
    std::minstd_rand jitter(12345);
    for (auto _ : state) {
        // Lines arrive at any moment of the server's 10 ms pump, not just after a tick.
        std::this_thread::sleep_for(microseconds(jitter() % 10000));
        Client& from = *clients[static_cast<std::size_t>(serial) % clients.size()];
        std::vector<Client*> to;
        for (auto& c : clients)
            if (c.get() != &from) to.push_back(c.get());
        const double t = chatRound(from, to, serial++);
        state.SetIterationTime(t);
        samples.push_back(t);
    }
    state.counters["p50_ms"] = percentile(samples, 0.50) * 1000;
    state.counters["p99_ms"] = percentile(samples, 0.99) * 1000;
    state.counters["max_ms"] = percentile(samples, 1.0) * 1000;
    if (flooded) {
        state.counters["rss_kb_before"] = static_cast<double>(rssBefore);
        state.counters["rss_kb_after"] = static_cast<double>(statusKb(server.pid(), "VmRSS:"));
        state.counters["hwm_kb"] = static_cast<double>(statusKb(server.pid(), "VmHWM:"));
        state.counters["flood_lines_written"] = static_cast<double>(flooder->lines());
        state.counters["flood_cutoffs"] = static_cast<double>(flooder->cutoffs());
    }
}

void BM_ChatQuiet(benchmark::State& state) { runChat(state, false); }
void BM_ChatFlooded(benchmark::State& state) { runChat(state, true); }

BENCHMARK(BM_ChatQuiet)->UseManualTime()->Iterations(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChatFlooded)->UseManualTime()->Iterations(500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
