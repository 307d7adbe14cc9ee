// Seats, login, relay, removal, just watch, disconnection and the pump's limits.
#include "harness.h"

namespace quorbit::server::testing {
namespace {

using proto::frame;
namespace tc = proto::toclient;
namespace ts = proto::toserver;

using Connections = ServerTest;

TEST_F(Connections, SeatsAreHandedOutLowestFreeFirstAndReused) {
    for (int id = 1; id <= 4; ++id) server_.opened(id);
    for (int id = 1; id <= 4; ++id) {
        EXPECT_EQ(server_.seatOf(id), id);
        EXPECT_EQ(out_.take(id), std::vector<std::string>{tc::sendlogininfo(id)});
    }
    server_.closed(2);
    EXPECT_FALSE(server_.seat(2).connected);
    server_.opened(7);
    EXPECT_EQ(server_.seatOf(7), 2);
    EXPECT_EQ(server_.playercount(), 4);
    server_.opened(8);
    EXPECT_EQ(server_.seatOf(8), 5);
    EXPECT_EQ(server_.playercount(), 5);
}

TEST_F(Connections, TenthConnectionIsRefusedAndTheTableStays) {
    for (int id = 1; id <= 9; ++id) join(id, "p" + std::to_string(id));
    out_.clear();
    server_.opened(10);
    EXPECT_EQ(out_.take(10), std::vector<std::string>{tc::full()});
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{10});
    EXPECT_EQ(server_.seatOf(10), 0);
    EXPECT_EQ(server_.playercount(), 9);
    for (int s = 1; s <= 9; ++s) EXPECT_EQ(server_.seat(s).sock, s);
    // Its bytes and its close report are ignored.
    server_.received(10, frame(ts::chat(9, "x", "Red")));
    server_.socktimerTimer();
    server_.closed(10);
    for (int id = 1; id <= 9; ++id) EXPECT_TRUE(out_.take(id).empty());
    EXPECT_EQ(out_.closedIds.size(), 1u);
}

TEST_F(Connections, LoginAnnouncesToAllAndListsTheOthersInSeatOrder) {
    join(1, "Ann");
    server_.opened(2);  // connected, not logged in yet
    join(3, "Cy");
    EXPECT_EQ(out_.take(1), (std::vector<std::string>{tc::sendlogininfo(1), tc::newplayerinfo(1, "Ann"),
                                                       tc::newplayerinfo(3, "Cy")}));
    // A seat still connecting is neither told of logins nor listed without a name.
    EXPECT_EQ(out_.take(2), (std::vector<std::string>{tc::sendlogininfo(2)}));
    EXPECT_EQ(out_.take(3), (std::vector<std::string>{tc::sendlogininfo(3), tc::newplayerinfo(3, "Cy"),
                                                       tc::existingplayers(1, "Ann")}));
    // At its own login it hears of everybody once.
    say(2, ts::logininfo(2, proto::kVersion, "Bo"));
    EXPECT_EQ(out_.take(2), (std::vector<std::string>{tc::newplayerinfo(2, "Bo"), tc::existingplayers(1, "Ann"),
                                                       tc::existingplayers(3, "Cy")}));
    // Outside a game nothing else follows.
}

TEST_F(Connections, NameMayHoldPlusSigns) {
    join(1, "A+B+");
    EXPECT_EQ(server_.seat(1).name, "A+B+");
}

TEST_F(Connections, WrongVersionIsReportedToHostAndJoinerOnly) {
    join(1, "Ann");
    server_.opened(2);
    out_.clear();
    say(2, ts::logininfo(2, "1.0.9", "Bob"));
    EXPECT_EQ(only(out_.take(1), "CMD_havewrongversion"), std::vector<std::string>{tc::havewrongversion("Bob")});
    EXPECT_EQ(only(out_.take(2), "CMD_wrongversion"), std::vector<std::string>{tc::wrongversion()});
    EXPECT_TRUE(server_.seat(2).connected);
    EXPECT_TRUE(out_.closedIds.empty());
}

TEST_F(Connections, WrongVersionWithoutHostGoesToJoinerOnly) {
    server_.opened(1);
    server_.opened(2);
    server_.closed(1);
    out_.clear();
    say(2, ts::logininfo(2, "2.0", "Bob"));
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_EQ(only(out_.take(2), "CMD_wrongversion").size(), 1u);
}

TEST_F(Connections, LoginMustNameTheSendersOwnSeat) {
    join(1, "Ann");
    server_.opened(2);
    out_.clear();
    say(2, ts::logininfo(1, proto::kVersion, "Mallory"));
    EXPECT_EQ(server_.seat(1).name, "Ann");
    EXPECT_EQ(server_.seat(2).name, "");
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Connections, ChatAndActionAreRelayedToAllWithPlusInside) {
    join(1, "Ann");
    join(5, "Spy");  // a spectator seat
    ASSERT_EQ(server_.seatOf(5), 2);
    for (int id = 3; id <= 5; ++id) server_.opened(10 + id);  // seats 3..5
    ASSERT_EQ(server_.seatOf(15), 5);
    say(15, proto::toserver::logininfo(5, proto::kVersion, "Eve"));
    out_.clear();
    say(15, ts::chat(5, "1+1=2 +", "Red"));
    say(1, ts::action(1, "waves+", "$00FF00FF"));
    for (ConnectionId id : {1, 5, 13, 14, 15}) {
        EXPECT_EQ(out_.take(id), (std::vector<std::string>{tc::chat("Eve", "1+1=2 +|Red"),
                                                          tc::action("Ann", "waves+|$00FF00FF")}))
            << id;
    }
}

TEST_F(Connections, NoConnectionSpeaksInAnotherSeatsName) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    say(2, ts::chat(1, "I resign", "Red"));
    say(2, ts::action(1, "resigns", "Red"));
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_TRUE(out_.take(2).empty());
}

TEST_F(Connections, KickOnlyByTheHostsOwnConnection) {
    join(1, "Ann");
    join(2, "Bob");
    join(3, "Cy");
    out_.clear();
    say(3, ts::kickhim(3, 2));  // not the host
    say(3, ts::kickhim(1, 2));  // pretending to be the host
    say(1, ts::kickhim(1, 4));  // a free seat
    say(1, ts::kickhim(1, 99)); // no such seat
    EXPECT_TRUE(out_.closedIds.empty());
    EXPECT_TRUE(server_.seat(2).connected);

    say(1, ts::kickhim(1, 2));
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_FALSE(server_.seat(2).connected);
    EXPECT_EQ(server_.seat(2).name, "");
    EXPECT_EQ(out_.take(1).back(), tc::playerdisconnected(2, "Bob"));
    EXPECT_EQ(out_.take(3).back(), tc::playerdisconnected(2, "Bob"));
    EXPECT_TRUE(out_.take(2).empty());
    // The host's later report of the close is ignored.
    server_.closed(2);
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Connections, DisconnectionFreesTheSeatAndTellsTheOthers) {
    join(1, "Ann");
    join(2, "Bob");
    join(3, "Cy");
    start();
    say(3, ts::justwatch(3, 1));
    ASSERT_TRUE((server_.control(3) == SeatControl::Computer));
    const int score = server_.score(3);
    out_.clear();
    server_.closed(3);
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::playerdisconnected(3, "Cy")});
    EXPECT_EQ(out_.take(2), std::vector<std::string>{tc::playerdisconnected(3, "Cy")});
    EXPECT_TRUE(out_.take(3).empty());
    EXPECT_FALSE((server_.control(3) == SeatControl::Computer));
    EXPECT_EQ(server_.score(3), score);
    server_.closed(3);  // twice: ignored
    server_.closed(42); // never known: ignored
    EXPECT_TRUE(out_.take(1).empty());
}

TEST_F(Connections, UnservedLinesOfAClosedConnectionAreDropped) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    server_.received(2, frame(ts::chat(2, "late", "Red")));
    server_.closed(2);
    join(3, "Eve");  // takes seat 2
    ASSERT_EQ(server_.seatOf(3), 2);
    out_.clear();
    pump();
    EXPECT_TRUE(only(out_.take(1), "CMD_chat").empty());
}

TEST_F(Connections, JustWatchBeforeAndDuringAGame) {
    join(1, "Ann");
    join(2, "Bob");
    join(6, "Cy");
    out_.clear();
    say(2, ts::justwatch(2, 1));  // no game yet: nothing
    EXPECT_FALSE((server_.control(2) == SeatControl::Computer));
    EXPECT_TRUE(out_.take(1).empty());
    say(2, ts::justwatch(2, 2));  // clearing is relayed any time
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::justwatching(2, 2)});

    start();
    out_.clear();
    say(2, ts::justwatch(2, 1));
    EXPECT_TRUE((server_.control(2) == SeatControl::Computer));
    EXPECT_EQ(out_.take(6), std::vector<std::string>{tc::justwatching(2, 1)});
    say(6, ts::justwatch(2, 2));  // seat 3 may not switch seat 2
    EXPECT_TRUE((server_.control(2) == SeatControl::Computer));
    say(1, ts::justwatch(2, 2));  // the host may
    EXPECT_FALSE((server_.control(2) == SeatControl::Computer));
    say(1, ts::justwatch(3, 1));
    EXPECT_TRUE((server_.control(3) == SeatControl::Computer));
    out_.clear();
    say(1, ts::justwatch(5, 1));  // spectator seats have no turns to watch
    say(1, ts::justwatch(0, 1));
    say(1, "CMD_justwatch+1+x");  // not a number: nothing
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_FALSE((server_.control(1) == SeatControl::Computer));
    EXPECT_EQ(out_.logs.size(), 1u);
}

TEST_F(Connections, StartgameOnlyFromTheHost) {
    join(1, "Ann");
    join(2, "Bob");
    start(50, 60, false, 1, 2);
    EXPECT_FALSE(server_.gamerunning());
    start(50, 60, false, 1, 1);
    EXPECT_TRUE(server_.gamerunning());
}

TEST_F(Connections, LateJoinerCatchesUpWithBoardStatsAndShuffles) {
    join(1, "Ann");
    start(300, 45, true, 3);
    say(1, ts::shuffle(1));
    out_.clear();
    join(2, "Bob");
    const auto lines = out_.take(2);
    ASSERT_GE(lines.size(), 5u);
    const std::vector<std::string> tail(lines.end() - 3, lines.end());
    tc::GameStats stats;
    stats.turnSeat = 1;
    stats.playTo = 300;
    stats.seconds = 45;
    stats.secondsLeft = server_.countdown();
    stats.team = true;
    EXPECT_EQ(tail[0], tc::theboard(server_.board()));
    EXPECT_EQ(tail[1], tc::gamestats(stats));
    EXPECT_EQ(tail[2], tc::shufflesl({2, 3, 3, 3}));
}

TEST_F(Connections, LinesSplitAcrossReadsArriveWhole) {
    join(1, "Ann");
    out_.clear();
    const std::string bytes = frame(ts::chat(1, "hi", "Red")) + frame(ts::chat(1, "yo", "Red"));
    for (char c : bytes) server_.received(1, std::string(1, c));
    pump();
    EXPECT_EQ(out_.take(1), (std::vector<std::string>{tc::chat("Ann", "hi|Red"), tc::chat("Ann", "yo|Red")}));
}

TEST_F(Connections, OverlongTailClosesTheConnectionAndFreesItsSeat) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    server_.received(2, std::string(proto::kMaxTail, 'x'));
    EXPECT_TRUE(out_.closedIds.empty());
    server_.received(2, "xx");
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_FALSE(server_.seat(2).connected);
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::playerdisconnected(2, "Bob")});
}

TEST_F(Connections, LineOverTheLimitInOneReadClosesTheConnectionWithoutHandlingAnyPart) {
    join(1, "Ann");
    join(2, "Bob");
    out_.clear();
    std::string line = ts::chat(2, std::string(proto::kMaxTail, 'x'), "Red");
    line.insert(proto::kMaxTail, ts::startgame({"Bob", 100, 60, false, 3}));
    server_.received(2, frame(line));
    pump();
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_FALSE(server_.gamerunning());
    EXPECT_EQ(out_.take(1), std::vector<std::string>{tc::playerdisconnected(2, "Bob")});
}

TEST_F(Connections, FloodOfUnservedLinesClosesTheConnection) {
    join(1, "Ann");
    join(2, "Bob");
    std::string burst;
    for (std::size_t i = 0; i < kMaxQueuedLines; ++i) burst += frame(ts::selectclear(2));
    server_.received(2, burst);
    EXPECT_TRUE(out_.closedIds.empty());
    server_.received(2, frame(ts::selectclear(2)));
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{2});
    EXPECT_EQ(server_.queuedLines(2), 0u);
}

TEST_F(Connections, PumpServesConnectionsInTurnOneLinePerTick) {
    join(1, "Ann");
    join(2, "Flood");
    join(3, "Cy");
    out_.clear();
    std::string burst;
    for (int i = 0; i < 500; ++i) burst += frame(ts::chat(2, "spam", "Red"));
    server_.received(2, burst);
    server_.received(3, frame(ts::chat(3, "hello", "Red")));
    server_.received(1, frame(ts::chat(1, "hi", "Red")));
    server_.socktimerTimer();
    server_.socktimerTimer();
    server_.socktimerTimer();
    const auto lines = out_.take(1);
    ASSERT_EQ(lines.size(), 3u);  // one per tick
    EXPECT_NE(std::find(lines.begin(), lines.end(), tc::chat("Cy", "hello|Red")), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), tc::chat("Ann", "hi|Red")), lines.end());
}

TEST_F(Connections, UnservedLinesAreReportedUntilServedOrGoneWithTheirConnection) {
    EXPECT_FALSE(server_.hasUnservedLines());
    join(1, "Ann");
    join(2, "Bob");
    EXPECT_FALSE(server_.hasUnservedLines());  // the logins were served
    server_.received(2, std::string(frame(ts::chat(2, "a", "Red"))) + "CMD_chat+2+b");
    EXPECT_TRUE(server_.hasUnservedLines());
    server_.socktimerTimer();
    EXPECT_FALSE(server_.hasUnservedLines());  // an unterminated line is not yet a line
    server_.received(2, std::string(1, proto::kTerminator) + frame(ts::chat(2, "c", "Red")));
    server_.received(1, frame(ts::chat(1, "d", "Red")));
    server_.socktimerTimer();
    server_.socktimerTimer();
    EXPECT_TRUE(server_.hasUnservedLines());
    server_.closed(2);  // its last line goes with it
    EXPECT_FALSE(server_.hasUnservedLines());
}

TEST_F(Connections, LinesWithoutNameOrUnknownNameAreDropped) {
    join(1, "Ann");
    out_.clear();
    server_.received(1, std::string("\xFF\xFF") + "CMD_chat" + "\xFF" + "CMD_nothing+1+" + "\xFF" +
                            "+1+2" + "\xFF");
    pump();
    EXPECT_TRUE(out_.take(1).empty());
}

}  // namespace
}  // namespace quorbit::server::testing
