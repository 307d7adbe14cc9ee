// The headless server against a hostile peer: a flood of long lines does not grow it,
// and a connection that never logs in loses its seat in time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "testkit/server_process.h"
#include "testkit/wire_client.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/messages.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;

// Resident memory of a process in KiB, from /proc; 0 when it cannot be read.
long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

std::unique_ptr<WireClient> login(int port, int seat, const std::string& name) {
    auto c = std::make_unique<WireClient>();
    EXPECT_TRUE(c->connect(port));
    EXPECT_EQ(c->next(3s), toclient::sendlogininfo(seat));
    EXPECT_TRUE(c->send(toserver::logininfo(seat, protocol::kVersion, name)));
    EXPECT_TRUE(c->waitFor(toclient::newplayerinfo(seat, name)));
    return c;
}

TEST(HostilePeer, LongLinesDoNotGrowTheServer) {
    // Under AddressSanitizer freed memory is held back (up to 256 MiB) before it is used
    // again, which a bound on the resident size would count as growth: the server started
    // here holds back little, so that what is measured is what the server keeps.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string options = asan && *asan ? std::string(asan) + ":quarantine_size_mb=8" : "quarantine_size_mb=8";
    ::setenv("ASAN_OPTIONS", options.c_str(), 1);
    ServerProcess server;
    auto host = login(server.port, 1, "Host");
    const long before = residentKiB(server.process->pid());
    ASSERT_GT(before, 0);
    long peak = before;
    // Each round a new peer logs in and sends lines just under the 64 KiB limit, as
    // fast as the socket takes them, without reading anything.
    const std::string line = protocol::frame(toserver::chat(2, std::string(60000, '\x80'), "clRed"));
    for (int round = 0; round < 3; ++round) {
        auto peer = login(server.port, 2, "Eve");
        std::string burst;
        for (int i = 0; i < 20; ++i) burst += line;
        for (int i = 0; i < 50 && peer->sendRaw(burst); ++i) peak = std::max(peak, residentKiB(server.process->pid()));
        peer->close();
        host->waitFor(toclient::playerdisconnected(2, "Eve"), 5s);
        peak = std::max(peak, residentKiB(server.process->pid()));
    }
    EXPECT_TRUE(server.process->running());
    EXPECT_LT(peak - before, 64 * 1024) << "from " << before << " KiB to " << peak << " KiB";
    // Every relay the host heard is within the limit.
    for (const auto& l : host->skipped()) EXPECT_LE(l.size() + 1, protocol::kMaxRelayedLine);
}

TEST(HostilePeer, AConnectionThatNeverLogsInIsClosedAndItsSeatReused) {
    ServerProcess server;
    auto host = login(server.port, 1, "Host");
    WireClient idle;
    ASSERT_TRUE(idle.connect(server.port));
    EXPECT_EQ(idle.next(3s), toclient::sendlogininfo(2));
    // Closed within the login time and a little slack, not before.
    const auto start = std::chrono::steady_clock::now();
    while (idle.next(1s) || !idle.peerClosed()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(protocol::kLoginSeconds + 5)) break;
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(idle.peerClosed());
    EXPECT_GE(waited, std::chrono::seconds(protocol::kLoginSeconds - 1));
    auto next = login(server.port, 2, "Bob");
    EXPECT_TRUE(server.process->running());
}

}  // namespace
}  // namespace quorbit::e2e
