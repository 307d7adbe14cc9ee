// Tables side by side in one process, and who controls a seat.
#include <memory>

#include "dictionary/builtin_words.h"
#include "harness.h"

namespace quorbit::server::testing {
namespace {

namespace ts = proto::toserver;

// One table with its own host and generator, playing the host against the computer:
// the host lets every turn run out, the computer plays its words.
struct Evening {
    Evening(const dictionary::TDictn& dict, std::uint64_t seed, rules::ZuboLevel level)
        : random(seed), table(out, dict, random) {
        table.setZubolevel(level);
        table.opened(1);
        say(ts::logininfo(1, proto::kVersion, "Ann"));
        proto::GameSettings s;
        s.starter = "Ann";
        s.playTo = 300;
        s.seconds = 10;
        say(ts::startgame(s));
    }
    void say(const std::string& line) {
        table.received(1, proto::frame(line));
        while (table.hasUnservedLines()) table.socktimerTimer();
    }
    void second() {
        if (table.computertimerEnabled()) table.computertimerTimer();
        if (table.timer1Enabled()) table.Timer1Timer();
    }
    FakeOutput out;
    SeededRandom random;
    Table table;
};

class Tables : public ServerTest {
protected:
    Tables() : ServerTest("ab\nstorm\n", std::string(dictionary::builtinWordFile())) {}
};

// Two tables run their games interleaved, second by second; each sends exactly what it
// sends when it runs alone, so neither sees the other's lines, draws or solver.
TEST_F(Tables, SideBySideEachPlaysAsIfAlone) {
    constexpr int kSeconds = 400;
    auto alone = [&](std::uint64_t seed, rules::ZuboLevel level) {
        Evening e(dict_, seed, level);
        for (int i = 0; i < kSeconds; ++i) e.second();
        return e.out.sent;
    };
    const auto aloneA = alone(11, rules::ZuboLevel::Classic);
    const auto aloneB = alone(22, rules::ZuboLevel::Strong);

    Evening a(dict_, 11, rules::ZuboLevel::Classic);
    Evening b(dict_, 22, rules::ZuboLevel::Strong);
    for (int i = 0; i < kSeconds; ++i) {
        a.second();
        b.second();
        if (i == 100) a.say(ts::chat(1, "only at table A", "0"));
    }
    // The chat went to table A only; before it, A is what it was alone.
    ASSERT_EQ(only(b.out.sent[1], "CMD_chat").size(), 0u);
    ASSERT_EQ(only(a.out.sent[1], "CMD_chat").size(), 1u);
    EXPECT_EQ(b.out.sent, aloneB);
    std::vector<std::string> withoutChat;
    for (const auto& line : a.out.sent[1])
        if (line.rfind("CMD_chat", 0) != 0) withoutChat.push_back(line);
    EXPECT_EQ(withoutChat, aloneA.at(1));
    // Both games went on long enough for the computer to have played at each.
    EXPECT_FALSE(only(aloneA.at(1), "CMD_madeword+2+").empty());
    EXPECT_FALSE(only(aloneB.at(1), "CMD_madeword+2+").empty());
}

// Who controls each seat, through a game: the holder, the computer while he just watches
// or on its own seat when nobody holds it, nobody on another empty seat. A newcomer on a
// seat marked "just watching" while it was empty plays it himself.
TEST_F(ServerTest, SeatControlFollowsHoldersAndWatchers) {
    EXPECT_EQ(server_.control(1), SeatControl::Nobody);
    EXPECT_EQ(server_.control(2), SeatControl::Computer);
    join(1, "Ann");
    join(2, "Bob");
    join(3, "Cy");
    EXPECT_EQ(server_.control(2), SeatControl::Person);
    start(500);
    say(2, ts::justwatch(2, 1));
    EXPECT_EQ(server_.control(2), SeatControl::Computer);
    server_.closed(3);
    EXPECT_EQ(server_.control(3), SeatControl::Nobody);

    say(1, ts::justwatch(3, 1));  // seat 3 is empty: announced, but nobody to replace
    join(4, "Dee");
    ASSERT_EQ(server_.seatOf(4), 3);
    EXPECT_EQ(server_.control(3), SeatControl::Person);
    server_.closed(2);
    EXPECT_EQ(server_.control(2), SeatControl::Computer);  // the computer's own seat
    for (int i = 0; i < 300 && server_.currentplayer() != 3; ++i) {
        server_.Timer1Timer();
        server_.computertimerTimer();
    }
    ASSERT_EQ(server_.currentplayer(), 3);
    EXPECT_FALSE(server_.computertimerEnabled());  // Dee's turn is Dee's
}

}  // namespace
}  // namespace quorbit::server::testing
