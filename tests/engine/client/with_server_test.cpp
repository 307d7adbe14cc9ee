// A client engine playing against the game server engine through a direct pipe of
// bytes: the client's mirror must follow the server's board through deals and slides.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

#include "client/client_engine.h"
#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "server/server.h"

namespace quorbit::client::testing {
namespace {

class Pipe final : public server::ServerOutput {
public:
    std::map<server::ConnectionId, std::string> toClient;
    bool timer1 = false;
    bool computer = false;
    void send(server::ConnectionId id, std::string_view bytes) override { toClient[id] += bytes; }
    void close(server::ConnectionId id) override { toClient[id] += "<closed>"; }
    void timerChanged(server::ServerTimer t, bool on) override {
        (t == server::ServerTimer::Timer1 ? timer1 : computer) = on;
    }
    void log(std::string_view) override {}
};

std::filesystem::path wordDir() {
    auto dir = std::filesystem::temp_directory_path() / ("client-with-server-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

class WithServer : public ::testing::Test {
protected:
    ~WithServer() override { std::filesystem::remove_all(dir_); }

    // Moves every byte both ways and works off both queues.
    void settle() {
        for (int round = 0; round < 200; ++round) {
            bool moved = false;
            for (auto& [id, bytes] : pipe_.toClient) {
                if (bytes.empty()) continue;
                moved = true;
                if (bytes.find("CMD_moving") != std::string::npos) sawMoving_ = true;
                client_.received(bytes);
                bytes.clear();
            }
            while (client_.pump()) moved = true;
            for (auto& line : client_.takeOutgoing()) {
                server_.received(1, line);
                moved = true;
            }
            for (int i = 0; i < 20; ++i) server_.socktimerTimer();
            if (!moved && pipe_.toClient[1].empty()) return;
        }
    }
    void expectMirrorFollowsServer() {
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) {
                const int code = server_.board()[x][y];
                EXPECT_EQ(client_.state().boardletters[x][y], code == rules::kServerEmpty ? rules::kClientEmpty : code)
                    << "square " << x << "," << y;
            }
    }

    std::filesystem::path dir_ = wordDir();
    dictionary::TDictn dict_{dir_, dictionary::builtinWordFile()};
    SeededRandom serverRandom_{2024};
    SeededRandom clientRandom_{7};
    Pipe pipe_;
    server::TServer server_{pipe_, dict_, serverRandom_};
    ClientEngine client_{clientRandom_};
    bool sawMoving_ = false;
};

TEST_F(WithServer, MirrorFollowsDealsAndSlidesOfAWholeGame) {
    client_.setLaunch(true, "Ann");
    server_.opened(1);
    settle();
    ASSERT_TRUE(client_.state().loggedin);
    EXPECT_EQ(client_.state().myseat, 1);
    client_.startGame({"Ann", 100, 30, false, 1});
    settle();
    ASSERT_TRUE(server_.gamerunning());
    EXPECT_EQ(client_.state().seats[1].label_playername, "Zubo");
    expectMirrorFollowsServer();
    // Let the computer play our seat too, and run the clocks until a few slides happened.
    client_.justWatchMenuClick();
    settle();
    ASSERT_TRUE(client_.options().justWatch);
    int slides = 0;
    for (int second = 0; second < 3000 && slides < 3 && server_.gamerunning(); ++second) {
        if (pipe_.computer) server_.computertimerTimer();
        if (pipe_.timer1) server_.Timer1Timer();
        if (client_.state().timer2) client_.timer2Tick();
        sawMoving_ = false;
        settle();
        if (sawMoving_) {
            ++slides;
            expectMirrorFollowsServer();
        }
    }
    EXPECT_GE(slides, 1);
    EXPECT_FALSE(client_.state().memo_words.empty());
    expectMirrorFollowsServer();
}

}  // namespace
}  // namespace quorbit::client::testing
