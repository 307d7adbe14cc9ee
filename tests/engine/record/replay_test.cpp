// A recorded game replayed through its own client engine ends where the live client
// ended, and steps and ticks as the window shows it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "client/client_engine.h"
#include "record/recorder.h"
#include "record/replay.h"
#include "scripted_game.h"

namespace quorbit::record::testing {
namespace {

using ::testing::ElementsAre;

Record recordOf(const std::vector<Timed>& before, const std::vector<Timed>& game) {
    Recorder r("1.0.10", [] { return std::string("2026-12-09T19:22:28Z"); });
    for (const auto& t : before) r.received(protocol::frame(t.line), t.ms);
    for (const auto& t : game) r.received(protocol::frame(t.line), t.ms);
    r.closed(game.back().ms + 1);
    auto records = r.takeFinished();
    EXPECT_EQ(records.size(), 1u);
    // Through the file form, as the window reads it.
    auto back = readRecord(writeRecord(records.at(0)));
    EXPECT_TRUE(back.record) << back.error;
    return std::move(*back.record);
}

void expectSameView(const client::ClientState& a, const client::ClientState& b) {
    EXPECT_EQ(a.boardletters, b.boardletters);
    EXPECT_EQ(a.boardmarks, b.boardmarks);
    EXPECT_EQ(a.image_letter, b.image_letter);
    EXPECT_EQ(a.memo_words, b.memo_words);
    EXPECT_EQ(a.label_status, b.label_status);
    EXPECT_EQ(a.label_team1, b.label_team1);
    EXPECT_EQ(a.label_team2, b.label_team2);
    EXPECT_EQ(a.panel_winner, b.panel_winner);
    EXPECT_EQ(a.label_winner, b.label_winner);
    EXPECT_EQ(a.label_playtoscore, b.label_playtoscore);
    EXPECT_EQ(a.image_Turn, b.image_Turn);
    for (std::size_t i = 0; i < a.seats.size(); ++i) {
        EXPECT_EQ(a.seats[i].label_playername, b.seats[i].label_playername) << i;
        EXPECT_EQ(a.seats[i].label_score, b.seats[i].label_score) << i;
        EXPECT_EQ(a.seats[i].label_bonus, b.seats[i].label_bonus) << i;
        EXPECT_EQ(a.seats[i].image_shuffles, b.seats[i].image_shuffles) << i;
    }
}

client::ClientState liveAfter(const std::vector<Timed>& lines) {
    SeededRandom rng(7);
    client::ClientEngine live(rng);
    live.setLaunch(true, "Ann");
    live.received(wire(lines));
    while (live.pump()) {
    }
    return live.state();
}

TEST(Replay, EndsInTheSameVisibleStateAsTheLiveGame) {
    auto all = loginLines();
    for (const auto& t : gameLines()) all.push_back(t);
    const client::ClientState live = liveAfter(all);
    ASSERT_TRUE(live.panel_winner);

    Replay replay(recordOf(loginLines(), gameLines()));
    replay.advanceTo(replay.length());
    EXPECT_TRUE(replay.atEnd());
    expectSameView(replay.state(), live);
    EXPECT_EQ(replay.state().label_winner, "You have won the game!");
}

TEST(Replay, ALateJoinersReplayShowsWhatItSaw) {
    tc::GameStats stats;
    stats.turnSeat = 1;
    stats.playTo = 150;
    stats.seconds = 30;
    stats.secondsLeft = 12;
    stats.scores = {10, 20, 0, 0};
    const std::vector<Timed> before = {{0, tc::sendlogininfo(5)}, {1, tc::newplayerinfo(5, "Eve")},
                                       {2, tc::existingplayers(1, "Ann")}, {3, tc::existingplayers(2, "Bo")}};
    const std::vector<Timed> game = {{4, tc::theboard(boardOf(1))}, {5, tc::gamestats(stats)},
                                     {6, tc::shufflesl({1, 0, 1, 1})},
                                     {900, tc::madeword(1, "CAB", 7, 17, 0, 0, {{0, 0}, {0, 1}, {0, 2}})},
                                     {1000, tc::winner("Ann")}};
    auto all = before;
    all.insert(all.end(), game.begin(), game.end());
    Replay replay(recordOf(before, game));
    replay.advanceTo(replay.length());
    expectSameView(replay.state(), liveAfter(all));
    EXPECT_EQ(replay.state().label_winner, "Ann has won the game!");
}

TEST(Replay, StepsFromWordToWordAndTicksTheClock) {
    Replay replay(recordOf(loginLines(), gameLines()));
    EXPECT_THAT(replay.state().seats[0].label_playername, "Ann");
    replay.advanceTo(20 + 1999);  // the first turn began at 20 ms with 60 seconds
    EXPECT_EQ(replay.state().timeleft, 59);
    replay.advanceTo(20 + 2000);
    EXPECT_EQ(replay.state().timeleft, 58);
    EXPECT_EQ(replay.state().label_timer, "Time: 0:58");
    EXPECT_TRUE(replay.state().memo_words.empty());

    ASSERT_TRUE(replay.stepWord());
    EXPECT_EQ(replay.position(), 3200);
    EXPECT_THAT(replay.state().memo_words, ElementsAre("Ann: CAB for 12 points."));
    EXPECT_EQ(replay.state().seats[0].label_score, "12");
    ASSERT_TRUE(replay.stepWord());
    EXPECT_EQ(replay.state().memo_words.size(), 2u);
    ASSERT_TRUE(replay.stepWord());
    EXPECT_EQ(replay.state().memo_words.back(), "Ann: ZAP for 14 points.");
    EXPECT_FALSE(replay.state().panel_winner);
    EXPECT_FALSE(replay.stepWord());  // no word left: on to the end
    EXPECT_TRUE(replay.atEnd());
    EXPECT_TRUE(replay.state().panel_winner);
    // Going on past the end changes nothing.
    const auto revision = replay.revision();
    replay.advanceTo(replay.length() + 100000);
    EXPECT_EQ(replay.revision(), revision);
}

}  // namespace
}  // namespace quorbit::record::testing

namespace quorbit::record::testing {
namespace {

TEST(Replay, ARecordClaimingAnEndlessTurnDoesNotHoldTheReplay) {
    tc::GameStats stats;
    stats.turnSeat = 1;
    stats.seconds = 60;
    stats.secondsLeft = 2000000000;
    Record r;
    r.entries = {{0, tc::theboard(boardOf(0))}, {1, tc::gamestats(stats)}};
    r.endMs = std::int64_t{1} << 50;
    Replay replay(std::move(r));
    replay.advanceTo(replay.length());
    EXPECT_TRUE(replay.atEnd());
    EXPECT_EQ(replay.state().timeleft, 2000000000 - 7 * 24 * 3600);
}

}  // namespace
}  // namespace quorbit::record::testing
