// Login, arrivals and departures, watching marks, refusals and the end of the program.
#include "harness.h"

namespace quorbit::client::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(ClientTest, LoginReplyCarriesSeatVersionAndNameWithOneTerminator) {
    engine.setLaunch(false, "Bob+Jr");
    engine.received(protocol::frame(tc::sendlogininfo(3)));
    EXPECT_TRUE(engine.takeOutgoing().empty());  // nothing before the line is handled
    ASSERT_TRUE(engine.pump());
    const auto out = engine.takeOutgoing();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], std::string("CMD_logininfo+3+1.0.10+Bob+Jr") + protocol::kTerminator);
    EXPECT_EQ(st().myseat, 3);
    EXPECT_TRUE(st().loggedin);
}

TEST_F(ClientTest, PlayerWithoutAVisibleNameLogsInNamedAfterHisSeat) {
    engine.setLaunch(false, "\u2003\u200B ");
    serve(tc::sendlogininfo(3));
    EXPECT_THAT(sent(), ElementsAre(ts::logininfo(3, protocol::kVersion, "Player 3")));
}

TEST_F(ClientTest, OneLinePerPumpInArrivalOrderAndNamelessLinesDropped) {
    login(1);
    engine.received(protocol::frame(tc::wrongversion()) + protocol::frame("CMD_chat") +
                    protocol::frame("") + protocol::frame(tc::havewrongversion("Cy")) + "CMD_wrongver");
    EXPECT_EQ(engine.pendingLines(), 4u);
    ASSERT_TRUE(engine.pump());
    EXPECT_THAT(chat(), ElementsAre("You have a differnt version of the game then the host."));
    ASSERT_TRUE(engine.pump());  // "CMD_chat" without "+": no name, nothing happens
    ASSERT_TRUE(engine.pump());  // empty line
    EXPECT_THAT(chat(), IsEmpty());
    ASSERT_TRUE(engine.pump());
    EXPECT_THAT(chat(), ElementsAre("Cy has a different version of the game then you."));
    EXPECT_FALSE(engine.pump());
    // The unterminated tail joins the next read.
    engine.received(std::string("sion+") + protocol::kTerminator);
    ASSERT_TRUE(engine.pump());
    EXPECT_THAT(chat(), ElementsAre("You have a differnt version of the game then the host."));
}

TEST_F(ClientTest, OverlongLinesAreDroppedWholeWithOneNotice) {
    login(1);
    std::string board = "CMD_theboard";
    while (board.size() <= protocol::kMaxTail) board += "+1+1+9";
    engine.received(protocol::frame(board) + protocol::frame(tc::wrongversion()));
    EXPECT_EQ(engine.pendingLines(), 1u);
    while (engine.pump()) {}
    EXPECT_EQ(letter(1, 1), 0);
    EXPECT_THAT(chat(), ElementsAre(std::string(kOverlongNotice), "You have a differnt version of the game then the host."));
}

// A chat line long enough to be cut, carrying "CMD_full+" where the cut would fall, read
// in pieces: the window goes on with no message box and no other line.
TEST_F(ClientTest, ForgedLineAfterAnOverlongChatIsNotHandled) {
    login(2);
    std::string line = tc::chat("Eve", std::string(protocol::kMaxTail - 20, 'x'));
    line.resize(protocol::kMaxTail);
    line += "CMD_full+" + std::string(50, 'x');
    const std::string bytes = protocol::frame(line) + protocol::frame(tc::chat("Ann", "hi"));
    for (std::size_t i = 0; i < bytes.size(); i += 3000) engine.received(std::string_view(bytes).substr(i, 3000));
    while (engine.pump()) {}
    EXPECT_TRUE(engine.takeMessageBoxes().empty());
    EXPECT_FALSE(engine.closeRequested());
    const auto lines = chat();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], kOverlongNotice);
}

TEST_F(ClientTest, ArrivalsFillSeatsAndOwnArrivalAsksForTheSettings) {
    engine.setLaunch(false, "Ann");
    serve(tc::sendlogininfo(2));
    serve(tc::existingplayers(1, "Host"));
    serve(tc::newplayerinfo(2, "Ann"));
    EXPECT_THAT(chat(), ElementsAre("Host is Connected.", "You are Connected."));
    EXPECT_TRUE(engine.takeJoined());
    EXPECT_FALSE(engine.takeJoined());
    EXPECT_EQ(st().seats[0].label_playername, "Host");
    EXPECT_EQ(st().seats[1].label_playername, "Ann");
    EXPECT_THAT(sounds(), ElementsAre("entered", "entered"));
}

TEST_F(ClientTest, SpiesArriveAndLeave) {
    login(1);
    serve(tc::newplayerinfo(5, "Bob"));
    EXPECT_THAT(st().spectators, ElementsAre(Spectator{5, "Bob"}));
    EXPECT_THAT(chat(), ElementsAre("Bob is Connected.", "Bob is spying."));
    serve(tc::playerdisconnected(6, "Bob"));  // not on the list: nothing
    EXPECT_THAT(chat(), IsEmpty());
    serve(tc::playerdisconnected(5, "Bob"));
    EXPECT_THAT(chat(), ElementsAre("Bob has left."));
    EXPECT_THAT(st().spectators, IsEmpty());
}

TEST_F(ClientTest, OwnSpectatorSeatShowsConnectedAndSpying) {
    engine.setLaunch(false, "Eve");
    serve(tc::sendlogininfo(7));
    serve(tc::newplayerinfo(7, "Eve"));
    EXPECT_THAT(chat(), ElementsAre("You are Connected.", "You are spying."));
    EXPECT_EQ(engine.ownName(), "");
}

TEST_F(ClientTest, DeparturesFreeSeatsAndZuboTakesSeatTwo) {
    login(1);
    seat(2, "Bo");
    seat(3, "Cy");
    drain();
    serve(tc::playerdisconnected(2, "Bo"));
    serve(tc::playerdisconnected(3, "Cy"));
    EXPECT_EQ(st().seats[1].label_playername, "Zubo");
    EXPECT_EQ(st().seats[2].label_playername, "<Waiting>");
    EXPECT_THAT(chat(), ElementsAre("Bo disconnected.", "Cy disconnected."));
    serve(tc::playerdisconnected(4, "Nobody"));  // a waiting seat: no line
    EXPECT_THAT(chat(), IsEmpty());
}

TEST_F(ClientTest, JustWatchingMarksTheSeatAndTicksOnlyOwnMenu) {
    login(1);
    seat(3, "Cy");
    drain();
    serve(tc::justwatching(3, 1));
    EXPECT_TRUE(st().seats[2].image_eyes);
    EXPECT_FALSE(engine.options().justWatch);
    serve(tc::justwatching(1, 1));
    EXPECT_TRUE(engine.options().justWatch);
    serve(tc::justwatching(1, 2));
    EXPECT_FALSE(engine.options().justWatch);
    EXPECT_THAT(chat(), ElementsAre("Cy is just watching", "Ann is just watching", "Ann is now playing again"));
    const auto before = st().seats;
    serve(tc::justwatching(5, 1));  // above the seat count
    serve(tc::justwatching(0, 1));
    EXPECT_THAT(chat(), IsEmpty());
    EXPECT_EQ(st().seats[0].image_eyes, before[0].image_eyes);
}

TEST_F(ClientTest, FullShowsTheBoxThenCloses) {
    serve(tc::full());
    const auto boxes = engine.takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Game is full");
    EXPECT_TRUE(boxes[0].closeAfter);
}

TEST_F(ClientTest, TheClosedConnectionEndsTheProgram) {
    EXPECT_FALSE(engine.closeRequested());
    engine.socketClosed();
    EXPECT_TRUE(engine.closeRequested());
}

TEST_F(ClientTest, SeatHoldersFollowArrivalsDeparturesAndTheComputer) {
    login(1, "Ann");
    EXPECT_EQ(st().seating[1].holder, SeatHolder::Nobody);
    // A person may even be called "Zubo" or "<Waiting>" on another server: he is a person.
    seat(3, "<Waiting>");
    EXPECT_EQ(st().seating[2].holder, SeatHolder::Person);
    serve(tc::startgame({"Ann", 200, 60, false, 1}));
    EXPECT_EQ(st().seating[1].holder, SeatHolder::Computer);
    EXPECT_EQ(st().seats[1].label_playername, "Zubo");
    seat(2, "Bob");
    EXPECT_EQ(st().seating[1].holder, SeatHolder::Person);
    serve(tc::playerdisconnected(2, "Bob"));
    EXPECT_EQ(st().seating[1].holder, SeatHolder::Computer);
    serve(tc::playerdisconnected(3, "<Waiting>"));
    EXPECT_EQ(st().seating[2].holder, SeatHolder::Nobody);
    EXPECT_THAT(engine.loadchecklist(), ElementsAre("Zubo"));
}

TEST_F(ClientTest, KickingNeedsHostAndLogin) {
    engine.setLaunch(true, "Host");
    engine.kicking(3);
    EXPECT_THAT(sent(), IsEmpty());
    serve(tc::sendlogininfo(1));
    drain();
    engine.kicking(3);
    EXPECT_THAT(sent(), ElementsAre(ts::kickhim(1, 3)));

    ClientEngine guest{rng};
    guest.setLaunch(false, "Guest");
    guest.received(protocol::frame(tc::sendlogininfo(2)));
    guest.pump();
    guest.takeOutgoing();
    guest.kicking(3);
    EXPECT_TRUE(guest.takeOutgoing().empty());
}

TEST_F(ClientTest, SeatNumbersOutsideTheTableAreIgnored) {
    serve("CMD_sendlogininfo+12");
    serve("CMD_sendlogininfo+0");
    EXPECT_FALSE(st().loggedin);
    EXPECT_THAT(sent(), IsEmpty());
    login(1);
    serve(tc::newplayerinfo(10, "Far"));
    serve(tc::newplayerinfo(-3, "Neg"));
    serve(tc::playerdisconnected(0, "X"));
    EXPECT_THAT(chat(), IsEmpty());
    EXPECT_THAT(st().spectators, IsEmpty());
}

TEST_F(ClientTest, NonNumericSeatAbandonsOnlyThatLine) {
    login(1);
    serve("CMD_newplayerinfo+two+Bo");
    EXPECT_THAT(chat(), IsEmpty());
    serve(tc::newplayerinfo(2, "Bo"));
    EXPECT_THAT(chat(), ElementsAre("Bo is Connected."));
}

TEST_F(ClientTest, JustWatchRequestsFollowLoginAndSeat) {
    engine.justWatchMenuClick();
    EXPECT_THAT(sent(), IsEmpty());
    login(2);
    engine.justWatchMenuClick();
    serve(tc::justwatching(2, 1));
    engine.justWatchMenuClick();
    EXPECT_THAT(sent(), ElementsAre(ts::justwatch(2, 1), ts::justwatch(2, 2)));
    engine.setJustWatch(3, true);  // not the host
    EXPECT_THAT(sent(), IsEmpty());
}

}  // namespace
}  // namespace quorbit::client::testing
