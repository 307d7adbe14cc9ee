// A table server under load: one "quorbit --server" (a process of its own) holding many
// tables of four players and one spectator, each player acting once every five seconds:
// on its turn it plays the best word the solver finds on the board it was sent, else it
// chats. Everything goes over loopback; each table's connections come from a loopback
// address of its own (127.1.x.y), as players at different homes would.
//
// Reports, over the measured window: the relay latency of each action (from the moment the
// player sends it to the moment the table's spectator receives it) at p50, p99 and max; the
// server's CPU share in cores (from /proc/PID/stat); its peak resident memory (VmHWM); and
// the load average of the machine around the run; and how many lines a client heard about
// another table's players (none, as tables are apart).
//
// Bounded: QUORBIT_LOAD_TABLES tables (default 1000), a measured window of
// QUORBIT_LOAD_SECONDS (default 60) after everyone has sat down, and no more than 180 s
// for setting up (QUORBIT_LOAD_SETUP). Run with --benchmark_filter=TableLoad.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "rules/board.h"
#include "solver/solver.h"

using namespace quorbit;
namespace tc = protocol::toclient;
namespace ts = protocol::toserver;

namespace {

using Clock = std::chrono::steady_clock;
// Latency is measured on the wall clock: the kernel stamps each received segment with it
// (SO_TIMESTAMPNS), so time this program spends solving boards does not count.
using Wall = std::chrono::system_clock;
constexpr int kPlayers = 4;
constexpr int kPerTable = kPlayers + 1;
constexpr auto kActionEvery = std::chrono::seconds(5);

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

double ms(Wall::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Pending {
    Wall::time_point sent;
    std::string token;  // a chat's text, or "" for a word of `seat`
    int seat = 0;
};

struct Client {
    int fd = -1;
    int table = 0;
    int index = 0;  // 0..3 players, 4 the spectator
    int seat = 0;
    bool connected = false;
    bool loggedIn = false;
    std::string out;  // bytes not yet written
    protocol::LineCutter cutter;
    rules::Grid board{};
    Clock::time_point nextAction;
};

struct Table {
    std::vector<int> clients;  // indexes into the client list
    int seated = 0;            // clients logged in
    bool started = false;
    int turn = 0;
    std::deque<Pending> pending;  // actions the spectator has not seen yet
};

class Load {
public:
    Load(int tables, int port) : tables_(static_cast<std::size_t>(tables)), port_(port) {
        epoll_ = epoll_create1(EPOLL_CLOEXEC);
        clients_.resize(static_cast<std::size_t>(tables) * kPerTable);
        for (int t = 0; t < tables; ++t)
            for (int k = 0; k < kPerTable; ++k) {
                const int i = t * kPerTable + k;
                clients_[static_cast<std::size_t>(i)].table = t;
                clients_[static_cast<std::size_t>(i)].index = k;
                tables_[static_cast<std::size_t>(t)].clients.push_back(i);
            }
    }
    ~Load() {
        for (Client& c : clients_)
            if (c.fd >= 0) ::close(c.fd);
        ::close(epoll_);
    }

    // Seats everybody and starts every table's game; false when that took too long.
    bool setUp() {
        const auto until = Clock::now() + std::chrono::seconds(envInt("QUORBIT_LOAD_SETUP", 180));
        for (std::size_t t = 0; t < tables_.size(); ++t) connect(tables_[t].clients[0]);
        while (Clock::now() < until) {
            poll(10);
            if (started_ == tables_.size()) return true;
        }
        std::size_t in = 0;
        for (const Client& c : clients_) in += c.loggedIn ? 1 : 0;
        std::fprintf(stderr, "set-up: %zu of %zu tables started, %zu of %zu clients logged in, %zu closed\n", started_,
                     tables_.size(), in, clients_.size(), refused);
        return false;
    }

    void run(Clock::duration window) {
        std::mt19937 rng(7);
        const auto start = Clock::now();
        for (Client& c : clients_)
            c.nextAction = start + std::chrono::milliseconds(rng() % 5000);
        measuring_ = true;
        const auto until = start + window;
        while (Clock::now() < until) {
            poll(2);
            const auto now = Clock::now();
            for (std::size_t i = 0; i < clients_.size(); ++i) {
                Client& c = clients_[i];
                if (c.index == kPlayers || !c.loggedIn || now < c.nextAction) continue;
                c.nextAction += kActionEvery;
                act(static_cast<int>(i), Wall::now());
            }
        }
        measuring_ = false;
    }

    std::vector<double> latencies;
    std::size_t words = 0, chats = 0, unmatched = 0, notValid = 0, refused = 0;
    std::size_t crossTable = 0;  // lines about another table's players

private:
    void connect(int i) {
        Client& c = clients_[static_cast<std::size_t>(i)];
        c.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ::setsockopt(c.fd, SOL_SOCKET, SO_TIMESTAMPNS, &one, sizeof one);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl((127u << 24) | (1u << 16) | static_cast<unsigned>(c.table + 1));
        ::bind(c.fd, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port_));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(c.fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET;  // edge-triggered: reads and writes drain
        ev.data.u32 = static_cast<std::uint32_t>(i);
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, c.fd, &ev);
        send(i, protocol::tables::Table{"t" + std::to_string(c.table)}.format());
    }

    void send(int i, const std::string& message) {
        Client& c = clients_[static_cast<std::size_t>(i)];
        c.out += protocol::frame(message);
        flush(c);
    }

    void flush(Client& c) {
        while (!c.out.empty()) {
            const ssize_t n = ::write(c.fd, c.out.data(), c.out.size());
            if (n <= 0) return;
            c.out.erase(0, static_cast<std::size_t>(n));
        }
    }

    void poll(int timeoutMs) {
        epoll_event events[256];
        const int n = ::epoll_wait(epoll_, events, 256, timeoutMs);
        for (int e = 0; e < n; ++e) {
            const int i = static_cast<int>(events[e].data.u32);
            Client& c = clients_[static_cast<std::size_t>(i)];
            if (events[e].events & EPOLLOUT) flush(c);
            if (events[e].events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP)) readFrom(i);
        }
    }

    void readFrom(int i) {
        Client& c = clients_[static_cast<std::size_t>(i)];
        char buf[65536];
        for (;;) {
            iovec iov{buf, sizeof buf};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
            msghdr msg{};
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(c.fd, &msg, 0);
            if (n == 0) {
                ::epoll_ctl(epoll_, EPOLL_CTL_DEL, c.fd, nullptr);
                ++refused;
                return;
            }
            if (n < 0) return;
            std::vector<std::string> lines;
            c.cutter.feedRaw(std::string_view(buf, static_cast<std::size_t>(n)), lines);
            Wall::time_point now = Wall::now();
            for (cmsghdr* cm = CMSG_FIRSTHDR(&msg); cm; cm = CMSG_NXTHDR(&msg, cm))
                if (cm->cmsg_level == SOL_SOCKET && cm->cmsg_type == SCM_TIMESTAMPNS) {
                    timespec ts{};
                    std::memcpy(&ts, CMSG_DATA(cm), sizeof ts);
                    now = Wall::time_point(std::chrono::duration_cast<Wall::duration>(
                        std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec)));
                }
            for (const std::string& line : lines) handle(i, line, now);
        }
    }

    void handle(int i, const std::string& line, Wall::time_point now) {
        Client& c = clients_[static_cast<std::size_t>(i)];
        Table& t = tables_[static_cast<std::size_t>(c.table)];
        // Tables are apart: every player a client hears of, and every chat it hears, is
        // one of its own table's ("p<table>x<index>").
        const std::string own = "p" + std::to_string(c.table) + "x";
        if (const auto m = protocol::read<tc::Chat>(line); m && m->text.rfind(own, 0) != 0) ++crossTable;
        if (const auto m = protocol::read<tc::Newplayerinfo>(line); m && m->name.rfind(own, 0) != 0) ++crossTable;
        if (const auto m = protocol::read<tc::Sendlogininfo>(line)) {
            c.seat = m->seat;
            send(i, ts::logininfo(c.seat, protocol::kVersion, "p" + std::to_string(c.table) + "x" + std::to_string(c.index)));
        } else if (const auto m = protocol::read<tc::Newplayerinfo>(line); m && m->seat == c.seat && !c.loggedIn) {
            c.loggedIn = true;
            ++t.seated;
            // The next at the table comes once this one is in: one address may hold few
            // connections that have not logged in.
            if (c.index + 1 < kPerTable) connect(t.clients[static_cast<std::size_t>(c.index + 1)]);
            if (t.seated == kPerTable && !t.started) {
                protocol::GameSettings g;
                g.starter = "p" + std::to_string(c.table) + "x0";
                g.playTo = 1000000;
                g.seconds = 60;
                g.shuffles = 1;
                send(t.clients[0], ts::startgame(g));
                t.started = true;
                ++started_;
            }
        } else if (const auto m = protocol::read<tc::Theboard>(line)) {
            for (const auto& sq : m->squares)
                if (rules::onBoard(sq.x, sq.y)) c.board[sq.x][sq.y] = sq.code;
        } else if (const auto m = protocol::read<tc::Nextplayer>(line)) {
            if (c.index == kPlayers) t.turn = m->seat;
        } else if (protocol::read<tc::Notvalid>(line)) {
            ++notValid;
        } else if (c.index == kPlayers && measuring_) {
            // The spectator: match what it hears with what was sent.
            if (const auto m = protocol::read<tc::Madeword>(line)) {
                matchWord(t, m->seat, now);
            } else if (const auto m = protocol::read<tc::Chat>(line)) {
                matchChat(t, m->text, now);
            }
        }
    }

    void matchWord(Table& t, int seat, Wall::time_point now) {
        for (auto it = t.pending.begin(); it != t.pending.end(); ++it)
            if (it->token.empty() && it->seat == seat) {
                latencies.push_back(ms(now - it->sent));
                t.pending.erase(it);
                return;
            }
    }

    void matchChat(Table& t, const std::string& text, Wall::time_point now) {
        for (auto it = t.pending.begin(); it != t.pending.end(); ++it)
            if (!it->token.empty() && text.find(it->token) != std::string::npos) {
                latencies.push_back(ms(now - it->sent));
                t.pending.erase(it);
                return;
            }
    }

    void act(int i, Wall::time_point now) {
        Client& c = clients_[static_cast<std::size_t>(i)];
        Table& t = tables_[static_cast<std::size_t>(c.table)];
        if (t.pending.size() > 64) {
            unmatched += t.pending.size();
            t.pending.clear();
        }
        if (t.turn == c.seat) {
            const auto found = solver_.best(c.board, solver::Vocabulary::Dictionary);
            if (found) {
                t.turn = 0;  // one word per turn
                t.pending.push_back({Wall::now(), "", c.seat});  // sent from here on
                send(i, ts::playerdone(c.seat, found->path()));
                ++words;
                return;
            }
        }
        const std::string token = "m" + std::to_string(++serial_) + "z";
        t.pending.push_back({now, token, c.seat});
        send(i, ts::chat(c.seat, "hello " + token, "0"));
        ++chats;
    }

    std::vector<Client> clients_;
    std::vector<Table> tables_;
    int port_;
    int epoll_ = -1;
    std::size_t started_ = 0;
    bool measuring_ = false;
    std::uint64_t serial_ = 0;
    solver::Solver solver_;
};

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

bool accepting(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// utime + stime of a process, in seconds.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    double utime = 0, stime = 0;
    for (int n = 3; fields >> f; ++n) {
        if (n == 14) utime = std::stod(f);
        if (n == 15) {
            stime = std::stod(f);
            break;
        }
    }
    return (utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double statusKiB(pid_t pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1);
    return 0;
}

double loadAverage() {
    std::ifstream in("/proc/loadavg");
    double one = 0;
    in >> one;
    return one;
}

double percentile(std::vector<double>& v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
    return v[k];
}

void raiseFileLimit(rlim_t wanted) {
    rlimit r{};
    ::getrlimit(RLIMIT_NOFILE, &r);
    r.rlim_cur = std::min(wanted, r.rlim_max);
    ::setrlimit(RLIMIT_NOFILE, &r);
}

void BM_TableLoad(benchmark::State& state) {
    const int tables = envInt("QUORBIT_LOAD_TABLES", 1000);
    const int seconds = envInt("QUORBIT_LOAD_SECONDS", 60);
    raiseFileLimit(static_cast<rlim_t>(tables) * kPerTable + 256);
    for (auto _ : state) {
        const int port = freePort();
        const std::string portText = std::to_string(port);
        const std::string tablesText = std::to_string(tables + 10);
        const std::string connectionsText = std::to_string(tables * kPerTable + 100);
        const pid_t server = ::fork();
        if (server == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            ::dup2(devnull, 2);
            ::execl(QUORBIT_BINARY, QUORBIT_BINARY, "--server", "--no-announce", "--port", portText.c_str(),
                    "--max-tables", tablesText.c_str(), "--max-connections", connectionsText.c_str(), nullptr);
            ::_exit(127);
        }
        const auto waitUntil = Clock::now() + std::chrono::seconds(20);
        while (!accepting(port) && Clock::now() < waitUntil) ::usleep(20000);

        Load load(tables, port);
        const double loadBefore = loadAverage();
        if (!load.setUp()) state.SkipWithError("the tables were not all seated in time");
        const double cpu0 = cpuSeconds(server);
        const auto t0 = Clock::now();
        load.run(std::chrono::seconds(seconds));
        const double cpu1 = cpuSeconds(server);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();

        state.counters["tables"] = tables;
        state.counters["connections"] = tables * kPerTable;
        state.counters["actions"] = static_cast<double>(load.words + load.chats);
        state.counters["words"] = static_cast<double>(load.words);
        state.counters["unmatched"] = static_cast<double>(load.unmatched);
        state.counters["not_valid"] = static_cast<double>(load.notValid);
        state.counters["cross_table_lines"] = static_cast<double>(load.crossTable);
        state.counters["closed_by_server"] = static_cast<double>(load.refused);
        state.counters["relay_p50_ms"] = percentile(load.latencies, 0.50);
        state.counters["relay_p99_ms"] = percentile(load.latencies, 0.99);
        state.counters["relay_max_ms"] = load.latencies.empty() ? 0 : load.latencies.back();
        state.counters["server_cpu_cores"] = (cpu1 - cpu0) / wall;
        state.counters["server_peak_rss_MiB"] = statusKiB(server, "VmHWM") / 1024.0;
        state.counters["load_avg_before"] = loadBefore;
        state.counters["load_avg_after"] = loadAverage();

        ::kill(server, SIGTERM);
        int status = 0;
        ::waitpid(server, &status, 0);
    }
}
BENCHMARK(BM_TableLoad)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
