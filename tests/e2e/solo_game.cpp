// A whole game over loopback: the headless server, one scripted client in seat 1 and
// the computer in seat 2, with short turns and a low target, until "CMD_winner". Every
// "CMD_madeword" is checked against a score worked out here from the client's own copy
// of the board. The server records the game; the record's text names every word and
// the winner.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dictionary/builtin_words.h"
#include "testkit/wire_client.h"
#include "protocol/fields.h"
#include "protocol/messages.h"

namespace quorbit::e2e {
namespace {
using namespace std::chrono_literals;
namespace toserver = protocol::toserver;
namespace toclient = protocol::toclient;
using Board = std::array<std::array<int, 7>, 7>;  // [x][y], codes 1..26, 27 empty

struct ServerProcess {
    std::filesystem::path dir;
    int port = freePort();
    std::unique_ptr<Process> process;

    ServerProcess() {
        dir = std::filesystem::temp_directory_path() /
              ("quorbit-solo-" + std::to_string(::getpid()) + "-" + std::to_string(port));
        std::filesystem::create_directories(dir);
        const std::string cmd = "cd '" + dir.string() + "' && exec '" + QUORBIT_BINARY +
                                "' --server --record games --port " + std::to_string(port);
        process = std::make_unique<Process>("/bin/sh", std::vector<std::string>{"-c", cmd});
    }
    ~ServerProcess() {
        process.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// What a command prints on standard output.
std::string output(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

// The game's scoring, written out again from its rules.
int tileValue(int code) {
    static const std::array<int, 26> v = {1, 3, 3, 1, 1, 5, 3, 3, 1, 5, 5, 1, 3,
                                          1, 1, 3, 10, 1, 1, 1, 1, 7, 5, 10, 3, 10};
    return (code >= 1 && code <= 26) ? v[static_cast<std::size_t>(code - 1)] : 1;
}

int independentScore(const Board& board, const std::vector<std::pair<int, int>>& squares) {
    auto in = [](int x, int y, std::initializer_list<std::pair<int, int>> list) {
        for (auto [a, b] : list)
            if (a == x && b == y) return true;
        return false;
    };
    int sum = 0;
    int factor = 1;
    for (auto [x, y] : squares) {
        const int v = tileValue(board[x][y]);
        sum += v;
        if (x == 3 && y == 3) sum += 20;
        if (in(x, y, {{0, 0}, {0, 6}, {6, 0}, {6, 6}})) sum += v;
        if (in(x, y, {{2, 2}, {2, 4}, {4, 2}, {4, 4}})) sum += 2 * v;
        if (in(x, y, {{1, 1}, {1, 5}, {5, 1}, {5, 5}})) factor *= 2;
        if (in(x, y, {{0, 3}, {3, 0}, {3, 6}, {6, 3}})) factor *= 3;
    }
    return sum * factor + (squares.size() == 7 ? 20 : 0);
}

// Any chain of touching squares spelling `word` (depth-first, with backtracking).
bool trace(const Board& b, const std::string& word, std::vector<std::pair<int, int>>& path) {
    if (path.size() == word.size()) return true;
    const char want = word[path.size()];
    auto matches = [&](int x, int y) {
        if (x < 0 || x > 6 || y < 0 || y > 6) return false;
        if (b[x][y] < 1 || b[x][y] > 26 || 'a' + b[x][y] - 1 != want) return false;
        for (auto sq : path)
            if (sq.first == x && sq.second == y) return false;
        return true;
    };
    std::vector<std::pair<int, int>> next;
    if (path.empty()) {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) next.emplace_back(x, y);
    } else {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx || dy) next.emplace_back(path.back().first + dx, path.back().second + dy);
    }
    for (auto [x, y] : next) {
        if (!matches(x, y)) continue;
        path.emplace_back(x, y);
        if (trace(b, word, path)) return true;
        path.pop_back();
    }
    return false;
}

std::vector<std::string> wordList() {
    std::vector<std::string> words;
    const std::string_view list = dictionary::builtinComputerWords();
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string_view::npos) end = list.size();
        if (end - start >= 3 && end - start <= 7) words.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

TEST(SoloGame, SeatOnePlaysTheComputerUntilAWinner) {
    ServerProcess server;
    WireClient c;
    ASSERT_TRUE(c.connect(server.port));
    ASSERT_EQ(c.next(3s), toclient::sendlogininfo(1));
    ASSERT_TRUE(c.send(toserver::logininfo(1, protocol::kVersion, "Tess")));
    ASSERT_TRUE(c.waitFor(toclient::newplayerinfo(1, "Tess")));
    protocol::GameSettings settings;
    settings.starter = "Tess";
    settings.playTo = 100;
    settings.seconds = 5;
    settings.shuffles = 0;
    ASSERT_TRUE(c.send(toserver::startgame(settings)));

    const std::vector<std::string> words = wordList();
    std::set<std::string> refused;
    Board board{};
    std::array<int, 3> totals{};
    int madewords = 0;
    std::vector<std::string> wordLines;  // as the record's text should show them
    bool myTurn = false;
    std::string winner;

    // Plays the best-scoring word it can find that the server has not refused; false only
    // when the message cannot be sent.
    auto play = [&] {
        std::string best;
        std::vector<std::pair<int, int>> bestPath;
        int bestScore = -1;
        for (const auto& w : words) {
            if (refused.count(w)) continue;
            std::vector<std::pair<int, int>> path;
            if (!trace(board, w, path)) continue;
            const int score = independentScore(board, path);
            if (score > bestScore) {
                bestScore = score;
                best = w;
                bestPath = path;
            }
        }
        if (best.empty()) return true;  // nothing to play: the turn runs out
        std::vector<protocol::PathStep> steps;
        for (std::size_t i = 0; i < bestPath.size(); ++i)
            steps.push_back({static_cast<int>(i) + 1, bestPath[i].first, bestPath[i].second});
        refused.insert(best);  // taken back out when the word is accepted
        return c.send(toserver::playerdone(1, steps));
    };

    const auto deadline = std::chrono::steady_clock::now() + 240s;
    while (winner.empty() && std::chrono::steady_clock::now() < deadline) {
        const auto line = c.next(20s);
        ASSERT_TRUE(line) << "the server went quiet";
        const std::string& l = *line;
        const auto plus = l.find('+');
        const std::string name = l.substr(0, plus);
        protocol::FieldReader f(plus == std::string::npos ? "" : l.substr(plus + 1));
        if (name == "CMD_theboard") {
            f.beginList();
            int n = 0;
            while (!f.atListEnd()) {
                const int x = f.nextInt();
                const int y = f.nextInt();
                board[x][y] = f.nextInt();
                ASSERT_GE(board[x][y], 1);
                ASSERT_LE(board[x][y], 26);
                ++n;
            }
            ASSERT_EQ(n, 49);
            if (myTurn) {
                ASSERT_TRUE(play());
            }
        } else if (name == "CMD_nextplayer") {
            const int seat = f.nextInt();
            ASSERT_TRUE(seat == 1 || seat == 2) << l;
            myTurn = seat == 1;
            if (myTurn) {
                ASSERT_TRUE(play());
            }
        } else if (name == "CMD_notvalid") {
            ASSERT_EQ(f.nextInt(), 1);
            if (myTurn) {
                ASSERT_TRUE(play());
            }
        } else if (name == "CMD_madeword") {
            const int seat = f.nextInt();
            const std::string word = f.next();
            const int points = f.nextInt();
            const int total = f.nextInt();
            f.nextInt();
            f.nextInt();
            f.beginList();
            std::vector<std::pair<int, int>> squares;
            while (!f.atListEnd()) {
                const int x = f.nextInt();
                const int y = f.nextInt();
                squares.emplace_back(x, y);
            }
            ASSERT_TRUE(seat == 1 || seat == 2);
            ASSERT_EQ(squares.size(), word.size());
            for (std::size_t i = 0; i < squares.size(); ++i) {
                const int code = board[squares[i].first][squares[i].second];
                EXPECT_EQ(static_cast<char>('A' + code - 1), word[i]) << word;
                if (i > 0) {
                    EXPECT_LE(std::abs(squares[i].first - squares[i - 1].first), 1);
                    EXPECT_LE(std::abs(squares[i].second - squares[i - 1].second), 1);
                }
            }
            EXPECT_EQ(points, independentScore(board, squares)) << l;
            totals[static_cast<std::size_t>(seat)] += points;
            EXPECT_EQ(total, totals[static_cast<std::size_t>(seat)]);
            for (auto [x, y] : squares) board[x][y] = 27;
            ++madewords;
            wordLines.push_back(". " + std::string(seat == 1 ? "Tess" : "Zubo") + ": " + word + " for " +
                                std::to_string(points) + " points (Tess " + std::to_string(totals[1]) + ", Zubo " +
                                std::to_string(totals[2]) + ")\n");
            if (seat == 1) {
                std::string lower;
                for (char ch : word) lower += static_cast<char>(ch - 'A' + 'a');
                refused.erase(lower);
                myTurn = false;
                ASSERT_TRUE(c.send(toserver::direction(1, 2)));
            }
        } else if (name == "CMD_winner") {
            winner = f.next();
        }
    }
    ASSERT_FALSE(winner.empty()) << "no winner within the time";
    EXPECT_GT(madewords, 0);
    const bool tessAhead = totals[1] > totals[2];
    EXPECT_EQ(winner, tessAhead ? "Tess" : "Zubo");
    EXPECT_GE(std::max(totals[1], totals[2]), 100);
    std::printf("words made: %d; Tess %d, Zubo %d\n", madewords, totals[1], totals[2]);
    EXPECT_EQ(server.process->stop(SIGTERM), 0);

    // The record the server kept, read back by the program itself.
    std::vector<std::filesystem::path> records;
    for (const auto& e : std::filesystem::directory_iterator(server.dir / "games")) records.push_back(e.path());
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].extension(), ".qrec");
    const std::string text = output("'" + std::string(QUORBIT_BINARY) + "' --replay '" + records[0].string() + "' --summary");
    EXPECT_NE(text.find("Players: Tess (seat 1), Zubo (seat 2)\n"), std::string::npos) << text;
    for (const std::string& w : wordLines) EXPECT_NE(text.find(w), std::string::npos) << w << text;
    EXPECT_NE(text.find("\nWinner: " + winner + "\n"), std::string::npos) << text;
    // A damaged record is refused with the reason, and nothing on standard output.
    const auto damaged = server.dir / "damaged.qrec";
    std::filesystem::copy_file(records[0], damaged);
    std::filesystem::resize_file(damaged, std::filesystem::file_size(damaged) / 2);
    EXPECT_EQ(output("'" + std::string(QUORBIT_BINARY) + "' --replay '" + damaged.string() + "' --summary 2>/dev/null"), "");
    EXPECT_NE(output("'" + std::string(QUORBIT_BINARY) + "' --replay '" + damaged.string() + "' --summary 2>&1")
                  .find("damaged game record"),
              std::string::npos);
}

}  // namespace
}  // namespace quorbit::e2e
