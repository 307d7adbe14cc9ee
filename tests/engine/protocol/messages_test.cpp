#include "protocol/messages.h"

#include <gtest/gtest.h>

#include "protocol/framing.h"

using namespace quorbit::protocol;

TEST(Messages, ClientToServerExactBytes) {
    EXPECT_EQ(toserver::logininfo(3, "1.0.10", "Ann+Bob"), "CMD_logininfo+3+1.0.10+Ann+Bob");
    EXPECT_EQ(toserver::kickhim(1, 5), "CMD_kickhim+1+5+");
    EXPECT_EQ(toserver::chat(2, "a+b", "clRed"), "CMD_chat+2+a+b|clRed");
    EXPECT_EQ(toserver::action(2, "waves", "$00FF0000"), "CMD_action+2+waves|$00FF0000");
    EXPECT_EQ(toserver::startgame({"Ann", 500, 60, false, 1}), "CMD_startgame+Ann+500+60+f+1+");
    EXPECT_EQ(toserver::startgame({"Ann", 1000, 30, true, 0}), "CMD_startgame+Ann+1000+30+t+0+");
    EXPECT_EQ(toserver::justwatch(4, 1), "CMD_justwatch+4+1");
    EXPECT_EQ(toserver::playerdone(1, {{1, 0, 0}, {2, 1, 1}}), "CMD_playerdone+1+1+0+0+2+1+1");
    EXPECT_EQ(toserver::playerdone(1, {}), "CMD_playerdone+1");
    EXPECT_EQ(toserver::direction(1, 3), "CMD_direction+1+3+");
    EXPECT_EQ(toserver::selectletter(1, 2, 3, 4), "CMD_selectletter+1+2+3+4+");
    EXPECT_EQ(toserver::selectclear(1), "CMD_selectclear+1+");
    EXPECT_EQ(toserver::clearletter(1, 3), "CMD_clearletter+1+3+");
    EXPECT_EQ(toserver::shuffle(2), "CMD_shuffle+2+");
}

TEST(Messages, ServerToClientExactBytes) {
    EXPECT_EQ(toclient::sendlogininfo(9), "CMD_sendlogininfo+9");
    EXPECT_EQ(toclient::full(), "CMD_full+");
    EXPECT_EQ(toclient::newplayerinfo(2, "Zubo"), "CMD_newplayerinfo+2+Zubo");
    EXPECT_EQ(toclient::existingplayers(1, "You"), "CMD_existingplayers+1+You");
    EXPECT_EQ(toclient::havewrongversion("Bob"), "CMD_havewrongversion+Bob");
    EXPECT_EQ(toclient::wrongversion(), "CMD_wrongversion+");
    EXPECT_EQ(toclient::gamestats({2, 500, 60, 41, true, {1, 2, 3, 4}, 4, 6}),
              "CMD_gamestats+2+500+60+41+t+1+2+3+4+4+6+");
    EXPECT_EQ(toclient::shufflesl({1, 0, 2, 5}), "CMD_shufflesl+1+0+2+5+");
    EXPECT_EQ(toclient::playerdisconnected(3, "Cy"), "CMD_playerdisconnected+3+Cy");
    EXPECT_EQ(toclient::chat("Ann", "hi+there|clRed"), "CMD_chat+Ann chats: hi+there|clRed");
    EXPECT_EQ(toclient::action("Ann", "waves|clBlue"), "CMD_action+Ann waves|clBlue");
    EXPECT_EQ(toclient::justwatching(3, 2), "CMD_justwatching+3+2");
    EXPECT_EQ(toclient::startgame({"Ann", 500, 60, false, 1}), "CMD_startgame+Ann+500+60+f+1+");
    EXPECT_EQ(toclient::nextplayer(2, 1), "CMD_nextplayer+2+1+");
    EXPECT_EQ(toclient::selectletter(1, 2, 3, 4), "CMD_selectletter+1+2+3+4+");
    EXPECT_EQ(toclient::selectclear(1), "CMD_selectclear+1+");
    EXPECT_EQ(toclient::clearletter(1, 7), "CMD_clearletter+1+7+");
    EXPECT_EQ(toclient::useshuffle(1, 0, 42), "CMD_useshuffle+1+0+42+");
    EXPECT_EQ(toclient::notvalid(1, "QXZ"), "CMD_notvalid+1+QXZ+");
    EXPECT_EQ(toclient::madeword(1, "STORM", 60, 60, 0, 0, {{0, 0}, {1, 0}}),
              "CMD_madeword+1+STORM+60+60+0+0+0+0+1+0");
    EXPECT_EQ(toclient::bonus(1, 20), "CMD_bonus+1+20+");
    EXPECT_EQ(toclient::timeup(), "CMD_timeup+");
    EXPECT_EQ(toclient::moving(4), "CMD_moving+4+");
    EXPECT_EQ(toclient::winner("Team A"), "CMD_winner+Team A+");
}

TEST(Messages, BoardRunsXMajorWithNoTrailingPlus) {
    BoardCodes codes{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) codes[x][y] = x * 7 + y % 26 + 1;
    const std::string b = toclient::theboard(codes);
    EXPECT_EQ(b.rfind("CMD_theboard+0+0+1+0+1+2+0+2+3+", 0), 0u);
    EXPECT_EQ(b.substr(b.size() - 7), "+6+6+49");
    EXPECT_NE(b.back(), '+');
}

TEST(Messages, FrameAddsOneTerminator) {
    EXPECT_EQ(frame(toclient::timeup()), std::string("CMD_timeup+\xFF"));
}

namespace {
std::vector<PathStep> pathOf(std::string_view payload) {
    FieldReader f(payload);
    return toserver::readPath(f);
}
}  // namespace

TEST(Messages, PathReadsBackWhatTheBuilderWrote) {
    const std::vector<PathStep> path = {{1, 0, 0}, {2, 1, 1}, {3, 6, 2}};
    const std::string text = toserver::playerdone(4, path);
    FieldReader f(text.substr(text.find('+') + 1));
    EXPECT_EQ(f.nextInt(), 4);
    EXPECT_EQ(toserver::readPath(f), path);
    // Nothing after the seat, or only a "+": no squares.
    EXPECT_TRUE(pathOf("").empty());
    // Groups are read as they stand; checking them is the server's business.
    EXPECT_EQ(pathOf("3+-1+9"), (std::vector<PathStep>{{3, -1, 9}}));
    // No more than eight groups are read: the eighth already makes the path too long.
    std::string long_;
    for (int k = 1; k <= 12; ++k) long_ += std::to_string(k) + "+1+1+";
    long_ += "x";
    EXPECT_EQ(pathOf(long_).size(), 8u);
    EXPECT_THROW(pathOf("1+2+x"), quorbit::ConversionError);
    EXPECT_THROW(pathOf("1+2"), quorbit::ConversionError);
}
