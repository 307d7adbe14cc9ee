// The host's timers over real loopback connections: they wake the program only while
// there is work, and the pump still serves one line per 10 ms tick, taking the
// connections in turn.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/server/hosted.h"
#include "testkit/timer_events.h"

namespace quorbit::serverhost {
namespace {
using namespace std::chrono_literals;
using testing::Hosted;
using net::testing::RawPeer;
using net::testing::waitUntil;
using testsupport::TimerEvents;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;
using protocol::frame;

std::vector<std::string> cut(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find(protocol::kTerminator, start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

TEST(PumpTick, TicksKeepTheirBeatFromTheStartAndNeverComeEarly) {
    EXPECT_EQ(untilNextPumpTick(0ns), 10ms);
    EXPECT_EQ(untilNextPumpTick(3ms), 7ms);
    EXPECT_EQ(untilNextPumpTick(300us), 10ms);  // 9.7 ms, rounded up
    EXPECT_EQ(untilNextPumpTick(9999us), 1ms);
    EXPECT_EQ(untilNextPumpTick(20ms), 10ms);
    EXPECT_EQ(untilNextPumpTick(123456ms + 500us), 4ms);
    EXPECT_EQ(untilNextPumpTick(-5ms), 10ms);  // a clock that went backwards
}

TEST(HostTimers, NothingWakesAHostWithNobodyOrWithPlayersButNoGame) {
    Hosted h;
    TimerEvents timers;
    auto seen = timers.during(300);
    EXPECT_EQ(TimerEvents::total(seen), 0) << TimerEvents::describe(seen);

    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.login(2, "Bob");
    RawPeer c = h.join(3);  // connected, never logs in
    a.receive(1 << 16, 100);
    b.receive(1 << 16, 100);
    seen = timers.during(300);
    EXPECT_EQ(TimerEvents::total(seen), 0) << TimerEvents::describe(seen);

    // A chat line wakes the pump, which sleeps again once the line is relayed.
    ASSERT_TRUE(b.send(frame(toserver::chat(2, "hi", "Red"))));
    const std::string want = frame(toclient::chat("Bob", "hi|Red"));
    EXPECT_EQ(a.receive(want.size()), want);
    seen = timers.during(300);
    EXPECT_EQ(TimerEvents::total(seen), 0) << TimerEvents::describe(seen);
}

TEST(HostTimers, ABurstIsServedOneLinePerTickWithTheOtherConnectionsInTurn) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.login(2, "Bob");
    RawPeer c = h.login(3, "Cy");
    a.receive(1 << 16, 200);
    constexpr int kBurst = 30;
    std::string burst;
    std::size_t expected = 0;
    for (int i = 0; i < kBurst; ++i) {
        burst += frame(toserver::chat(2, "line " + std::to_string(i), "Red"));
        expected += frame(toclient::chat("Bob", "line " + std::to_string(i) + "|Red")).size();
    }
    expected += frame(toclient::chat("Cy", "hello|Red")).size();

    TimerEvents timers;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(b.send(burst));
    ASSERT_TRUE(c.send(frame(toserver::chat(3, "hello", "Red"))));
    const std::vector<std::string> lines = cut(a.receive(expected, 5000));
    const auto took = clock.elapsed();
    const int ticks = TimerEvents::total(timers.seen());

    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kBurst + 1));
    // Cy's one line does not wait behind Bob's burst.
    const std::string cy = toclient::chat("Cy", "hello|Red");
    EXPECT_LE(std::find(lines.begin(), lines.end(), cy) - lines.begin(), 1);
    int next = 0;
    for (const auto& line : lines) {
        if (line == cy) continue;
        EXPECT_EQ(line, toclient::chat("Bob", "line " + std::to_string(next++) + "|Red"));
    }
    // One line per tick, ticks 10 ms apart: 31 lines take at least 30 intervals.
    EXPECT_GE(ticks, kBurst + 1);
    EXPECT_GE(took, 10 * kBurst);

    const auto after = timers.during(200);
    EXPECT_EQ(TimerEvents::total(after), 0) << TimerEvents::describe(after);
}

TEST(HostTimers, DuringAGameOnlyTheOneSecondClocksTick) {
    Hosted h;
    RawPeer a = h.login(1, "Ann");
    RawPeer b = h.login(2, "Bob");
    protocol::GameSettings s;
    s.starter = "Ann";
    s.playTo = 500;
    s.seconds = 60;
    s.shuffles = 1;
    ASSERT_TRUE(a.send(frame(toserver::startgame(s))));
    ASSERT_TRUE(waitUntil([&] { return h.host->server().gamerunning() && h.host->server().currentplayer() != 0; }));
    TimerEvents timers;
    const auto seen = timers.during(1600);
    EXPECT_GE(TimerEvents::total(seen), 1);  // the turn clock runs
    for (const auto& [receiver, r] : seen) EXPECT_LE(r.events, 2) << TimerEvents::describe(seen);
}

}  // namespace
}  // namespace quorbit::serverhost
