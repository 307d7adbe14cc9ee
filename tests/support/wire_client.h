#pragma once
// Helpers for end-to-end tests: a started program, and a scripted TCP client that
// speaks the game's framing on loopback.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "protocol/framing.h"

namespace quorbit::e2e {

// A child process; killed (SIGTERM, then SIGKILL) when destroyed.
class Process {
public:
    Process(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& env = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    pid_t pid() const { return pid_; }
    // Sends `sig` and waits for the exit; returns the exit status (or -signal).
    int stop(int sig, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    bool running();

private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
};

// A free loopback TCP port, for a server under test.
int freePort();
// A blocking TCP connection to 127.0.0.1:port, retried until `patience` runs out; -1 then.
int connectLoopback(int port, std::chrono::milliseconds patience);

class WireClient {
public:
    // Connects to 127.0.0.1:port, retrying until `timeout`.
    bool connect(int port, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    ~WireClient();
    void close();
    bool send(const std::string& message);  // adds the terminator
    bool sendRaw(const std::string& bytes);
    // The next whole line, or nothing when none arrives in time or the peer closed.
    std::optional<std::string> next(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Reads lines until one starts with `prefix`; the lines passed over are kept in skipped().
    std::optional<std::string> waitFor(const std::string& prefix,
                                       std::chrono::milliseconds timeout = std::chrono::seconds(3));
    bool peerClosed() const { return closed_; }
    const std::vector<std::string>& skipped() const { return skipped_; }

private:
    int fd_ = -1;
    bool closed_ = false;
    protocol::LineCutter cutter_;
    std::vector<std::string> ready_;
    std::vector<std::string> skipped_;
};

}  // namespace quorbit::e2e
