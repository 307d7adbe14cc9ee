#pragma once
// A TServer with a recording host, a small word list and a scripted random generator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/random.h"
#include "dictionary/dictn.h"
#include "protocol/framing.h"
#include "protocol/messages.h"
#include "rules/deal.h"
#include "server/server.h"

namespace quorbit::server::testing {

namespace proto = quorbit::protocol;

// Records everything the server asks of its host.
class FakeOutput : public ServerOutput {
public:
    void send(ConnectionId id, std::string_view bytes) override {
        // Every send is exactly one framed message.
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), proto::kTerminator);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), proto::kTerminator), 1);
        sent[id].emplace_back(bytes.substr(0, bytes.size() - 1));
    }
    void close(ConnectionId id) override { closedIds.push_back(id); }
    void timerChanged(ServerTimer timer, bool enabled) override { timers.emplace_back(timer, enabled); }
    void log(std::string_view line) override { logs.emplace_back(line); }
    void heardByAll(std::string_view message) override { heard.emplace_back(message); }

    // Takes what was sent on a connection since the last take.
    std::vector<std::string> take(ConnectionId id) {
        auto lines = std::move(sent[id]);
        sent[id].clear();
        return lines;
    }
    void clear() {
        sent.clear();
        closedIds.clear();
        timers.clear();
        logs.clear();
        heard.clear();
    }

    std::map<ConnectionId, std::vector<std::string>> sent;
    std::vector<ConnectionId> closedIds;
    std::vector<std::pair<ServerTimer, bool>> timers;
    std::vector<std::string> logs;
    std::vector<std::string> heard;  // what an onlooker hears, in order
};

// Hands out queued values first, then seeded ones.
class ScriptedRandom : public Random {
public:
    int below(int n) override {
        if (!queue.empty()) {
            const int v = queue.front();
            queue.pop_front();
            EXPECT_GE(v, 0);
            EXPECT_LT(v, std::max(n, 1));
            return v;
        }
        return fallback.below(n);
    }
    std::deque<int> queue;
    SeededRandom fallback{12345};
};

// The draws (values of below(98)) that deal a board given as seven rows, row y being
// the string rows[y] with x its index. Deals run x-major.
inline std::vector<int> drawsFor(const std::array<std::string, 7>& rows) {
    std::vector<int> draws;
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            const int code = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - 'A' + 1;
            int v = 1;
            while (v <= 98 && rules::drawcode(v) != code) ++v;
            draws.push_back(v - 1);
        }
    return draws;
}

inline std::string record(std::string word) {
    word.resize(14, ' ');
    return "\x1e" + word;
}

// The words the test dictionary knows.
inline std::string testWordFile() {
    std::vector<std::string> words = {"STORM", "CAT", "TOE", "ZAP", "STRANGE", "CRATE", "ROTS", "TEAS",
                                      "SEAT", "EAST", "TOES", "ZZZZ", "AAAA", "A"};
    std::sort(words.begin(), words.end());
    std::string file;
    for (const auto& w : words) file += record(w);
    return file;
}

class ServerTest : public ::testing::Test {
protected:
    explicit ServerTest(std::string computerWords = "ab\nstorm\n", std::string wordFile = testWordFile())
        : dir_(std::filesystem::temp_directory_path() /
               ("server-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())),
          dict_(makeDir(dir_), wordFile),
          server_(out_, dict_, random_, computerWords) {}
    ~ServerTest() override { std::filesystem::remove_all(dir_); }

    static std::filesystem::path makeDir(const std::filesystem::path& p) {
        std::filesystem::remove_all(p);
        std::filesystem::create_directories(p);
        return p;
    }

    // Serves every queued line (bounded).
    void pump() {
        for (int i = 0; i < 100000; ++i) {
            bool any = false;
            for (int id = 0; id < 64; ++id) any = any || server_.queuedLines(id) > 0;
            if (!any) return;
            server_.socktimerTimer();
        }
        FAIL() << "pump did not drain";
    }
    void say(ConnectionId id, const std::string& message) {
        server_.received(id, proto::frame(message));
        pump();
    }
    // Connects `id` and logs it in under `name`; returns the seat it got.
    int join(ConnectionId id, const std::string& name) {
        server_.opened(id);
        const int seat = server_.seatOf(id);
        if (seat != 0) say(id, proto::toserver::logininfo(seat, proto::kVersion, name));
        return seat;
    }
    void start(int playTo = 50, int seconds = 60, bool team = false, int shuffles = 1,
               ConnectionId host = 1) {
        proto::GameSettings s;
        s.starter = "Ann";
        s.playTo = playTo;
        s.seconds = seconds;
        s.team = team;
        s.shuffles = shuffles;
        say(host, proto::toserver::startgame(s));
    }
    void script(const std::array<std::string, 7>& rows) {
        for (int v : drawsFor(rows)) random_.queue.push_back(v);
    }
    void tick1(int n = 1) {
        for (int i = 0; i < n; ++i) server_.Timer1Timer();
    }
    void tickComputer(int n = 1) {
        for (int i = 0; i < n; ++i) server_.computertimerTimer();
    }
    // Lines on a connection that start with `prefix`.
    static std::vector<std::string> only(const std::vector<std::string>& lines, const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& l : lines)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }
    std::string path(int seat, const std::vector<std::pair<int, int>>& squares) {
        std::vector<proto::PathStep> steps;
        for (std::size_t i = 0; i < squares.size(); ++i)
            steps.push_back({static_cast<int>(i) + 1, squares[i].first, squares[i].second});
        return proto::toserver::playerdone(seat, steps);
    }

    std::filesystem::path dir_;
    FakeOutput out_;
    ScriptedRandom random_;
    dictionary::TDictn dict_;
    TServer server_;
};

}  // namespace quorbit::server::testing
