#pragma once
// A client engine wired to scripted server lines, with helpers to read what it sent.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/client_engine.h"
#include "common/random.h"
#include "protocol/framing.h"
#include "protocol/messages.h"

namespace quorbit::client::testing {

namespace tc = protocol::toclient;
namespace ts = protocol::toserver;

// Draws a fixed sequence of values, then zeros.
class ScriptedRandom final : public Random {
public:
    std::vector<int> values;
    std::vector<int> asked;  // the n of every draw
    int below(int n) override {
        asked.push_back(n);
        if (values.empty()) return 0;
        const int v = values.front();
        values.erase(values.begin());
        return v;
    }
};

class ClientTest : public ::testing::Test {
protected:
    ScriptedRandom rng;
    ClientEngine engine{rng};
    std::vector<std::string> served;  // every server message, in order, for replaying elsewhere

    // Delivers one server message and handles every queued line.
    void serve(const std::string& message) {
        served.push_back(message);
        engine.received(protocol::frame(message));
        while (engine.pump()) {}
    }
    // Logs in as `seat` with `name`, and names the other seats.
    void login(int seat, const std::string& name = "Ann") {
        engine.setLaunch(seat == 1, name);
        serve(tc::sendlogininfo(seat));
        serve(tc::newplayerinfo(seat, name));
        drain();
    }
    void seat(int s, const std::string& name) { serve(tc::existingplayers(s, name)); }

    // A board whose letter at (x, y) is 1 + (x + y) % 26.
    void dealBoard() {
        protocol::BoardCodes codes{};
        for (int x = 0; x < 7; ++x)
            for (int y = 0; y < 7; ++y) codes[x][y] = 1 + (x + y) % 26;
        serve(tc::theboard(codes));
    }
    // A game of four with `me` to move.
    void myTurn(int me = 1, int shufflesLeft = 1) {
        login(me);
        for (int s = 1; s <= 4; ++s)
            if (s != me) seat(s, "P" + std::to_string(s));
        serve(tc::startgame({"Ann", 200, 60, false, 1}));
        dealBoard();
        serve(tc::nextplayer(me, shufflesLeft));
        drain();
    }
    void clickSquare(int x, int y, MouseButton b = MouseButton::Left) {
        engine.boardClick({x, y}, b);
    }

    std::vector<std::string> sent() {
        std::vector<std::string> lines;
        for (auto& m : engine.takeOutgoing()) {
            EXPECT_FALSE(m.empty());
            EXPECT_EQ(m.back(), protocol::kTerminator);
            m.pop_back();
            lines.push_back(m);
        }
        return lines;
    }
    std::vector<std::string> chat() {
        std::vector<std::string> lines;
        for (const auto& l : engine.takeChatLines()) lines.push_back(l.text);
        return lines;
    }
    std::vector<std::string> sounds() { return engine.takeSounds(); }
    void drain() {
        engine.takeOutgoing();
        engine.takeChatLines();
        engine.takeSounds();
        engine.takeMessageBoxes();
        engine.takeTallyCalls();
        engine.takeJoined();
    }
    const ClientState& st() const { return engine.state(); }
    int mark(int x, int y) const { return st().boardmarks[x][y]; }
    int letter(int x, int y) const { return st().boardletters[x][y]; }
};

}  // namespace quorbit::client::testing
